#include "findtxthtml.h"

#include "appcontext.h"
#include "codepage.h"
#include "comprstream.h"
#include "contenterror.h"
#include "contentpack.h"
#include "dialogslog.h"
#include "indexfile.h"
#include "makefind.h"
#include "pagescan.h"
#include "pathresolver.h"
#include "tesaurusfind.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QThread>
#include <QTimer>

namespace {

// The headword of a thesaurus page is marked so.
const QString kHeadwordMark = QStringLiteral("~ ");
// Pages directly in these top-level folders are not searched from the index.
const QStringList kIndexExcludedFolders{QStringLiteral("man"), QStringLiteral("man_")};
// How long a page shown for a hit may take to load before its word is looked for anyway.
constexpr int kLoadWaitMs = 10000;
constexpr int kLoadPollMs = 20;

} // namespace

struct TFindTxtHtml::Box
{
    RFindTxt element;
    QLineEdit* edit = nullptr;
};

// One scan, shared by the interface thread and the worker: the worker fills the results and the
// interface thread reads them once the worker has finished.
struct TFindTxtHtml::ScanJob
{
    QString programDrive;
    QString programDir;
    QString contentDir;
    QString packPath;
    ScanListOptions options;
    qsizetype from = 0;
    QString skip; // a page not to search (its full path, lower case), or empty
    QString query;
    bool matchCase = false;
    bool collectAll = false; // every page that holds the text, or the first one only
    std::atomic_bool stop = false;
    std::function<void(int, int)> progress; // called on the worker's thread

    QStringList pages;
    qsizetype hit = -1;
    QStringList hits;
};

namespace {

void runScan(TFindTxtHtml::ScanJob& job);

} // namespace

TFindTxtHtml::TFindTxtHtml(AppContext& context, const TDynamicFindTxtArray& elements, QWidget* boxParent,
                           FindServices services)
    : m_context(context), m_services(std::move(services))
{
    for (const RFindTxt& element : elements) {
        auto* box = new Box;
        box->element = element;
        box->edit = new QLineEdit(boxParent);
        box->edit->setFrame(false);
        box->edit->hide();
        box->edit->setToolTip(element.hint);
        QFont font = box->edit->font();
        font.setPixelSize(qMax(1, element.vh - element.vy - 1));
        box->edit->setFont(font);
        box->edit->setGeometry(element.vx, element.vy, element.vw - element.vx, element.vh - element.vy);
        box->edit->installEventFilter(this);
        connect(box->edit, &QLineEdit::textChanged, this, &TFindTxtHtml::textChanged);
        m_boxes.append(box);
    }
    ShowSearchBoxes();
}

TFindTxtHtml::~TFindTxtHtml()
{
    if (m_thread) {
        if (m_job)
            m_job->stop = true;
        m_thread->wait();
        delete m_thread;
    }
    qDeleteAll(m_boxes);
}

QLineEdit* TFindTxtHtml::box(int index) const
{
    return index >= 0 && index < m_boxes.size() ? m_boxes[index]->edit : nullptr;
}

TFindTxtHtml::Box* TFindTxtHtml::boxOf(int number)
{
    for (Box* box : std::as_const(m_boxes)) {
        if (box->element.number == number)
            return box;
    }
    return nullptr;
}

void TFindTxtHtml::ShowSearchBoxes()
{
    if (m_shownByOwner)
        return;
    const int screen = m_services.currentScreen ? m_services.currentScreen() : 0;
    for (Box* box : std::as_const(m_boxes)) {
        if (box->element.screen == screen)
            box->edit->show();
        else if (box->element.screen == m_previousScreen)
            box->edit->hide();
    }
    m_previousScreen = screen;
}

void TFindTxtHtml::HideSearchBoxes(bool hide)
{
    if (m_shownByOwner)
        return; // the panel shows them, over whatever window
    const int screen = m_services.currentScreen ? m_services.currentScreen() : 0;
    for (Box* box : std::as_const(m_boxes)) {
        if (box->element.screen == screen)
            box->edit->setVisible(!hide);
    }
}

void TFindTxtHtml::setBoxesShown(bool shown)
{
    m_shownByOwner = true;
    for (Box* box : std::as_const(m_boxes))
        box->edit->setVisible(shown);
}

void TFindTxtHtml::SetAllPages(bool all)
{
    if (all && m_allPagesThroughIndex) {
        setIndexMode();
        return;
    }
    if (all != m_allPages) {
        m_scanPosition = -1;
        m_startPage.clear();
    }
    m_allPages = all;
    m_indexMode = false;
    m_treeMode = false;
    Q_EMIT scopeChanged();
}

void TFindTxtHtml::setIndexMode()
{
    m_indexMode = true;
    m_treeMode = false;
    Q_EMIT scopeChanged();
}

void TFindTxtHtml::setTreeMode()
{
    m_treeMode = true;
    m_indexMode = false;
    Q_EMIT scopeChanged();
}

void TFindTxtHtml::matchShown(const QString& text, int matches, int active)
{
    if (matches > 0 && m_services.matchShown)
        m_services.matchShown(text, m_matchCase, matches, active);
}

void TFindTxtHtml::setMatchCase(bool on)
{
    m_matchCase = on;
}

void TFindTxtHtml::StopSearch()
{
    if (m_job)
        m_job->stop = true;
    setIdle(true);
}

void TFindTxtHtml::setIdle(bool idle)
{
    m_idle = idle;
    if (m_services.setSearchHint)
        m_services.setSearchHint(QString::fromUtf16(idle ? kHintIdle : kHintRunning));
}

void TFindTxtHtml::finish()
{
    setIdle(true);
    Q_EMIT searchFinished();
}

void TFindTxtHtml::textChanged()
{
    // While a scan runs the text it looks for stays as it was.
    if (m_writingBack || m_context.busy)
        return;
    m_scanPosition = -1;
    m_firstSearchDone = false;
    m_files.clear();
    m_titles.clear();
    if (m_services.clearStatus)
        m_services.clearStatus();
}

bool TFindTxtHtml::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (m_context.busy) {
        // Typing during a scan has no effect; Escape still stops it.
        if (event->type() == QEvent::KeyPress && key->key() == Qt::Key_Escape && m_services.escape)
            m_services.escape();
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride)
        return QObject::eventFilter(watched, event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (!m_boxes.isEmpty() && watched == m_boxes.first()->edit && m_services.enterInFirstBox)
            m_services.enterInFirstBox();
        return true;
    }
    if (key->key() == Qt::Key_Escape) {
        if (m_services.escape)
            m_services.escape();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void TFindTxtHtml::FindNext(int number)
{
    if (m_services.clearStatus)
        m_services.clearStatus();
    if (!m_idle) {
        qCDebug(lcDialogs) << "a search was asked for while one runs; it is not started";
        return;
    }
    Box* box = boxOf(number);
    if (!box) {
        qCDebug(lcDialogs) << "no search box numbered" << number << "; nothing searched";
        finish();
        return;
    }
    const QString text = searchQuery(box->edit->text());
    if (text != box->edit->text()) {
        m_writingBack = true;
        box->edit->setText(text);
        m_writingBack = false;
    }
    if (text.isEmpty()) {
        m_services.showStatus(QString::fromUtf16(kEnterWord));
        finish();
        return;
    }
    if (m_treeMode) {
        if (!m_services.findInTree || !m_services.findInTree(text))
            m_services.showStatus(QString::fromUtf16(kNotFound));
        finish();
        return;
    }
    setIdle(false);
    if (m_indexMode)
        indexSearch(*box, text);
    else
        pageSearch(*box, text);
}

QString TFindTxtHtml::normalisedPage(const QString& file) const
{
    return QDir::cleanPath(toInternalPath(file)).toLower();
}

void TFindTxtHtml::pageSearch(Box& box, const QString& text)
{
    HtmlPanesHooks* panes = m_services.panes ? m_services.panes() : nullptr;
    if (!panes || panes->currentFile().isEmpty()) {
        qCDebug(lcDialogs) << "no page is shown: nothing to search in";
        m_services.showStatus(QString::fromUtf16(kNotFound));
        finish();
        return;
    }
    if (m_startPage.isEmpty())
        m_startPage = panes->currentFile();
    if (m_context.thesaurusMode() && !m_firstSearchDone) {
        m_firstSearchDone = true;
        QPointer<TFindTxtHtml> self(this);
        panes->findTextInFrame(box.element.frame, kHeadwordMark + text, m_matchCase,
                               [self, &box, text](int matches, int) {
                                   if (!self)
                                       return;
                                   if (matches > 0)
                                       self->finish();
                                   else
                                       self->findInPane(box, text);
                               });
        return;
    }
    findInPane(box, text);
}

void TFindTxtHtml::findInPane(Box& box, const QString& text)
{
    HtmlPanesHooks* panes = m_services.panes();
    const QString page = normalisedPage(panes->currentFile());
    QPointer<TFindTxtHtml> self(this);
    panes->findTextInFrame(box.element.frame, text, m_matchCase, [self, &box, text, page](int matches, int active) {
        if (!self)
            return;
        if (!self->m_allPages) {
            // The find wraps round the page by itself.
            if (matches == 0) {
                self->m_startPage.clear();
                // A word the thesaurus page shown does not hold is looked up in the thesaurus.
                if (self->m_context.thesaurusMode()) {
                    self->thesaurusLookup(text);
                    return;
                }
                self->m_services.showStatus(QString::fromUtf16(kNotFound));
            }
            self->matchShown(text, matches, active);
            self->finish();
            return;
        }
        // All pages: the next match of this page, until the find comes round to the first one
        // again; then on to the next page that holds the text.
        const bool samePage = self->m_searchedPage == page;
        if (matches > 0 && (!samePage || active > self->m_lastActive)) {
            self->m_searchedPage = page;
            self->m_lastActive = active;
            self->matchShown(text, matches, active);
            self->finish();
            return;
        }
        self->m_searchedPage = page;
        self->m_lastActive = matches;
        self->scanFrom(box, text);
    });
}

void TFindTxtHtml::thesaurusLookup(const QString& text)
{
    TMakeTesaurusFind thesaurus(m_context.pack);
    thesaurus.SetIndexFolder(m_context.values.programDir);
    QString page;
    const IndexLookup lookup = thesaurus.FindInThesaurus(text, page);
    if (!lookup) {
        m_services.showStatus(lookup.message != IndexMessage::None ? indexMessageText(lookup.message)
                                                                   : QString::fromUtf16(kNotFound));
        finish();
        return;
    }
    // The article opens with its headword selected.
    const QString anchor = page.section(QLatin1Char('#'), 1);
    HtmlPanesHooks* panes = m_services.panes();
    panes->ShowPage(m_context.values.programDir + page);
    whenLoaded([this, anchor, page] {
        QPointer<TFindTxtHtml> self(this);
        m_services.panes()->selectHeadword(anchor, kHeadwordMark, [self, page](const QString& headword) {
            if (!self)
                return;
            if (headword.isEmpty())
                qCDebug(lcDialogs) << "the thesaurus article has no headword marked after its anchor:" << page;
            self->finish();
        });
    });
}

void TFindTxtHtml::startJob(std::shared_ptr<ScanJob> job, std::function<void()> done)
{
    const StartupValues& values = m_context.values;
    job->programDrive = values.programDrive;
    job->programDir = values.programDir;
    job->contentDir = values.contentDir;
    const QString pack = values.programDir + QStringLiteral("interface.dat");
    if (m_context.disk.fileExists(pack))
        job->packPath = m_context.disk.resolve(pack);
    job->matchCase = m_matchCase;
    m_job = job;
    m_services.setBusy(true);
    m_thread = QThread::create([job] { runScan(*job); });
    connect(m_thread, &QThread::finished, this, [this, done = std::move(done)] {
        m_thread->deleteLater();
        m_thread = nullptr;
        m_services.setBusy(false);
        done();
        m_job.reset();
    });
    m_thread->start();
}

void TFindTxtHtml::scanFrom(Box& box, const QString& text)
{
    m_scanFrame = box.element.frame;
    auto job = std::make_shared<ScanJob>();
    job->from = m_scanPosition + 1;
    job->skip = normalisedPage(m_startPage);
    job->query = text;
    m_scanText = text;
    startJob(job, [this, job] { scanEnded(job->stop ? -2 : job->hit); });
}

void TFindTxtHtml::scanEnded(qsizetype hit)
{
    if (hit == -2) {
        finish(); // stopped: the next search goes on from where this one was
        return;
    }
    if (hit < 0) {
        // The round through all pages is over: the next search starts again at the shown page.
        m_scanPosition = -1;
        m_startPage.clear();
        m_searchedPage.clear();
        m_services.showStatus(QString::fromUtf16(kNotFound));
        finish();
        return;
    }
    m_scanPosition = hit;
    HtmlPanesHooks* panes = m_services.panes();
    const QString file = m_context.values.programDir + m_job->pages.value(hit);
    panes->ShowPage(file);
    const QString text = m_scanText;
    whenLoaded([this, text, file] {
        HtmlPanesHooks* panes = m_services.panes();
        QPointer<TFindTxtHtml> self(this);
        panes->findTextInFrame(m_scanFrame, text, m_matchCase, [self, file, text](int matches, int active) {
            if (!self)
                return;
            self->m_searchedPage = self->normalisedPage(self->m_services.panes()->currentFile());
            self->m_lastActive = active;
            if (matches == 0)
                qCDebug(lcDialogs) << "the pane's find did not select the text the scan found in" << file;
            self->matchShown(text, matches, active);
            self->finish();
        });
    });
}

void TFindTxtHtml::whenLoaded(std::function<void()> then)
{
    auto* poll = new QTimer(this);
    poll->setInterval(kLoadPollMs);
    auto waited = std::make_shared<int>(0);
    connect(poll, &QTimer::timeout, this, [this, poll, waited, then = std::move(then)] {
        HtmlPanesHooks* panes = m_services.panes();
        *waited += kLoadPollMs;
        if (panes && panes->isLoading() && *waited < kLoadWaitMs)
            return;
        poll->stop();
        poll->deleteLater();
        then();
    });
    poll->start();
}

void TFindTxtHtml::indexSearch(Box& box, const QString& text)
{
    m_files.clear();
    m_titles.clear();
    if (!m_index) {
        m_index = std::make_shared<TMakeFind>(m_context.pack);
        m_index->SetIndexFolder(m_context.values.programDir);
    }
    QStringList excludedFragments;
    if (!m_allPages) {
        for (const QString& fragment : box.element.nofiles)
            excludedFragments.append(toInternalPath(fragment).toLower());
    }
    // The index files of a large manual are megabytes: the first search reads them, and every
    // search looks the word up, on a thread of its own, so the window goes on answering. The search
    // counts as busy meanwhile (no second one starts), and a stop drops what it finds.
    struct Found
    {
        IndexLookup lookup;
        QStringList files;
        QStringList titles;
    };
    auto found = std::make_shared<Found>();
    auto job = std::make_shared<ScanJob>(); // only its stop flag is used here
    m_job = job;
    m_services.setBusy(true);
    m_thread = QThread::create([index = m_index, found, text] {
        found->lookup = index->FindInIndex(text, found->files, found->titles, false);
    });
    connect(m_thread, &QThread::finished, this, [this, job, found, text, excludedFragments] {
        m_thread->deleteLater();
        m_thread = nullptr;
        m_services.setBusy(false);
        m_job.reset();
        if (job->stop) {
            finish();
            return;
        }
        m_files = found->files;
        m_titles = found->titles;
        indexLookedUp(found->lookup, text, excludedFragments);
    });
    m_thread->start();
}

void TFindTxtHtml::indexLookedUp(const IndexLookup& lookup, const QString& text, const QStringList& excludedFragments)
{
    if (lookup) {
        for (QString& file : m_files)
            file.prepend(m_context.values.programDir);
        m_services.showResults(m_files, m_titles);
        finish();
        return;
    }
    // A missing or unreadable index says so; the pages are scanned all the same.
    if (lookup.message != IndexMessage::None)
        m_services.showStatus(indexMessageText(lookup.message));
    m_files.clear();
    m_titles.clear();

    auto job = std::make_shared<ScanJob>();
    job->options.excludedFolders = kIndexExcludedFolders;
    job->options.excludedFragments = excludedFragments;
    job->query = text;
    job->collectAll = true;
    QPointer<TFindTxtHtml> self(this);
    job->progress = [self](int k, int n) {
        // A scan reads thousands of pages a second: the bar is told a few hundred times in all,
        // not once a page, so the interface thread is not flooded with its updates.
        constexpr int kBarUpdates = 200;
        if (k % qMax(1, n / kBarUpdates) != 0 && k + 1 != n)
            return;
        QMetaObject::invokeMethod(
            self.data(),
            [self, k, n] {
                if (self && self->m_services.advanceBar)
                    self->m_services.advanceBar(k, n);
            },
            Qt::QueuedConnection);
    };
    startJob(job, [this, job] { indexScanEnded(job->hits); });
}

void TFindTxtHtml::indexScanEnded(const QStringList& hits)
{
    // Titles come from files.idx; a page it does not list is left out.
    QHash<QString, QString> titles;
    if (const std::unique_ptr<TComprStream> stream =
            openIndexFile(m_context.pack, indexFilePath(indexFolderOf(m_context.values.programDir), "files.idx"))) {
        IndexLines lines(*stream);
        QByteArrayView line;
        while (lines.next(line)) {
            const QString text = fromCp1251(line);
            const qsizetype mark = text.indexOf(QStringLiteral("#:#"));
            if (mark < 0)
                continue;
            const QString name = QFileInfo(toInternalPath(trimBlanks(text.left(mark)))).fileName().toLower();
            if (!titles.contains(name))
                titles.insert(name, trimBlanks(text.mid(mark + 3)));
        }
    } else {
        qCDebug(lcDialogs) << "files.idx cannot be read: the pages found have no titles and are not listed";
    }
    for (const QString& page : hits) {
        const auto found = titles.constFind(QFileInfo(page).fileName().toLower());
        if (found == titles.constEnd())
            continue;
        m_files.append(m_context.values.programDir + page);
        m_titles.append(found.value());
    }
    if (m_services.resetBar)
        m_services.resetBar();
    m_services.showResults(m_files, m_titles);
    if (m_files.isEmpty())
        m_services.showStatus(QString::fromUtf16(kNotFound));
    finish();
}

void TFindTxtHtml::showResult(int index)
{
    if (index < 0 || index >= m_files.size() || !m_idle)
        return;
    HtmlPanesHooks* panes = m_services.panes ? m_services.panes() : nullptr;
    if (!panes)
        return;
    const QString file = m_files[index];
    const auto findWord = [this] {
        if (m_services.syncTree)
            m_services.syncTree(QString());
        const bool indexMode = m_indexMode;
        m_indexMode = false;
        m_startPage.clear();
        m_searchedPage.clear();
        FindNext(1);
        m_indexMode = indexMode;
    };
    if (normalisedPage(panes->currentFile()) == normalisedPage(file)) {
        findWord();
        return;
    }
    panes->ShowPage(file);
    whenLoaded(findWord);
}

namespace {

void runScan(TFindTxtHtml::ScanJob& job)
{
    PathResolver disk(job.programDrive);
    ContentPack pack(disk);
    if (!job.packPath.isEmpty()) {
        try {
            pack.OpenPack(job.packPath);
        } catch (const ContentError& error) {
            qCDebug(lcDialogs) << "the pack is left out of the search:" << error.message();
        }
        pack.SetPackBase(job.contentDir);
    }
    job.pages = listScanPages(pack, job.programDir, job.options);
    const int count = int(job.pages.size());
    qsizetype at = job.from;
    while (at < job.pages.size()) {
        const qsizetype hit = scanPages(pack, job.programDir, job.pages, at, job.query, job.matchCase, &job.stop,
                                        [&job, count](qsizetype k) {
                                            if (job.progress)
                                                job.progress(int(k), count);
                                        });
        if (hit < 0)
            return;
        if (!job.skip.isEmpty() && QDir::cleanPath(job.programDir + job.pages[hit]).toLower() == job.skip) {
            at = hit + 1; // the page the round began on was searched in the pane
            continue;
        }
        if (!job.collectAll) {
            job.hit = hit;
            return;
        }
        job.hits.append(job.pages[hit]);
        at = hit + 1;
    }
}

} // namespace
