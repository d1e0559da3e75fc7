#pragma once

// The HTML panes of the skin: one web view per screen that declares panes, placed where the
// screen's pane element stands (on the reading screen, inside the document panel beside the
// contents tree), with a short history of its own. Views are made when their screen first shows,
// so a start on a screen without panes does not wait for the engine.

#include "componenthooks.h"
#include "skinrecords.h"

#include <QList>
#include <QRect>
#include <QStringList>

#include <functional>

class AppContext;
class QWebEngineProfile;
class QWebEngineView;
class QWidget;

class THtmlFrame final : public HtmlPanesHooks
{
public:
    static constexpr int kHistoryMax = 10;

    struct Callbacks
    {
        std::function<int()> currentScreen;
        // After a page has loaded in the current pane: its file and title.
        std::function<void(const QString& file, const QString& title)> pageChanged;
    };

    // profile is asked for when the first view is made: making it starts the engine.
    THtmlFrame(QWidget* window, QWidget* panel, AppContext& context, const TDynamicHtmlArray& elements,
               std::function<QWebEngineProfile*()> profile, Callbacks callbacks);
    ~THtmlFrame() override;

    void showHtmlElement(int number, const QString& page) override;
    void showScreenPane() override;
    void showPage(const QString& file) override;
    QString currentFile() const override;
    void scrollToTop() override;
    void selectAll() override;
    void printCurrentPage() override {}
    void copyPageFiles() override {}
    bool archiveMode() const override { return false; }

    // The left edge of the pane on the reading screen, beside the contents tree.
    void setTreeWidth(int width);
    QWebEngineView* currentView() const;
    QStringList history() const;

private:
    struct Viewer
    {
        int screen = -1;
        QWebEngineView* view = nullptr;
        QStringList files;
        QStringList titles;
        QString requested; // the file asked for last
    };

    Viewer* viewerFor(int screen);
    Viewer* currentViewerRecord() { return m_currentViewer < 0 ? nullptr : &m_viewers[m_currentViewer]; }
    QWebEngineView* ensureView(Viewer& viewer);
    void load(Viewer& viewer, const QString& file);
    void place(Viewer& viewer, const RHTML& element);
    void onLoaded(Viewer& viewer, bool ok);

    QWidget* m_window;
    QWidget* m_panel;
    AppContext& m_context;
    TDynamicHtmlArray m_elements;
    std::function<QWebEngineProfile*()> m_profile;
    Callbacks m_callbacks;
    QList<Viewer> m_viewers;
    int m_currentViewer = -1;
    int m_currentElement = -1;
    int m_previousScreen = -1;
    int m_treeWidth = 0;
};
