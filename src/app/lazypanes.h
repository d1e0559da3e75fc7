#pragma once

// The HTML panes of the skinned window, made through the engine module only when they are first
// needed: a start on a screen without panes does not load the engine at all.

#include "componenthooks.h"
#include "panecallbacks.h"
#include "skinrecords.h"

#include <functional>
#include <memory>

class AppContext;
class EngineParts;
class QWidget;

class LazyPanes final : public HtmlPanesHooks
{
public:
    LazyPanes(QWidget* window, QWidget* panel, AppContext& context, const TDynamicHtmlArray& elements,
              PaneCallbacks callbacks, LinkServices links, std::function<EngineParts*()> engine);
    ~LazyPanes() override;

    // The panes once made; nullptr before, or when the engine could not be loaded.
    HtmlPanesHooks* made() const { return m_panes.get(); }

    void ShowHtmlElement(int number, const QString& page) override;
    void ShowScreenPane() override;
    void ShowPage(const QString& file) override;
    QString currentFile() const override;
    void ScrollToTop() override;
    void selectAll() override;
    void printCurrentPage() override;
    bool printFile(const QString& file, QSize picture) override;
    void CopyPageFiles() override;
    bool archiveMode() const override;
    void setArchiveMode(bool on) override;
    void saveSettings() override;
    void chooseFont() override;
    void fontsAdded() override;
    void setTreeWidth(int width) override;
    bool currentVisible() const override;
    QStringList historyFiles() const override;
    QStringList historyTitles() const override;
    int historyIndex() const override;
    void SetHistoryIndex(int index) override;
    QString currentTitle() const override;
    int scrollPosition() const override;
    void setScrollPosition(int y) override;
    void copySelection() override;
    bool isLoading() const override;
    void AddSection(const QString& page) override;
    QString GoBackPage() override;
    QString GoForwardPage() override;
    void FillClient() override;
    void RestoreBounds() override;
    void findText(const QString& text, bool matchCase, std::function<void(int, int)> done) override;
    void findTextInFrame(const QString& frame, const QString& text, bool matchCase,
                         std::function<void(int, int)> done) override;
    void selectHeadword(const QString& anchor, const QString& mark, std::function<void(const QString&)> done) override;
    void revealMatch(const QString& text, bool matchCase, int active, int count, const QRect& clearOf,
                     std::function<void(QRect)> where) override;
    // The panes are made when the screen asked about has panes: it is about to show.
    bool resumesLastPage(int screen, const QString& page) override;
    void forgetLastPage() override;

private:
    HtmlPanesHooks* make();
    bool hasPanes(int screen) const;

    QWidget* m_window;
    QWidget* m_panel;
    AppContext& m_context;
    TDynamicHtmlArray m_elements;
    PaneCallbacks m_callbacks;
    LinkServices m_links;
    std::function<EngineParts*()> m_engine;
    std::unique_ptr<HtmlPanesHooks> m_panes;
    bool m_tried = false;
    bool m_forgetLastPage = false;
    int m_treeWidth = 0;
};
