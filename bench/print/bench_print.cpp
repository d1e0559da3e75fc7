// Printing to a PDF file: the time from the print request to the file written, and the file's
// size, through the preview's page store (the engine's PDF with the "Страница N" headers laid over
// it, as `--print-to` writes it) against a bare QWebEnginePage::printToPdf of the same page on the
// same sheet, written as it comes. Two pages: the demo's start page (intro.htm, read from the
// pack) and a page of 160 paragraphs. Both sides print the same loaded page, taking turns and
// changing who goes first each round; the medians are compared.
//
// Usage: bench_print [DEMO_FOLDER] [--rounds N]

#include "appcontext.h"
#include "contentpack.h"
#include "contentscheme.h"
#include "pagestore.h"
#include "startupvalues.h"
#include "tpreviewform.h"
#include "tprnstatusform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <unistd.h>

namespace {

constexpr int kDefaultRounds = 7;
constexpr int kWaitMs = 60000;

double medianMs(QList<qint64> samples)
{
    std::sort(samples.begin(), samples.end());
    const qsizetype n = samples.size();
    const qint64 middle = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    return double(middle) / 1e6;
}

bool load(QWebEnginePage& page, const QUrl& url)
{
    QEventLoop loop;
    bool ok = false;
    QObject::connect(&page, &QWebEnginePage::loadFinished, &loop, [&](bool finished) {
        ok = finished;
        loop.quit();
    });
    QTimer::singleShot(kWaitMs, &loop, &QEventLoop::quit);
    page.load(url);
    loop.exec();
    return ok;
}

struct Sample
{
    qint64 ns = 0;
    qint64 bytes = 0;
};

// The reader's way: what `--print-to` runs, the preview's store laying the page out and writing
// every sheet to the file.
std::optional<Sample> printThroughStore(QWebEnginePage& page, const QString& file)
{
    QFile::remove(file);
    QElapsedTimer timer;
    timer.start();
    TPreviewForm preview(nullptr, &page, false, QSize(), file, true);
    if (preview.failed() || !preview.printRange(1, preview.pageCount()))
        return std::nullopt;
    const qint64 ns = timer.nsecsElapsed();
    return Sample{ns, QFileInfo(file).size()};
}

// The engine alone: the same sheet and margins, its bytes written as they come.
std::optional<Sample> printBare(QWebEnginePage& page, const QString& file)
{
    QFile::remove(file);
    QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 20, 20, 20),
                       QPageLayout::Millimeter);
    QEventLoop loop;
    QByteArray pdf;
    bool answered = false;
    QElapsedTimer timer;
    timer.start();
    page.printToPdf(
        [&](const QByteArray& bytes) {
            pdf = bytes;
            answered = true;
            loop.quit();
        },
        layout);
    QTimer::singleShot(kWaitMs, &loop, &QEventLoop::quit);
    if (!answered)
        loop.exec();
    QFile out(file);
    if (!answered || pdf.isEmpty() || !out.open(QIODevice::WriteOnly) || out.write(pdf) != pdf.size())
        return std::nullopt;
    out.close();
    const qint64 ns = timer.nsecsElapsed();
    return Sample{ns, QFileInfo(file).size()};
}

QString longPage(int paragraphs)
{
    QString html = QStringLiteral("<html><head><meta charset='utf-8'><title>Длинная страница</title></head><body>"
                                  "<h1>Длинная страница</h1>");
    for (int i = 1; i <= paragraphs; ++i)
        html += QStringLiteral(u"<p>Абзац %1. Проверьте уровень масла в двигателе, затяжку болтов крепления "
                               u"и состояние приводных ремней; при необходимости замените их.</p>")
                    .arg(i);
    return html + QStringLiteral("</body></html>");
}

// A cancel while the engine lays a long page out: the time from "Отмена" to the progress window
// closed.
bool measureCancel(QWebEnginePage& page, const QString& folder)
{
    PageStore store(folder + QStringLiteral("/cancel.pdf"));
    TPrnStatusForm progress;
    QTimer poll;
    QElapsedTimer sinceCancel;
    QObject::connect(&poll, &QTimer::timeout, &progress, [&] {
        if (PageStore::enginePrintsPending() == 0)
            return;
        poll.stop();
        sinceCancel.start();
        progress.requestCancel();
    });
    poll.start(1);
    const bool cancelled = progress.FormatPages(&page, store, 1.0);
    const double ms = sinceCancel.isValid() ? double(sinceCancel.nsecsElapsed()) / 1e6 : -1;
    std::printf("%-22s cancel during layout: progress window closed %.1f ms after \"Отмена\" (engine still "
                "at work: %s)\n",
                "3000 paragraphs", ms, PageStore::enginePrintsPending() > 0 ? "yes" : "no");
    // The engine's late answer is dropped.
    QElapsedTimer waited;
    waited.start();
    while (PageStore::enginePrintsPending() > 0 && waited.elapsed() < kWaitMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return cancelled && store.pageCount() == 0;
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

bool measure(const char* name, QWebEnginePage& page, const QString& folder, int rounds)
{
    QList<qint64> ours;
    QList<qint64> bare;
    Sample lastOurs;
    Sample lastBare;
    // One print each first: the engine's printing starts on its first use.
    if (!printBare(page, folder + QStringLiteral("/warm.pdf")) ||
        !printThroughStore(page, folder + QStringLiteral("/warm2.pdf")))
        return false;
    for (int round = 0; round < rounds; ++round) {
        for (int side = 0; side < 2; ++side) {
            const bool oursNow = (side == 0) == (round % 2 == 0);
            const auto sample = oursNow ? printThroughStore(page, folder + QStringLiteral("/ours.pdf"))
                                        : printBare(page, folder + QStringLiteral("/bare.pdf"));
            if (!sample) {
                std::fprintf(stderr, "bench_print: %s: the %s print failed\n", name, oursNow ? "store's" : "bare");
                return false;
            }
            (oursNow ? ours : bare).append(sample->ns);
            (oursNow ? lastOurs : lastBare) = *sample;
        }
    }
    const double oursMs = medianMs(ours);
    const double bareMs = medianMs(bare);
    std::printf("%-22s time: store %8.1f ms, bare engine %8.1f ms, ratio %.2f (goal <= 1.30)\n", name, oursMs, bareMs,
                oursMs / bareMs);
    std::printf("%-22s size: store %8lld B,  bare engine %8lld B,  ratio %.2f (goal <= 1.30)\n", name,
                static_cast<long long>(lastOurs.bytes), static_cast<long long>(lastBare.bytes),
                double(lastOurs.bytes) / double(lastBare.bytes));
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The engine's sandbox cannot run as root.
    if (getuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    registerContentScheme();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);

    int rounds = kDefaultRounds;
    QStringList positional;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--rounds") && i + 1 < args.size()) {
            rounds = std::max(1, args[++i].toInt());
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::puts("usage: bench_print [DEMO_FOLDER] [--rounds N]");
            return 0;
        } else if (arg.startsWith(QLatin1String("--benchmark"))) {
            // scripts/bench hands its arguments to every benchmark program.
        } else if (arg.startsWith(QLatin1Char('-'))) {
            std::fprintf(stderr, "bench_print: unknown option %s\n", qUtf8Printable(arg));
            return 2;
        } else {
            positional.append(arg);
        }
    }

    const QString demo = QDir(demoFolder(positional)).absolutePath();
    if (!QFileInfo::exists(demo + QStringLiteral("/interface.dat"))) {
        std::fprintf(stderr, "bench_print: no demo manual in %s (build the target demo)\n", qUtf8Printable(demo));
        return 1;
    }
    AppContext context(StartupValues::forContentFolder(demo));
    if (!context.pack.OpenPack(context.values.programDir + QStringLiteral("interface.dat"))) {
        std::fprintf(stderr, "bench_print: %s\n", qUtf8Printable(context.pack.errorString()));
        return 1;
    }
    context.pack.SetPackBase(context.values.contentDir);
    QTemporaryDir work;
    QObject owner;
    QWebEngineProfile* profile = makeContentProfile(context.pack, &owner);
    bool ok = true;
    {
        QWebEnginePage start(profile);
        if (!load(start, contentUrl(context.values.programDir + QStringLiteral("intro.htm")))) {
            std::fputs("bench_print: the start page did not load\n", stderr);
            return 1;
        }
        ok = measure("start page", start, work.path(), rounds) && ok;

        const QString file = work.filePath(QStringLiteral("long.htm"));
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(longPage(160).toUtf8()) < 0)
            return 1;
        out.close();
        QWebEnginePage long160(profile);
        if (!load(long160, contentUrl(file))) {
            std::fputs("bench_print: the long page did not load\n", stderr);
            return 1;
        }
        ok = measure("160 paragraphs", long160, work.path(), rounds) && ok;

        const QString file3000 = work.filePath(QStringLiteral("long3000.htm"));
        QFile out3000(file3000);
        if (!out3000.open(QIODevice::WriteOnly) || out3000.write(longPage(3000).toUtf8()) < 0)
            return 1;
        out3000.close();
        QWebEnginePage long3000(profile);
        if (!load(long3000, contentUrl(file3000)))
            return 1;
        ok = measureCancel(long3000, work.path()) && ok;
    }
    return ok ? 0 : 1;
}
