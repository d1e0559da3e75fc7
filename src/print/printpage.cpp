#include "printpage.h"

#include "printlog.h"
#include "tpreviewform.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>
#include <QWebEnginePage>

#include <cstdio>

namespace {

constexpr int kLoadTimeoutMs = 30000;
bool g_printedToFile = false; // the one preview a --print-to run prints

} // namespace

bool isPrintPicture(const QString& file)
{
    const QString suffix = QFileInfo(file).suffix().toLower();
    return suffix == QLatin1String("bmp") || suffix == QLatin1String("gif") || suffix == QLatin1String("jpg") ||
           suffix == QLatin1String("jpeg");
}

void PrintPage(QWidget* parent, QWebEnginePage* page, const PrintOptions& options)
{
    if (!page) {
        qCDebug(lcPrint) << "a print request without a page dropped";
        return;
    }
    if (options.quitAfter) {
        if (g_printedToFile) {
            qCDebug(lcPrint) << "a print request after the --print-to file was written dropped";
            return;
        }
        g_printedToFile = true;
        TPreviewForm preview(parent, page, options.picture, options.pictureSize, options.printToFile, true);
        const bool ok = !preview.failed() && preview.printRange(1, preview.pageCount());
        if (!ok) {
            std::fprintf(stderr, "velbrook: cannot print to %s\n", qUtf8Printable(options.printToFile));
            QCoreApplication::exit(1);
            return;
        }
        std::fprintf(stderr, "velbrook: %d page(s) printed to %s\n", preview.pageCount(),
                     qUtf8Printable(options.printToFile));
        QCoreApplication::exit(0);
        return;
    }
    TPreviewForm preview(parent, page, options.picture, options.pictureSize, options.printToFile);
    if (preview.failed()) {
        if (!preview.failureText().isEmpty())
            QMessageBox::warning(parent, preview.windowTitle(), preview.failureText());
        return;
    }
    preview.setWindowState(preview.windowState() | Qt::WindowMaximized);
    preview.exec();
}

QWebEnginePage* loadForPrinting(QWebEngineProfile* profile, const QUrl& url)
{
    auto* page = new QWebEnginePage(profile);
    QEventLoop loop;
    bool ok = false;
    QObject::connect(page, &QWebEnginePage::loadFinished, &loop, [&](bool finished) {
        ok = finished;
        loop.quit();
    });
    QTimer::singleShot(kLoadTimeoutMs, &loop, &QEventLoop::quit);
    page->load(url);
    loop.exec();
    if (!ok) {
        qCDebug(lcPrint) << "a page to print did not load:" << url;
        delete page;
        return nullptr;
    }
    return page;
}
