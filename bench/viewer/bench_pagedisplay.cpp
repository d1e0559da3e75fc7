// Page display in the HTML pane: the time from THtmlFrame::ShowPage(file) to the pane's
// pageChanged (its page loaded, through the content scheme from the pack), against a bare web view
// with a default off-the-record profile loading the same bytes as plain files
// (load(QUrl::fromLocalFile) to loadFinished). Two sets of pages: every page of the demo manual's
// pack, and 200 pages spread over the large synthetic manual. For the bare view every file of the
// pack (pictures and style sheets too) is written out beforehand, names in lower case as the
// pages' links spell them.
//
// A third side tells where the pane's time goes: a bare web view with the pane's own profile, the
// pages served by the content scheme from the pack, without the pane's script, history or
// sections ("scheme"). pane / scheme is the cost of the pane itself, scheme / bare that of the
// scheme handler against the engine's own reading of plain files.
//
// Each side first loads every page once (the first load starts the engine for its profile); the
// pages shown by both are then compared (pictures, broken pictures, style sheets, frames) so that
// both sides are known to read the same content. Then a few rounds: each page in turn on both
// sides, the side that goes first alternating from page to page and from round to round. The
// pages go round in the same order each time, and there are more of them than the pane's history
// holds, so every ShowPage is a real load; the program checks that before each one.
//
// Usage: bench_pagedisplay [DEMO_FOLDER] [--rounds N]
// Without a folder the demo of this build tree is used, else the one of build/.

#include "appcontext.h"
#include "contenterror.h"
#include "contentpack.h"
#include "contentscheme.h"
#include "htmlframe.h"
#include "startupvalues.h"
#include "synthmanual.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include <unistd.h>

namespace {

constexpr int kLoadTimeoutMs = 30000;
// A short pause between loads, so that the painting after one load does not fall into the next.
constexpr int kSettleMs = 5;
constexpr int kSyntheticPages = 200;
constexpr int kDemoRounds = 5;
constexpr int kSyntheticRounds = 3;

// What a page shows, as far as the reading of its files goes: pictures, pictures that did not
// load, style sheets, frames.
const char kProbeScript[] = R"((function () {
    var images = Array.prototype.slice.call(document.images);
    var broken = images.filter(function (i) { return !i.complete || i.naturalWidth === 0; }).length;
    return JSON.stringify([images.length, broken, document.styleSheets.length, window.frames.length]);
})())";

void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Times one load: started just before the load is asked for, stopped by the side's signal.
class Stopwatch
{
public:
    Stopwatch()
    {
        m_timeout.setSingleShot(true);
        QObject::connect(&m_timeout, &QTimer::timeout, &m_loop, &QEventLoop::quit);
    }

    void start()
    {
        m_done = false;
        m_ok = false;
        m_timer.start();
    }

    void finish(bool ok)
    {
        if (m_done)
            return;
        m_ns = m_timer.nsecsElapsed();
        m_done = true;
        m_ok = ok;
        m_loop.quit();
    }

    // The load's time in nanoseconds, or nothing when it failed or did not finish in time.
    std::optional<qint64> wait()
    {
        if (!m_done) {
            m_timeout.start(kLoadTimeoutMs);
            m_loop.exec();
            m_timeout.stop();
        }
        if (!m_done || !m_ok)
            return std::nullopt;
        return m_ns;
    }

private:
    QElapsedTimer m_timer;
    QEventLoop m_loop;
    QTimer m_timeout;
    qint64 m_ns = 0;
    bool m_done = false;
    bool m_ok = false;
};

QString probe(QWebEnginePage* page)
{
    struct State
    {
        QEventLoop loop;
        QString result;
    };
    auto state = std::make_shared<State>();
    page->runJavaScript(QString::fromLatin1(kProbeScript), [state](const QVariant& value) {
        state->result = value.toString();
        state->loop.quit();
    });
    QTimer::singleShot(5000, &state->loop, &QEventLoop::quit);
    state->loop.exec();
    return state->result;
}

// The reader's side: the pane of the reading screen, as the window places it.
class PaneSide
{
public:
    PaneSide(const QString& folder, const QString& startPage)
    {
        m_context = std::make_unique<AppContext>(StartupValues::forContentFolder(folder));
        m_root = m_context->values.contentDir;
        if (!m_context->pack.OpenPack(m_context->values.programDir + QStringLiteral("interface.dat")))
            throw ContentError(m_context->pack.errorString());
        m_context->pack.SetPackBase(m_root);

        m_window = std::make_unique<QWidget>();
        m_window->resize(780, 600);
        auto* panel = new QWidget(m_window.get());
        panel->setGeometry(33, 90, 673, 421);
        TDynamicHtmlArray elements;
        elements.append(RHTML{33, 90, 706, 511, m_root + startPage, 1, 1});
        THtmlFrame::Callbacks callbacks;
        callbacks.currentScreen = [] { return 1; };
        callbacks.pageChanged = [this](const QString& file, const QString&) {
            if (sameFile(file, m_expected))
                m_watch.finish(true);
        };
        m_frame = std::make_unique<THtmlFrame>(
            m_window.get(), panel, *m_context, elements,
            [this] { return m_profile ? m_profile : m_profile = makeContentProfile(m_context->pack, &m_profileOwner); },
            callbacks);
        m_window->show();

        m_expected = m_root + startPage;
        m_watch.start();
        m_frame->ShowScreenPane();
        QObject::connect(m_frame->currentView(), &QWebEngineView::loadFinished, m_frame->currentView(),
                         [this](bool ok) {
                             if (!ok)
                                 m_watch.finish(false);
                         });
        if (!m_watch.wait())
            throw ContentError(QStringLiteral("the start page %1 did not load in the pane").arg(m_expected));
    }

    ~PaneSide()
    {
        // The views and their pages go before the profile they use.
        m_frame.reset();
        m_window.reset();
    }

    const ContentPack& pack() const { return m_context->pack; }
    QString root() const { return m_root; }
    QWebEnginePage* page() const { return m_frame->currentView()->page(); }

    std::optional<qint64> show(const QString& page)
    {
        const QString file = m_root + page;
        if (m_frame->history().contains(file, Qt::CaseInsensitive) || sameFile(m_frame->currentFile(), file)) {
            std::fprintf(stderr, "bench_pagedisplay: %s is in the pane's history: it would not load\n",
                         qUtf8Printable(file));
            std::exit(1);
        }
        m_expected = file;
        m_watch.start();
        m_frame->ShowPage(file);
        const std::optional<qint64> ns = m_watch.wait();
        if (!ns)
            m_frame->ShowScreenPane(); // a failed page hides the pane
        return ns;
    }

private:
    std::unique_ptr<AppContext> m_context;
    QObject m_profileOwner;
    QWebEngineProfile* m_profile = nullptr;
    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<THtmlFrame> m_frame;
    QString m_root;
    QString m_expected;
    Stopwatch m_watch;
};

// A bare web view, timed from load() to the end of loading of the page asked for. The baseline
// reads plain files; the same view on the pane's profile reads the pages through the content
// scheme.
class BareView
{
public:
    using MakeProfile = std::function<QWebEngineProfile*(QObject* owner)>;
    using UrlOf = std::function<QUrl(const QString& page)>;

    BareView(const MakeProfile& makeProfile, UrlOf urlOf) : m_urlOf(std::move(urlOf))
    {
        QWebEngineProfile* profile = makeProfile(&m_profileOwner);
        m_view = std::make_unique<QWebEngineView>();
        m_view->setPage(new QWebEnginePage(profile, m_view.get()));
        m_view->resize(673, 421);
        m_view->show();
        QObject::connect(m_view.get(), &QWebEngineView::loadFinished, m_view.get(), [this](bool ok) {
            if (m_view->url() == m_expected)
                m_watch.finish(ok);
        });
    }

    ~BareView() { m_view.reset(); }

    QWebEnginePage* page() const { return m_view->page(); }

    std::optional<qint64> show(const QString& page)
    {
        m_expected = m_urlOf(page);
        m_watch.start();
        m_view->load(m_expected);
        return m_watch.wait();
    }

private:
    UrlOf m_urlOf;
    QObject m_profileOwner;
    std::unique_ptr<QWebEngineView> m_view;
    QUrl m_expected;
    Stopwatch m_watch;
};

// Every packed file written below to, names in lower case.
void extractPack(const ContentPack& pack, const QString& root, const QString& to)
{
    for (const QString& name : pack.ListPackFiles()) {
        const std::optional<QByteArray> bytes = pack.readFile(root + name);
        if (!bytes)
            throw ContentError(QStringLiteral("Cannot read %1 from the pack").arg(name));
        const QString path = to + QLatin1Char('/') + name.toLower();
        QDir().mkpath(QFileInfo(path).path());
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit())
            throw ContentError(QStringLiteral("Cannot write file %1").arg(path));
    }
}

QStringList packedPages(const ContentPack& pack)
{
    QStringList pages;
    for (const QString& name : pack.ListPackFiles()) {
        if (name.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive) ||
            name.endsWith(QLatin1String(".html"), Qt::CaseInsensitive))
            pages.append(name.toLower());
    }
    pages.sort();
    return pages;
}

double medianMs(QList<qint64> samples)
{
    if (samples.isEmpty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const qsizetype n = samples.size();
    const double ns = n % 2 ? double(samples[n / 2]) : (double(samples[n / 2 - 1]) + double(samples[n / 2])) / 2;
    return ns / 1e6;
}

struct Result
{
    QString name;
    qsizetype pages = 0;
    int rounds = 0;
    QList<qint64> pane;
    QList<qint64> bare;
    QList<qint64> scheme;
};

// Measures one set of pages. pick chooses the pages from all the pack's pages.
std::optional<Result> measure(const QString& name, const QString& folder, int rounds,
                              const std::function<QStringList(const QStringList&)>& pick)
{
    std::printf("-- %s: %s\n", qUtf8Printable(name), qUtf8Printable(folder));
    std::fflush(stdout);
    QStringList pages;
    std::unique_ptr<PaneSide> pane;
    QTemporaryDir plain;
    {
        // The pages are listed from the pack before the pane is made, so the pane starts on one.
        AppContext lister(StartupValues::forContentFolder(folder));
        if (!lister.pack.OpenPack(lister.values.programDir + QStringLiteral("interface.dat"))) {
            std::fprintf(stderr, "bench_pagedisplay: %s: %s\n", qUtf8Printable(folder),
                         qUtf8Printable(lister.pack.errorString()));
            return std::nullopt;
        }
        pages = pick(packedPages(lister.pack));
    }
    if (pages.size() <= THtmlFrame::kHistoryMax) {
        std::fprintf(stderr, "bench_pagedisplay: %s has %lld pages; more than %d are needed\n", qUtf8Printable(name),
                     static_cast<long long>(pages.size()), THtmlFrame::kHistoryMax);
        return std::nullopt;
    }
    pane = std::make_unique<PaneSide>(folder, pages.first());
    extractPack(pane->pack(), pane->root(), plain.path());
    const QString plainFolder = plain.path() + QLatin1Char('/');
    // No storage name: an off-the-record profile.
    BareView bare([](QObject* owner) { return new QWebEngineProfile(owner); },
                  [plainFolder](const QString& page) { return QUrl::fromLocalFile(plainFolder + page); });
    const ContentPack& pack = pane->pack();
    const QString root = pane->root();
    BareView scheme([&pack](QObject* owner) { return makeContentProfile(pack, owner); },
                    [root](const QString& page) { return contentUrl(root + page); });

    // The start page last, so that every round goes round the same way from it.
    QStringList order = pages.mid(1);
    order.append(pages.first());

    // Warm-up: the bare view starts on the same page, then both sides load every page once and
    // are compared.
    if (!bare.show(pages.first())) {
        std::fprintf(stderr, "bench_pagedisplay: %s did not load in the bare view\n", qUtf8Printable(pages.first()));
        return std::nullopt;
    }
    QStringList failed;
    QStringList differ;
    for (const QString& page : std::as_const(order)) {
        if (!scheme.show(page))
            failed.append(page + QStringLiteral(" (bare view on the content scheme)"));
        const bool paneOk = pane->show(page).has_value();
        const QString paneShows = paneOk ? probe(pane->page()) : QString();
        const bool bareOk = bare.show(page).has_value();
        const QString bareShows = bareOk ? probe(bare.page()) : QString();
        if (!paneOk || !bareOk)
            failed.append(page + (paneOk ? QStringLiteral(" (bare view)") : QStringLiteral(" (pane)")));
        else if (paneShows != bareShows)
            differ.append(QStringLiteral("%1: pane %2, bare view %3").arg(page, paneShows, bareShows));
    }
    for (const QString& page : std::as_const(failed))
        std::fprintf(stderr, "bench_pagedisplay: %s did not load\n", qUtf8Printable(page));
    for (const QString& line : std::as_const(differ))
        std::fprintf(stderr,
                     "bench_pagedisplay: the sides show different things (pictures, broken, style sheets, "
                     "frames): %s\n",
                     qUtf8Printable(line));
    if (!failed.isEmpty())
        return std::nullopt;

    Result result;
    result.name = name;
    result.pages = pages.size();
    result.rounds = rounds;
    for (int round = 0; round < rounds; ++round) {
        for (qsizetype i = 0; i < order.size(); ++i) {
            const QString& page = order[i];
            // The three sides take turns: which goes first moves on from page to page and from
            // round to round.
            for (int turn = 0; turn < 3; ++turn) {
                const int side = int((i + round + turn) % 3);
                const std::optional<qint64> ns = side == 0   ? pane->show(page)
                                                 : side == 1 ? bare.show(page)
                                                             : scheme.show(page);
                if (!ns) {
                    std::fprintf(stderr, "bench_pagedisplay: %s did not load in the %s\n", qUtf8Printable(page),
                                 side == 0   ? "pane"
                                 : side == 1 ? "bare view"
                                             : "bare view on the content scheme");
                    return std::nullopt;
                }
                (side == 0 ? result.pane : side == 1 ? result.bare : result.scheme).append(*ns);
                spin(kSettleMs);
            }
        }
    }
    return result;
}

QString demoFolder(const QStringList& positional)
{
    if (!positional.isEmpty())
        return positional.first();
    const QString own = QStringLiteral(VELBROOK_BENCH_DEMO);
    if (QFileInfo::exists(own + QStringLiteral("/interface.dat")))
        return own;
    return QStringLiteral(VELBROOK_BENCH_DEMO_FALLBACK);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The engine's sandbox cannot run as root.
    if (getuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    ensureRuntimeFolder();
    registerContentScheme();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);

    int rounds = 0;
    QStringList positional;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--rounds") && i + 1 < args.size()) {
            rounds = args[++i].toInt();
            if (rounds < 1) {
                std::fputs("bench_pagedisplay: --rounds needs a positive number\n", stderr);
                return 2;
            }
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::puts("usage: bench_pagedisplay [DEMO_FOLDER] [--rounds N]");
            return 0;
        } else if (arg.startsWith(QLatin1String("--benchmark"))) {
            // scripts/bench hands its arguments to every benchmark program.
        } else if (arg.startsWith(QLatin1Char('-'))) {
            std::fprintf(stderr, "bench_pagedisplay: unknown option %s\n", qUtf8Printable(arg));
            return 2;
        } else {
            positional.append(arg);
        }
    }

    QList<Result> results;
    bool complete = true;
    try {
        const QString demo = demoFolder(positional);
        if (!QFileInfo::exists(demo + QStringLiteral("/interface.dat"))) {
            std::fprintf(stderr,
                         "bench_pagedisplay: no demo manual in %s (build the target demo); its set is left out\n",
                         qUtf8Printable(demo));
            complete = false;
        } else if (auto result = measure(QStringLiteral("demo"), QDir(demo).absolutePath(),
                                         rounds ? rounds : kDemoRounds, [](const QStringList& all) { return all; })) {
            results.append(*result);
        } else {
            complete = false;
        }

        QTemporaryDir work;
        const SyntheticManual manual = makeSyntheticManual(work.path() + QStringLiteral("/manual"));
        const auto spread = [](const QStringList& all) {
            // Every k-th page over the whole manual, the index files left out.
            QStringList pages;
            const qsizetype step = std::max<qsizetype>(1, all.size() / kSyntheticPages);
            for (qsizetype i = 0; i < all.size() && pages.size() < kSyntheticPages; i += step)
                pages.append(all[i]);
            return pages;
        };
        if (auto result =
                measure(QStringLiteral("synthetic"), manual.folder, rounds ? rounds : kSyntheticRounds, spread))
            results.append(*result);
        else
            complete = false;
    } catch (const ContentError& error) {
        std::fprintf(stderr, "bench_pagedisplay: %s\n", qUtf8Printable(error.message()));
        return 1;
    }

    std::puts("");
    std::puts("ShowPage -> pageChanged (pane) against load -> loadFinished (bare view of plain files)");
    std::printf("%-10s %6s %7s %8s %14s %14s %7s %14s %13s %13s\n", "set", "pages", "rounds", "loads", "pane median",
                "bare median", "ratio", "scheme median", "pane/scheme", "scheme/bare");
    for (const Result& result : std::as_const(results)) {
        const double pane = medianMs(result.pane);
        const double bare = medianMs(result.bare);
        const double scheme = medianMs(result.scheme);
        std::printf("%-10s %6lld %7d %8lld %11.2f ms %11.2f ms %7.2f %11.2f ms %13.2f %13.2f\n",
                    qUtf8Printable(result.name), static_cast<long long>(result.pages), result.rounds,
                    static_cast<long long>(result.pane.size()), pane, bare, bare > 0 ? pane / bare : 0.0, scheme,
                    scheme > 0 ? pane / scheme : 0.0, bare > 0 ? scheme / bare : 0.0);
    }
    std::fflush(stdout);
    return complete ? 0 : 1;
}
