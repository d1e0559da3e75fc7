#pragma once

// The options dialog of the skinned window, and the dialog requests of a window without a skinned
// dialog (Dialog.cfs): its messages go to the status line, and it has no find page.

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

private:
    QWidget* m_window = nullptr;
    AppContext& m_context;
    const SkinScript& m_script;
    MediaController& m_media;
    ComponentHooks& m_hooks;
    std::unique_ptr<TFormOptions> m_options;
};
