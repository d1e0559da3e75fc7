#pragma once

// The components of the skinned window that this build has, joined to the window's hooks.

#include "componenthooks.h"

#include <memory>

class AppContext;
class SkinScript;
class TMainForm;
class TextsController;
class THtmlFrame;
class TreesController;
class QWebEngineProfile;

class AppComponents final : public MiscHooks
{
public:
    AppComponents(TMainForm& form, AppContext& context, const SkinScript& script);
    ~AppComponents() override;

    TextsController& texts() { return *m_texts; }
    THtmlFrame* panes() const { return m_panes.get(); }
    TreesController& trees() { return *m_trees; }

    void showArchive(const QString&) override {}
    void extractArchive() override {}
    void installFonts() override {}
    void thesaurus() override {}
    void standardWindow() override {}
    void showFieldsForScreen() override;
    void paintTexts(QPainter& painter) override;

private:
    void pageChanged(const QString& file, const QString& title);

    TMainForm& m_form;
    std::unique_ptr<TextsController> m_texts;
    QWebEngineProfile* m_profile = nullptr;
    std::unique_ptr<THtmlFrame> m_panes;
    std::unique_ptr<TreesController> m_trees;
};
