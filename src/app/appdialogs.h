#pragma once

// The dialogs this build has: the options dialog. The skinned dialog's pages are not here yet;
// its messages go to the status line, and the rest leave one debug line each.

#include "componenthooks.h"

#include <memory>

class AppContext;
class MediaController;
class SkinScript;
class TFormOptions;
class QWidget;

class AppDialogs final : public DialogsHooks
{
public:
    AppDialogs(QWidget* window, AppContext& context, const SkinScript& script, MediaController& media,
               ComponentHooks& hooks);
    ~AppDialogs() override;

    // Made on first use: the settings it edits are loaded at start-up without it.
    TFormOptions& options();

    bool dialogVisible() const override;
    void closeDialog() override;
    void showFindPage() override;
    void ShowMessage(const QString& text) override;
    void showOptions() override;
    void showAbout() override;
    void showHelpTopic(const QString& topic) override;

private:
    QWidget* m_window = nullptr;
    AppContext& m_context;
    const SkinScript& m_script;
    MediaController& m_media;
    ComponentHooks& m_hooks;
    std::unique_ptr<TFormOptions> m_options;
};
