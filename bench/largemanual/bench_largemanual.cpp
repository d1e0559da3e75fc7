// The reader on one title, driven as a reader drives it, with each step timed: the window built to
// its first frame, the reading screen's first page, a click on a contents tree item to its page,
// and the searches across all pages (the page search walking every page to a word found only on
// the last one the scan reaches; the index search for a word of three pages; the index search for
// a word in no page, which scans every page). The components are those of the program's start-up
// (the engine linked in, as the tests link it). A timer on the interface thread measures the
// longest time the thread was held during each step.
//
// Usage: bench_largemanual TITLE [--tree-page PAGE]...
// Prints one line per step: "step ms longest-stall-ms [detail]". Exit 1 when a step fails.

#include "appcomponents.h"
#include "appcontext.h"
#include "engineparts.h"
#include "findtxthtml.h"
#include "htmlframe.h"
#include "lazypanes.h"
#include "mainform.h"
#include "makefind.h"
#include "pagescan.h"
#include "scriptcodec.h"
#include "searchcomponents.h"
#include "settingsstore.h"
#include "skinscript.h"
#include "treemodel.h"
#include "treescontroller.h"
#include "treeviews.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

constexpr int kStepTimeoutMs = 120000;

// The longest time between two ticks of a timer on the interface thread.
class StallWatch
{
public:
    StallWatch()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
        m_timer.start();
        m_clock.start();
    }
    void reset()
    {
        tick();
        m_longest = 0;
    }
    double longestMs()
    {
        tick();
        return double(m_longest) / 1e6;
    }

private:
    void tick()
    {
        const qint64 now = m_clock.nsecsElapsed();
        m_longest = qMax(m_longest, now - m_last);
        m_last = now;
    }
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

// Runs the event loop until done() holds; the time it took in ms, or -1 when it did not come.
double waitUntil(const std::function<bool()>& done, const QElapsedTimer& since)
{
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > kStepTimeoutMs)
            return -1;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return double(since.nsecsElapsed()) / 1e6;
}

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A word of the index whose only page is the last page a scan of the title reaches.
QString wordOnlyOnLastPage(const AppContext& context)
{
    const QString folder = context.values.programDir;
    const QStringList pages = listScanPages(context.pack, folder);
    if (pages.isEmpty())
        return QString();
    TMakeFind find(context.pack);
    find.SetIndexFolder(folder);
    const std::optional<QByteArray> last = context.pack.readFile(folder + pages.last());
    if (!last)
        return QString();
    const QStringList words = visiblePageText(*last).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (QString word : words) {
        word.remove(QRegularExpression(QStringLiteral("[^\\w-]")));
        if (word.size() < 4)
            continue;
        QStringList files;
        QStringList titles;
        if (find.FindInIndex(word, files, titles, false) && files.size() == 1 &&
            files.first().compare(pages.last(), Qt::CaseInsensitive) == 0)
            return word;
    }
    return QString();
}

bool samePage(const QString& a, const QString& b)
{
    return QDir::cleanPath(a).compare(QDir::cleanPath(QString(b).replace(QLatin1Char('\\'), QLatin1Char('/'))),
                                      Qt::CaseInsensitive) == 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QStringList args = app.arguments().mid(1);
    QStringList treePages;
    for (qsizetype at = args.indexOf(QStringLiteral("--tree-page")); at >= 0 && at + 1 < args.size();
         at = args.indexOf(QStringLiteral("--tree-page"))) {
        treePages.append(args[at + 1]);
        args.remove(at, 2);
    }
    if (args.size() != 1) {
        std::fputs("usage: bench_largemanual TITLE [--tree-page PAGE]...\n", stderr);
        return 2;
    }
    bool failed = false;
    const auto report = [&failed](const char* step, double ms, double stall, const QString& detail = QString()) {
        if (ms < 0)
            failed = true;
        std::printf("%-22s %10.1f %10.1f %s\n", step, ms, stall, qUtf8Printable(detail));
        std::fflush(stdout);
    };

    StallWatch stalls;
    QElapsedTimer clock;
    clock.start();
    stalls.reset();
    AppContext context(StartupValues::forContentFolder(args.first()));
    const QString root = context.values.programDir;
    if (!context.pack.OpenPack(root + QStringLiteral("interface.dat"))) {
        std::fprintf(stderr, "bench_largemanual: %s\n", qUtf8Printable(context.pack.errorString()));
        return 2;
    }
    context.pack.SetPackBase(context.values.contentDir);
    context.container.Open(root + QStringLiteral("Kel.dhl"));
    const QStringList lines = DecodeScript(*context.container.Read(QStringLiteral("Struct.cfs")), true);
    SkinScript script(context.folders());
    script.readHeader(lines);
    context.values.appTitle = script.header.title + QStringLiteral(" bench");
    script.readElements(lines);
    context.openSettings();
    auto form = std::make_unique<TMainForm>(context, script);
    auto components = std::make_unique<AppComponents>(*form, context, script, staticEngineParts);
    auto search = std::make_unique<SearchComponents>(*form, context, script, *components);
    form->buildFirstScreen();
    components->ShowFieldsForScreen();
    form->show();
    report("first-frame", waitUntil([&] { return form->hasPainted(); }, clock), stalls.longestMs());
    settle(200);

    const auto panes = [&]() -> HtmlPanesHooks* { return components->panes()->made(); };
    const auto shows = [&](const QString& page) {
        return panes() && !panes()->isLoading() && samePage(panes()->currentFile(), page);
    };

    // The reading screen and its start page.
    stalls.reset();
    clock.start();
    form->RunCommand(QStringLiteral("2"), QString(), true);
    const double firstPage =
        waitUntil([&] { return panes() && !panes()->isLoading() && !panes()->currentFile().isEmpty(); }, clock);
    report("first-page", firstPage, stalls.longestMs(), panes() ? panes()->currentFile() : QString());
    settle(300);

    // Clicks on tree items.
    TTreeViews* tree = components->trees().treeOfTheMoment();
    for (const QString& page : std::as_const(treePages)) {
        if (!tree) {
            report("tree-click", -1, 0, QStringLiteral("no tree"));
            break;
        }
        const int item = tree->tree().findPage(root + page);
        const QModelIndex index = static_cast<const TreeModel*>(tree->model())->indexOf(item);
        if (!index.isValid()) {
            report("tree-click", -1, 0, QStringLiteral("no item for ") + page);
            continue;
        }
        for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
            tree->expand(parent);
        tree->scrollTo(index);
        settle(200);
        const QPoint at = tree->visualRect(index).center();
        stalls.reset();
        clock.start();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        report("tree-click", waitUntil([&] { return shows(root + page); }, clock), stalls.longestMs(), page);
        settle(300);
    }

    // The searches.
    TFindTxtHtml* find = search->search();
    if (!find) {
        report("search", -1, 0, QStringLiteral("the skin has no search box"));
        return 1;
    }
    const QString lastWord = wordOnlyOnLastPage(context);
    const auto run = [&](const char* step, const QString& word, const std::function<void()>& mode,
                         const std::function<QString()> detail) {
        find->box(0)->setText(QString());
        mode();
        find->box(0)->setText(word);
        stalls.reset();
        clock.start();
        find->FindNext(1);
        const double ms = waitUntil([&] { return !find->isRunning(); }, clock);
        report(step, ms, stalls.longestMs(), word + QStringLiteral(": ") + detail());
        settle(300);
    };
    const int pages = int(listScanPages(context.pack, root).size());
    run(
        "search-all-pages", lastWord, [&] { find->SetAllPages(true); },
        [&] {
            return QStringLiteral("%1 pages, shown %2").arg(pages).arg(panes() ? panes()->currentFile() : QString());
        });
    run(
        "index-search", QStringLiteral(u"колодки"), [&] { find->setIndexMode(); },
        [&] { return QStringLiteral("found on the index"); });
    run(
        "index-search-missing", QStringLiteral(u"фьючерсный"), [&] { find->setIndexMode(); },
        [&] { return QStringLiteral("%1 pages scanned").arg(pages); });

    search.reset();
    components.reset();
    form.reset();
    context.settings.close();
    return failed ? 1 : 0;
}
