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
class TMainForm;
class TextsController;
class TreesController;

class AppComponents final : public MiscHooks
{
public:
    // engine gives the web engine's parts when the panes are first needed.
    AppComponents(TMainForm& form, AppContext& context, const SkinScript& script, std::function<EngineParts*()> engine);
    ~AppComponents() override;

    TextsController& texts() { return *m_texts; }
    LazyPanes* panes() const { return m_panes.get(); }
    TreesController& trees() { return *m_trees; }
    MediaController& media() { return *m_media; }

    // Not in this build: each leaves one debug line in velbrook.app and does nothing.
    void ShowArchive(const QString& archive) override;
    void ExtractArchive() override;
    void InstallFonts() override;
    void thesaurus() override;
    void standardWindow() override;
    void ShowFieldsForScreen() override;
    void PaintTexts(QPainter& painter) override;
    void showStatus(const QString& text) override;

private:
    void pageChanged(const QString& file, const QString& title);

    TMainForm& m_form;
    std::unique_ptr<TextsController> m_texts;
    std::unique_ptr<LazyPanes> m_panes;
    std::unique_ptr<TreesController> m_trees;
    std::unique_ptr<MediaController> m_media;
    std::unique_ptr<AppDialogs> m_dialogs;
};
