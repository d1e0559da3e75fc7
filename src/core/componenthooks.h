#pragma once

// The operations the skinned window asks of components that live in other libraries: HTML panes,
// contents trees, popups, history, search, media, dialogs, archives, fonts, texts. The window
// holds one pointer per component and asks nothing of a component that is not there, so a skin
// that declares no such element, or a build without the component, simply does nothing.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

class QPainter;

class HtmlPanesHooks
{
public:
    virtual ~HtmlPanesHooks() = default;
    virtual void ShowHtmlElement(int number, const QString& page) = 0;
    virtual void ShowScreenPane() = 0;              // after every screen change
    virtual void ShowPage(const QString& file) = 0; // in the current pane
    virtual QString currentFile() const = 0;
    virtual void ScrollToTop() = 0;
    virtual void selectAll() = 0;
    virtual void printCurrentPage() = 0;
    // Prints a file no pane shows (another program's request; picture: the size it gave of a
    // picture, else empty). Returns once the preview has closed: true when the file loaded and
    // went through it, false when nothing was printed.
    virtual bool printFile(const QString& file, QSize picture)
    {
        Q_UNUSED(file);
        Q_UNUSED(picture);
        return false;
    }
    virtual void CopyPageFiles() = 0;
    virtual bool archiveMode() const = 0;
    virtual void setArchiveMode(bool on) = 0; // of the current pane
    // Keeps the reader's font and colour choices for the next run; part of the ordered end.
    virtual void saveSettings() = 0;
    // The font dialog: the panes' default font, size and colours; on OK every pane takes them.
    virtual void chooseFont() {}
    // Fonts were added while the program runs: the pages are shown again so that they use them.
    virtual void fontsAdded() {}
    // The trees take this width at the left of the reading screen's panel; the pane the rest.
    virtual void setTreeWidth(int width) = 0;
    // Whether the pane of the current screen shows.
    virtual bool currentVisible() const = 0;

    // The current pane's history: files and titles newest first, and the entry shown (0 is the
    // newest). Setting the index shows that entry.
    virtual QStringList historyFiles() const = 0;
    virtual QStringList historyTitles() const = 0;
    virtual int historyIndex() const = 0;
    virtual void SetHistoryIndex(int index) = 0;
    // The title of the page shown in the current pane.
    virtual QString currentTitle() const = 0;
    // The vertical scroll position of the current pane's page, in pixels. Setting it applies to
    // the page being loaded when one is, else to the page shown.
    virtual int scrollPosition() const = 0;
    virtual void setScrollPosition(int y) = 0;
    virtual void copySelection() = 0;
    // Whether a page asked for in the current pane has not finished loading yet.
    virtual bool isLoading() const = 0;
    // The parts of the manual read in the current pane: an "html" command names a part's start
    // page. A step back or forward beeps when there is no entry that way; when it leads to
    // another file it gives the start page of the part that file belongs to, else nothing.
    virtual void AddSection(const QString& page) = 0;
    virtual QString GoBackPage() = 0;
    virtual QString GoForwardPage() = 0;
    // The plain window: the current pane fills its parent's contents rectangle, and goes back to
    // its element's place.
    virtual void FillClient() = 0;
    virtual void RestoreBounds() = 0;
    // Finds text in the current pane's page after the selection, wrapping round at its end, and
    // selects and shows it. done gets the number of matches in the page and the one selected
    // (from 1); 0 matches when there is none or no page is shown.
    virtual void findText(const QString& text, bool matchCase, std::function<void(int matches, int active)> done) = 0;
    // The same in the document of the frame named frame (at any depth) of the current page; a page
    // without that frame, or an empty name, is searched whole.
    virtual void findTextInFrame(const QString& frame, const QString& text, bool matchCase,
                                 std::function<void(int matches, int active)> done)
    {
        Q_UNUSED(frame);
        findText(text, matchCase, std::move(done));
    }
    // Selects and shows the headword of the article at anchor of the page shown (its top for an
    // empty anchor): the words after the first mark there, to the end of their line or a dash.
    // done gets the headword, empty when there is none.
    virtual void selectHeadword(const QString& anchor, const QString& mark, std::function<void(const QString&)> done)
    {
        Q_UNUSED(anchor);
        Q_UNUSED(mark);
        done(QString());
    }
    // The match findText selected (active of count) is scrolled out from under clearOf, a window
    // over the pane (screen coordinates), as far as the page allows; where gets the match's
    // rectangle on the screen afterwards, or an empty one when there is none.
    virtual void revealMatch(const QString& text, bool matchCase, int active, int count, const QRect& clearOf,
                             std::function<void(QRect)> where)
    {
        Q_UNUSED(text);
        Q_UNUSED(matchCase);
        Q_UNUSED(active);
        Q_UNUSED(count);
        Q_UNUSED(clearOf);
        where(QRect());
    }
    // The reading screen opens the first time in a run at the page and place the reader left it
    // at in the last run, unless a page is named for it first. A command that goes to screen
    // naming page (empty for none) asks here: true when that place comes back instead (the reading
    // screen, no page or its pane's start page); any other page gives the place up.
    virtual bool resumesLastPage(int screen, const QString& page)
    {
        Q_UNUSED(screen);
        Q_UNUSED(page);
        return false;
    }
    // The start names the pages to show itself (the command line): the last run's place is given up.
    virtual void forgetLastPage() {}
};

class TreesHooks
{
public:
    virtual ~TreesHooks() = default;
    virtual void setPendingPage(const QString& page) = 0;
    virtual void ShowTreeForScreen() = 0;
    virtual void chooseTree(int scriptNumber) = 0; // the tree read from tree<N>.cfs becomes the shown one
    virtual void showTrees() = 0;                  // "ontree"
    virtual void hideTrees() = 0;                  // "offtree"
    virtual void NextChapter() = 0;
    virtual void PrevChapter() = 0;
    virtual void SyncTreeWithPage(const QString& name) = 0;
    virtual bool secondTreeExists() const = 0;
    virtual bool bothHidden() const = 0;
};

class PopupsHooks
{
public:
    virtual ~PopupsHooks() = default;
    virtual bool hideAll() = 0; // true when a popup was open
    virtual void open(int type, QPoint screenPosition) = 0;
    virtual void BuildPopups() = 0; // after every screen change
    // The back (-1) and forward (-2) lists refilled from the current pane's history, after every
    // page change: titles newest first and the entry shown.
    virtual void fillHistoryLists(const QStringList& titles, int index) = 0;
    // Adds the page shown to the favorites (nothing without a favorites list on this screen).
    virtual void AddFavorite() = 0;
};

class HistoryHooks
{
public:
    virtual ~HistoryHooks() = default;
    virtual void AddSection(const QString& page) = 0;
    // A step back or forward in the current pane's history; a beep when there is none.
    virtual void GoBackPage() = 0;
    virtual void GoForwardPage() = 0;
};

class SearchHooks
{
public:
    virtual ~SearchHooks() = default;
    virtual void ShowSearchBoxes() = 0; // after every screen change
    // The plain window: the boxes on the window hide, and show again when it ends.
    virtual void HideSearchBoxes(bool hide) { Q_UNUSED(hide); }
    virtual void SetAllPages(bool all) = 0;
    virtual void setMatchCase(bool on) = 0;
    virtual void FindNext(int number) = 0;
    virtual bool isRunning() const = 0;
    virtual void stop() = 0;
};

class MediaHooks
{
public:
    virtual ~MediaHooks() = default;
    // The video area of the start screen.
    virtual bool videoExists() const = 0;
    virtual bool videoActive() const = 0;
    virtual bool videoHalted() const = 0;
    virtual bool videoHitTest(QPoint) const = 0;
    virtual bool videoClickArea(QPoint) = 0;
    virtual void setVideoActive(bool active) = 0;
    virtual void freezeVideo() = 0;
    virtual void resumeVideoUnlessUserPaused() = 0;
    virtual void paintFrozenVideo(QPainter&) = 0;
    // Clips and sounds, music, slide show.
    virtual void PlayClip(const QString& file, const QString& page, int mode) = 0;
    virtual void clipCommand(const QString& command) = 0; // play, stop, pause, stepforward, stepback
    virtual void StartMusic() = 0;
    virtual void StopMusic() = 0;
    virtual void ShowClipAreas() = 0;
    virtual void ShowSlidesForScreen() = 0;
    virtual void NextPicture() = 0;
    virtual void PrevPicture() = 0;
};

class DialogsHooks
{
public:
    virtual ~DialogsHooks() = default;
    virtual bool dialogVisible() const = 0;
    virtual void closeDialog() = 0;
    virtual void showFindPage() = 0;
    virtual void ShowMessage(const QString& text) = 0;
    virtual void showOptions() = 0;
};

class MiscHooks
{
public:
    virtual ~MiscHooks() = default;
    virtual void ShowArchive(const QString& archive) = 0;
    virtual void ExtractArchive() = 0;
    virtual void InstallFonts() = 0;
    // "about": the about window, when the container has its script.
    virtual void showAbout() {}
    virtual void thesaurus() = 0;
    // The fields and find boxes of the screen hide in the plain window and show again after it.
    virtual void HideFields(bool hide) = 0;
    virtual void ShowFieldsForScreen() = 0; // texts, path fields: after every screen change
    virtual void PaintTexts(QPainter&) = 0;
    virtual void showStatus(const QString& text) = 0; // one line in the status line
};

// The components of the running window; any of them may be missing.
struct ComponentHooks
{
    HtmlPanesHooks* panes = nullptr;
    TreesHooks* trees = nullptr;
    PopupsHooks* popups = nullptr;
    HistoryHooks* history = nullptr;
    SearchHooks* search = nullptr;
    MediaHooks* media = nullptr;
    DialogsHooks* dialogs = nullptr;
    MiscHooks* misc = nullptr;
};
