#pragma once

// The HTML panes of the skin: one web view per screen that declares panes, placed where the
// screen's pane element stands (on the reading screen, inside the document panel beside the
// contents tree), with a short history of its own, visited links, the default font and colours
// of the settings, and the title of a picture as a tooltip. Views are made when their screen
// first shows, so a start on a screen without panes does not wait for the engine.

#include "componenthooks.h"
#include "linkhandler.h"
#include "panecallbacks.h"
#include "panehistory.h"
#include "panepage.h"
#include "panesections.h"
#include "picturetooltip.h"
#include "skinrecords.h"

#include <QHash>
#include <QList>
#include <QRect>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class AppContext;
class QWebEngineProfile;
class QWebEngineView;
class QWidget;

class THtmlFrame final : public QObject, public HtmlPanesHooks
{
    Q_OBJECT
public:
    static constexpr int kHistoryMax = PaneHistory::kMax;
    static constexpr int kVisitedMax = PaneHistory::kVisitedMax;
    static constexpr int kTooltipTick = PictureTooltip::kTick;

    using Callbacks = PaneCallbacks;

    // profile is asked for when the first view is made: making it starts the engine.
    THtmlFrame(QWidget* window, QWidget* panel, AppContext& context, const TDynamicHtmlArray& elements,
               std::function<QWebEngineProfile*()> profile, Callbacks callbacks, LinkServices links = {});
    ~THtmlFrame() override;

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
    void saveSettings() override;
    // The font dialog over the window, from the panes' defaults; OK gives them to every pane and
    // keeps them at once.
    void chooseFont() override;
    // The engine keeps the fonts it found when a page's renderer started: each view gets a new
    // renderer and shows its page again.
    void fontsAdded() override;
    void setArchiveMode(bool on) override;
    // The left edge of the pane on the reading screen, beside the contents tree.
    void setTreeWidth(int width) override;
    bool currentVisible() const override;
    QStringList historyFiles() const override { return history(); }
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
    // The reading screen's page and place are kept for the next run with the fonts (saveSettings)
    // and come back the first time that screen shows.
    bool resumesLastPage(int screen, const QString& page) override;
    void forgetLastPage() override { m_lastPage.reset(); }

    // The five defaults of every pane; setting them reloads the current page.
    PaneFonts fonts() const { return m_fonts; }
    void setFonts(const PaneFonts& fonts);

    QWebEngineView* currentView() const;

    // The current view's history, the page shown first, with its titles, and the entry shown;
    // setting the index shows that entry.
    QStringList history() const;
    QStringList visitedLinks() const;
    // The file and title of the document of the current pane that was last loaded or used: a
    // frame of a frame set, or the page itself.
    QString activeFile() const;
    QString activeTitle() const;

    TLinkHandler& links() { return m_links; }
    // Whether the picture tooltip shows, and its text.
    bool tooltipShown() const;
    QString tooltipText() const;

private:
    struct Viewer
    {
        int screen = -1;
        QWebEngineView* view = nullptr;
        PanePage* page = nullptr;
        PaneHistory history;
        PaneSections sections;
        std::optional<PanePlace> pendingPlace; // applied when the page being loaded has loaded
        bool placeKept = false;                // the page left kept its place when this load was asked for
        bool archiveMode = false;
        QString activeFile;
        QString activeTitle;
        QHash<QString, int> frameScrolls; // how far the frames' documents are scrolled, by lower-cased file
    };
    // A page of an earlier run and the place in it.
    struct LastPage
    {
        QString file;
        PanePlace place;
    };

    Viewer* viewerFor(int screen);
    Viewer* current() { return m_currentViewer < 0 ? nullptr : &m_viewers[m_currentViewer]; }
    const Viewer* current() const { return m_currentViewer < 0 ? nullptr : &m_viewers[m_currentViewer]; }
    QWebEngineView* ensureView(Viewer& viewer);
    // Loads file; place, when given, is where it shows once loaded.
    void load(Viewer& viewer, const QString& file, std::optional<PanePlace> place = std::nullopt);
    // Shows the file from the history when it is there, else loads it.
    void showOrLoad(Viewer& viewer, const QString& file);
    // Shows the history entry at index, at place when one is given, else from its top.
    void showEntry(Viewer& viewer, int index, std::optional<PanePlace> place);
    // Where the reader is in the page the viewer shows: the page's own position, or in a frame set
    // the position of the frame worked in last.
    PanePlace placeOf(const Viewer& viewer) const;
    // The entry shown keeps its place before another document takes over the viewer.
    void keepPlace(Viewer& viewer);
    const RHTML* readingElement() const;
    void saveLastPage();
    void place(Viewer& viewer, const RHTML& element);
    void loaded(Viewer& viewer, bool ok);
    void linkClicked(Viewer& viewer, const LinkClick& click);
    void documentLoaded(Viewer& viewer, const QString& document, const QString& title, bool top);
    void markVisited(Viewer& viewer, const QString& fullPath);
    void updateScript(Viewer& viewer);
    void pageChanged(Viewer& viewer, const QString& file, const QString& title);
    // One step through the current pane's history: +1 back (older), -1 forward.
    QString stepHistory(int delta);
    bool eventFilter(QObject* watched, QEvent* event) override;

    QWidget* m_window;
    QWidget* m_panel;
    AppContext& m_context;
    TDynamicHtmlArray m_elements;
    std::function<QWebEngineProfile*()> m_profile;
    Callbacks m_callbacks;
    TLinkHandler m_links;
    PaneFonts m_fonts;
    QList<Viewer> m_viewers;
    int m_currentViewer = -1;
    int m_currentElement = -1;
    int m_previousScreen = -1;
    int m_treeWidth = 0;
    bool m_filling = false;
    QString m_pendingSection;
    std::optional<LastPage> m_lastPage; // until the reading screen first shows

    PictureTooltip m_tooltip;
};
