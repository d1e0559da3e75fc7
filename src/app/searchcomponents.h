#pragma once

// The skinned dialog window and the search, joined to the window's hooks: the dialog answers the
// window's dialog requests, the search its find commands; both are made only when the skin
// declares them (Dialog.cfs in the container, find-text elements in the script).

#include "componenthooks.h"

#include <memory>

class AppComponents;
class AppContext;
class ClickSound;
class SkinScript;
class TCoolDialog;
class TFindTxtHtml;
class TMainForm;

class SearchComponents final : public DialogsHooks
{
public:
    SearchComponents(TMainForm& form, AppContext& context, const SkinScript& script, AppComponents& components);
    ~SearchComponents() override;

    TCoolDialog* dialog() const { return m_dialog.get(); }
    TFindTxtHtml* search() const { return m_search.get(); }

    bool dialogVisible() const override;
    void closeDialog() override;
    void showFindPage() override;
    // A message on the dialog's message page, or in the status line without a dialog.
    void ShowMessage(const QString& text) override;
    // The options dialog of the window.
    void showOptions() override;

private:
    // The scope the search has now, on the panel's switches and the window's.
    void showScope();
    // The match the pane's find showed is scrolled out from under the panel (or the panel moves).
    void keepPanelClearOf(const QString& text, bool matchCase, int matches, int active);

    TMainForm& m_form;
    AppComponents& m_components;
    std::unique_ptr<ClickSound> m_sound;
    std::unique_ptr<TCoolDialog> m_dialog;
    std::unique_ptr<TFindTxtHtml> m_search;
};
