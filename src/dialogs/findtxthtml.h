#pragma once

// The search boxes of the skin and every kind of search they start: in the shown page (wrapping
// round at its end), page by page through all pages, in the full-text index with a scan of the
// pages for words it does not know, and in the captions of the contents tree.
//
// Pages are scanned on a worker thread that only reads and matches text (pagescan.h); the hit is
// then shown in the pane and selected by the pane's own find. The interface stays live during a
// scan: the stop button and Escape end it before the next page, and the busy state always ends.

#include "componenthooks.h"
#include "skinrecords.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

class AppContext;
class QLineEdit;
class TMakeFind;
struct IndexLookup;
class QThread;
class QWidget;

// What the search asks of the rest of the program.
struct FindServices
{
    std::function<HtmlPanesHooks*()> panes;
    std::function<void(const QString& text)> showStatus;
    std::function<void()> clearStatus;
    std::function<void(bool busy)> setBusy;
    // The hint of the dialog's search button: "Остановить поиск" while a search runs, "Искать" idle.
    std::function<void(const QString& hint)> setSearchHint;
    std::function<void(const QStringList& files, const QStringList& titles)> showResults;
    std::function<bool(const QString& text)> findInTree;
    std::function<void(const QString& page)> syncTree;
    // Before page k of n in an index scan; and the bar emptied at its end.
    std::function<void(int k, int n)> advanceBar;
    std::function<void()> resetBar;
    // Enter in the first box; Escape in any box.
    std::function<void()> enterInFirstBox;
    std::function<void()> escape;
    std::function<int()> currentScreen;
    // The pane's find showed a match (active of matches, from 1): a window over the pane, such as
    // the search panel, keeps clear of it.
    std::function<void(const QString& text, bool matchCase, int matches, int active)> matchShown;
};

class TFindTxtHtml final : public QObject, public SearchHooks
{
    Q_OBJECT

public:
    static constexpr const char16_t* kEnterWord = u"Введите слово для поиска";
    static constexpr const char16_t* kNotFound = u"Текст не найден";
    static constexpr const char16_t* kHintIdle = u"Искать";
    static constexpr const char16_t* kHintRunning = u"Остановить поиск";

    // One box per element, on boxParent, hidden until ShowSearchBoxes shows its screen's boxes.
    TFindTxtHtml(AppContext& context, const TDynamicFindTxtArray& elements, QWidget* boxParent, FindServices services);
    // A running scan is stopped and waited for.
    ~TFindTxtHtml() override;
    Q_DISABLE_COPY_MOVE(TFindTxtHtml)

    void ShowSearchBoxes() override;
    // The boxes of the current screen hide (the plain window) or show again; boxes that a search
    // panel shows (setBoxesShown) stay as the panel has them.
    void HideSearchBoxes(bool hide) override;
    // Boxes shown whatever the screen (the dialog's find page) or not at all.
    void setBoxesShown(bool shown);
    void SetAllPages(bool all) override;
    void setIndexMode();
    void setTreeMode();
    // With a search panel, all pages are searched as its switch "По указателю" searches them,
    // through the index: the window's "all pages" (SetAllPages(true)) is the index mode then, so
    // the window's switch and the panel's say the same.
    void setAllPagesThroughIndex(bool on) { m_allPagesThroughIndex = on; }
    void setMatchCase(bool on) override;
    void FindNext(int number) override;
    bool isRunning() const override { return !m_idle; }
    void stop() override { StopSearch(); }
    void StopSearch();

    const QStringList& resultFiles() const { return m_files; }
    const QStringList& resultTitles() const { return m_titles; }
    // A result chosen in the list: its page in the pane, the word selected there.
    void showResult(int index);

    QLineEdit* box(int index) const;
    int boxCount() const { return int(m_boxes.size()); }
    bool allPages() const { return m_allPages; }
    bool matchCase() const { return m_matchCase; }
    bool indexMode() const { return m_indexMode; }
    bool treeMode() const { return m_treeMode; }

    // One scan's work and results, shared with its worker thread.
    struct ScanJob;

Q_SIGNALS:
    // The search went idle again (found, not found, stopped).
    void searchFinished();
    // Where a search looks was set: the shown page, all pages, the index or the tree.
    void scopeChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Box;

    Box* boxOf(int number);
    void textChanged();
    void setIdle(bool idle);
    void finish();
    void pageSearch(Box& box, const QString& text);
    void findInPane(Box& box, const QString& text);
    void scanFrom(Box& box, const QString& text);
    // The thesaurus window: a word its page does not hold opens the article tezaurus.idx gives it.
    void thesaurusLookup(const QString& text);
    void scanEnded(qsizetype hit);
    void matchShown(const QString& text, int matches, int active);
    void indexSearch(Box& box, const QString& text);
    void indexScanEnded(const QStringList& hits);
    void indexLookedUp(const IndexLookup& lookup, const QString& text, const QStringList& excludedFragments);
    void startJob(std::shared_ptr<ScanJob> job, std::function<void()> done);
    void whenLoaded(std::function<void()> then);
    QString normalisedPage(const QString& file) const;

    AppContext& m_context;
    FindServices m_services;
    QList<Box*> m_boxes;
    int m_previousScreen = -1;
    bool m_shownByOwner = false;

    bool m_allPages = false;
    bool m_allPagesThroughIndex = false;
    bool m_indexMode = false;
    bool m_treeMode = false;
    bool m_matchCase = false;
    bool m_idle = true;
    bool m_writingBack = false;
    bool m_firstSearchDone = false;

    // Page by page through all pages: where the last hit was, the page the round began on, and
    // the match selected last in the shown page.
    qsizetype m_scanPosition = -1;
    QString m_startPage;
    QString m_searchedPage;
    int m_lastActive = 0;

    QStringList m_files;
    QStringList m_titles;

    // Keeps the index files in memory between searches; shared with the thread that looks a word up.
    std::shared_ptr<TMakeFind> m_index;
    std::shared_ptr<ScanJob> m_job;
    QThread* m_thread = nullptr;
    Box* m_scanBox = nullptr;
    QString m_scanText;
    QString m_scanFrame;
};
