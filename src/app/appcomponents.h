#pragma once

// The components of the skinned window that this build has, joined to the window's hooks.

#include "componenthooks.h"

#include <functional>
#include <memory>

class AppContext;
class AppDialogs;
class EngineParts;
class LazyPanes;
class MediaController;
class SkinScript;
class TControlPopupWindow;
class ClickSound;
class TAboutBox;
class TMainForm;
class TextsController;
class TUnRar;
class TNavFont;
class TreesController;

class AppComponents final : public MiscHooks, public HistoryHooks
{
public:
    // engine gives the web engine's parts when the panes are first needed.
    AppComponents(TMainForm& form, AppContext& context, const SkinScript& script, std::function<EngineParts*()> engine);
    ~AppComponents() override;

    TextsController& texts() { return *m_texts; }
    LazyPanes* panes() const { return m_panes.get(); }
    TreesController& trees() { return *m_trees; }
    TControlPopupWindow* popups() const { return m_popups.get(); }
    MediaController& media() { return *m_media; }
    // The options dialog and the messages of a window without a skinned dialog.
    AppDialogs& dialogs() { return *m_dialogs; }

    // An archive dropped on the window or linked from a page, listed in the current pane; "unarc"
    // unpacks the listed archive into the path field's folder.
    void ShowArchive(const QString& archive) override;
    void ExtractArchive() override;
    // The fonts of the folder of the page last shown, for this and every later run.
    void InstallFonts() override;
    // "about": the about window, made the first time it is asked for.
    void showAbout() override;
    // "tesaurus": the thesaurus window at its start page, one copy reused.
    void thesaurus() override;
    void HideFields(bool hide) override;
    void ShowFieldsForScreen() override;
    void PaintTexts(QPainter& painter) override;
    // In the status line of the current screen, else in the skinned dialog's message page.
    void showStatus(const QString& text) override;

    // History steps in the current pane; going into another part of the manual presses its
    // switch again.
    void AddSection(const QString& page) override;
    void GoBackPage() override;
    void GoForwardPage() override;

private:
    void pageChanged(const QString& file, const QString& title);
    void showArchive(const QString& archive, const QString& fromPage);
    void showArchiveMessage(const QString& text);

    TMainForm& m_form;
    AppContext& m_context;
    std::unique_ptr<TAboutBox> m_about; // made by the first "about", kept for the run
    std::unique_ptr<ClickSound> m_aboutSound;
    std::unique_ptr<TextsController> m_texts;
    std::unique_ptr<LazyPanes> m_panes;
    std::unique_ptr<TreesController> m_trees;
    std::unique_ptr<TUnRar> m_unrar; // made by the first archive request
    std::unique_ptr<TNavFont> m_navFont;
    std::unique_ptr<TControlPopupWindow> m_popups;
    std::unique_ptr<MediaController> m_media;
    std::unique_ptr<AppDialogs> m_dialogs;
    bool m_telling = false; // a message on its way to the dialog
};
