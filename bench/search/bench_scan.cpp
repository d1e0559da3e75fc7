// The search across all pages on the large synthetic manual (3,000 pages inside the pack): the
// scan that reads each page's visible text (pagescan.h), for a word only on the last page and for
// a word in no page, against the baseline of laying the pages out one by one in a hidden web view
// and searching each with the engine's find. The baseline is measured on the first 100 pages and
// scaled to the whole manual.
//
// Usage: bench_scan [--rounds N] [--baseline-pages N]

#include "contentpack.h"
#include "htmltext.h"
#include "makefind.h"
#include "pagescan.h"
#include "pathresolver.h"
#include "synthmanual.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>

namespace {

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

// A word that the index lists for the last page of the scan and for no other page.
QString wordOnlyOnLastPage(const ContentPack& pack, const QString& folder, const QStringList& pages)
{
    TMakeFind find(pack);
    find.SetIndexFolder(folder);
    const QString last = pages.last();
    const std::optional<QByteArray> bytes = pack.readFile(folder + last);
    const QStringList words = indexWords(visiblePageText(bytes.value_or(QByteArray())));
    for (const QString& word : words) {
        QStringList files;
        QStringList titles;
        if (find.FindInIndex(word, files, titles, false) && files.size() == 1 &&
            files.first().compare(last, Qt::CaseInsensitive) == 0)
            return word;
    }
    return QString();
}

// The time in ms to load each page into a hidden view and find word in it, per page.
double baselinePerPage(const ContentPack& pack, const QString& folder, const QStringList& pages, int count,
                       const QString& word)
{
    QTemporaryDir out;
    QStringList files;
    for (int i = 0; i < count && i < pages.size(); ++i) {
        const QString path = out.filePath(QStringLiteral("p%1.htm").arg(i));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(pack.readFile(folder + pages[i]).value_or(QByteArray()));
        files.append(path);
    }
    QWebEngineView view;
    view.settings()->setAttribute(QWebEngineSettings::AutoLoadImages, false);
    view.resize(800, 600);
    // Hidden: never shown. The first load starts the engine; it is not counted.
    QEventLoop loop;
    QObject::connect(view.page(), &QWebEnginePage::loadFinished, &loop, &QEventLoop::quit);
    view.load(QUrl::fromLocalFile(files.first()));
    loop.exec();

    QElapsedTimer timer;
    timer.start();
    int found = 0;
    for (const QString& file : std::as_const(files)) {
        view.load(QUrl::fromLocalFile(file));
        loop.exec();
        view.page()->findText(word, {}, [&](const QWebEngineFindTextResult& result) {
            found += result.numberOfMatches() > 0;
            loop.quit();
        });
        loop.exec();
    }
    const double perPage = double(timer.nsecsElapsed()) / 1e6 / files.size();
    std::printf("baseline: %d pages laid out and searched in %.1f ms (%d with the word)\n", int(files.size()),
                perPage * files.size(), found);
    return perPage;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    int rounds = 5;
    int baselinePages = 100;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--rounds"))
            rounds = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--baseline-pages"))
            baselinePages = args[i + 1].toInt();
    }

    QTemporaryDir dir;
    const SyntheticManual manual = makeSyntheticManual(dir.path() + QStringLiteral("/manual"));
    PathResolver disk;
    ContentPack pack(disk);
    pack.OpenPack(manual.packPath);
    const QString folder = manual.folder + QLatin1Char('/');
    pack.SetPackBase(folder);

    QElapsedTimer listing;
    listing.start();
    const QStringList pages = listScanPages(pack, folder);
    std::printf("pages: %d (listed in %.1f ms)\n", int(pages.size()), double(listing.nsecsElapsed()) / 1e6);
    const QString lastWord = wordOnlyOnLastPage(pack, folder, pages);
    std::printf("word only on the last page: %s; missing word: %s\n", qUtf8Printable(lastWord),
                qUtf8Printable(manual.missingWord));

    double scanLast = 0;
    double scanMissing = 0;
    for (const auto& [word, result, expected] : {std::tuple{lastWord, &scanLast, pages.size() - 1},
                                                 std::tuple{manual.missingWord, &scanMissing, qsizetype(-1)}}) {
        QList<double> times;
        for (int r = 0; r < rounds; ++r) {
            QElapsedTimer timer;
            timer.start();
            const QStringList list = listScanPages(pack, folder);
            const qsizetype hit = scanPages(pack, folder, list, 0, searchQuery(word), false);
            times.append(double(timer.nsecsElapsed()) / 1e6);
            if (hit != expected)
                std::printf("unexpected hit %d for %s\n", int(hit), qUtf8Printable(word));
        }
        *result = median(times);
    }
    std::printf("scan of all %d pages (list + read + match), median of %d: last-page word %.1f ms, missing word "
                "%.1f ms\n",
                int(pages.size()), rounds, scanLast, scanMissing);

    if (baselinePages <= 0)
        return 0;
    const double perPage = baselinePerPage(pack, folder, pages, baselinePages, manual.missingWord);
    const double baseline = perPage * pages.size();
    std::printf("baseline scaled to %d pages: %.0f ms (%.2f ms a page)\n", int(pages.size()), baseline, perPage);
    std::printf("ratio baseline / scan: last-page word %.0fx, missing word %.0fx\n", baseline / scanLast,
                baseline / scanMissing);
    return 0;
}
