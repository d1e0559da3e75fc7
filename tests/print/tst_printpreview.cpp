#include "modalwatch.h"
#include "pagestore.h"
#include "pdfpages.h"
#include "printpage.h"
#include "tgopageform.h"
#include "tpreviewform.h"
#include "tprnstatusform.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfSelection>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <memory>

namespace {

// A page of the given height in CSS pixels, with a word at its top.
QString tallPage(int height)
{
    return QStringLiteral("<html><body style='margin:0'><p>Начало</p><div style='height:%1px'></div>"
                          "<p>Конец</p></body></html>")
        .arg(height);
}

// A page that is one picture of width x height, drawn by the page itself.
QString picturePage(int width, int height)
{
    return QStringLiteral("<html><body style='margin:0'><canvas width=%1 height=%2 style='display:block'></canvas>"
                          "</body></html>")
        .arg(width)
        .arg(height);
}

// A page of numbered paragraphs, each "Абзац N." with words after it.
QString paragraphsPage(int count)
{
    QString html = QStringLiteral("<html><body>");
    for (int i = 1; i <= count; ++i)
        html += QStringLiteral(u"<p>Абзац %1. Проверьте уровень масла и затяжку болтов крепления.</p>").arg(i);
    return html + QStringLiteral("</body></html>");
}

// A page whose only colour is a table cell's background.
QString backgroundPage()
{
    return QStringLiteral("<html><body><table><tr><td style='background:#00ff00;width:300px;height:200px'>"
                          "Ячейка</td></tr></table></body></html>");
}

bool hasGreen(const QImage& image)
{
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            const QColor c = image.pixelColor(x, y);
            if (c.green() > 200 && c.red() < 60 && c.blue() < 60)
                return true;
        }
    }
    return false;
}

QString pdfText(const QString& file, int page)
{
    QPdfDocument document;
    if (document.load(file) != QPdfDocument::Error::None)
        return QStringLiteral("<cannot load>");
    return document.getAllText(page).text();
}

} // namespace

class TestPrintPreview : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_page = std::make_unique<QWebEnginePage>();
        QVERIFY(m_dir.isValid());
    }
    void cleanup() { m_page.reset(); }

    void onePage_disablesPagingAndTwoSheets()
    {
        load(tallPage(100));
        TPreviewForm preview(nullptr, m_page.get(), false, QSize(), file(QStringLiteral("one.pdf")));
        QVERIFY(!preview.failed());
        QCOMPARE(preview.pageCount(), 1);
        preview.show();
        QCOMPARE(preview.statusText(0), QStringLiteral(u"Страница 1 из 1"));
        for (const char* name : {"TwoPageBut", "GoToPageBut", "NextPageBut", "LastPageBut", "PrevPageBut"})
            QVERIFY2(!preview.button(QLatin1String(name))->isEnabled(), name);
        QVERIFY(preview.button(QStringLiteral("OnePageBut"))->isChecked());
        QVERIFY(!preview.button(QStringLiteral("TwoPageBut"))->isChecked());
    }

    // A long page is cut into sheets; the keys and buttons move between them, and raising the
    // print scale with the last page shown shows the new last page.
    void manyPages_stepAndKeepTheLastPage()
    {
        load(tallPage(4000));
        TPreviewForm preview(nullptr, m_page.get(), false, QSize(), file(QStringLiteral("many.pdf")));
        QVERIFY(!preview.failed());
        const int count = preview.pageCount();
        QVERIFY2(count >= 3, qPrintable(QString::number(count)));
        preview.show();
        QTest::keyClick(&preview, Qt::Key_PageDown);
        QCOMPARE(preview.PageIndex(), 1);
        QTest::keyClick(&preview, Qt::Key_End);
        QCOMPARE(preview.PageIndex(), count - 1);
        QVERIFY(!preview.button(QStringLiteral("NextPageBut"))->isEnabled());
        QVERIFY(preview.button(QStringLiteral("TwoPageBut"))->isEnabled());
        QCOMPARE(preview.statusText(0), QStringLiteral(u"Страница %1 из %1").arg(count));
        QTest::keyClick(&preview, Qt::Key_PageDown); // nothing beyond the last page
        QCOMPARE(preview.PageIndex(), count - 1);
        QTest::keyClick(&preview, Qt::Key_Home);
        QCOMPARE(preview.PageIndex(), 0);

        preview.LastPageButClick();
        preview.ZoomCursorPrintButClick();
        for (int i = 0; i < 4; ++i) // 1 / 1.1^4: fewer, smaller pages
            preview.sheetPressed(0, QPoint(5, 5), Qt::RightButton);
        QVERIFY(preview.pageCount() < count);
        QCOMPARE(preview.PageIndex(), preview.pageCount() - 1);
    }

    void printScaleBounds()
    {
        load(tallPage(50));
        TPreviewForm preview(nullptr, m_page.get(), false, QSize(), file(QStringLiteral("bounds.pdf")), true);
        QVERIFY(!preview.failed());
        preview.ZoomCursorPrintButClick();
        while (preview.PrintScale() < TPreviewForm::kMaxPrintScale)
            preview.sheetPressed(0, QPoint(5, 5), Qt::LeftButton);
        const double top = preview.PrintScale();
        QVERIFY(top < TPreviewForm::kMaxPrintScale * 1.1);
        preview.sheetPressed(0, QPoint(5, 5), Qt::LeftButton);
        QCOMPARE(preview.PrintScale(), top);
        QCOMPARE(preview.statusText(2), QStringLiteral(u" Масштаб печати: %1%").arg(qRound(top * 100)));
        preview.RestoreStartPrintZoomButClick();
        QCOMPARE(preview.PrintScale(), 1.0);
        for (int i = 0; i < 40; ++i)
            preview.sheetPressed(0, QPoint(5, 5), Qt::RightButton);
        QVERIFY(preview.PrintScale() > TPreviewForm::kMinPrintScale / 1.1);
        QVERIFY(preview.PrintScale() <= TPreviewForm::kMinPrintScale);
    }

    // The view zoom is bounded only by the tool's tests: just below 20 it grows once more.
    void viewZoomBounds()
    {
        load(tallPage(50));
        TPreviewForm preview(nullptr, m_page.get(), false, QSize(), file(QStringLiteral("zoom.pdf")), true);
        preview.resize(800, 600);
        preview.show();
        for (int i = 0; i < 40; ++i)
            preview.sheetPressed(0, QPoint(5, 5), Qt::LeftButton);
        QVERIFY(preview.ViewZoom() >= TPreviewForm::kMaxViewZoom);
        QVERIFY(preview.ViewZoom() < TPreviewForm::kMaxViewZoom * 1.25);
        QCOMPARE(preview.ZoomBox()->currentIndex(), 2);
        for (int i = 0; i < 80; ++i)
            preview.sheetPressed(0, QPoint(5, 5), Qt::RightButton);
        QVERIFY(preview.ViewZoom() <= TPreviewForm::kMinViewZoom);
        QVERIFY(preview.ViewZoom() > TPreviewForm::kMinViewZoom / 1.25);
        // "Вручную" keeps the zoom last computed.
        preview.FitPageButClick();
        const double fitted = preview.ViewZoom();
        preview.ZoomBox()->setCurrentIndex(2);
        preview.ZoomBoxChange();
        QCOMPARE(preview.ViewZoom(), fitted);
    }

    // A picture wider than the portrait sheet turns the sheet and shrinks onto one page.
    void widePicture_fitsOneLandscapeSheet()
    {
        load(picturePage(2400, 500));
        TPreviewForm preview(nullptr, m_page.get(), true, QSize(2400, 500), file(QStringLiteral("wide.pdf")), true);
        QVERIFY(!preview.failed());
        QCOMPARE(preview.pageCount(), 1);
        QCOMPARE(preview.Pages().orientation(), QPageLayout::Landscape);
        QVERIFY(preview.button(QStringLiteral("PageOrientationBut"))->isChecked());
        QVERIFY(preview.StartPrintScale() < 1.0);
    }

    void numbering_inThePrintedText_data()
    {
        QTest::addColumn<bool>("numbering");
        QTest::newRow("on") << true;
        QTest::newRow("off") << false;
    }
    void numbering_inThePrintedText()
    {
        QFETCH(bool, numbering);
        load(tallPage(2500));
        const QString out = file(QStringLiteral("numbers.pdf"));
        TPreviewForm preview(nullptr, m_page.get(), false, QSize(), out, true);
        QVERIFY(!preview.failed());
        if (!numbering)
            preview.setNumbering(false);
        QVERIFY(preview.pageCount() >= 2);
        QVERIFY(preview.printRange(1, preview.pageCount()));
        QPdfDocument printed;
        QCOMPARE(printed.load(out), QPdfDocument::Error::None);
        QCOMPARE(printed.pageCount(), preview.pageCount());
        for (int page = 0; page < printed.pageCount(); ++page) {
            const QString text = printed.getAllText(page).text();
            QCOMPARE(text.contains(QStringLiteral(u"Страница %1").arg(page + 1)), numbering);
        }
    }

    void progressWindow_anyKeyCancels()
    {
        TPrnStatusForm progress;
        QVERIFY(progress.progress(0));
        QCOMPARE(progress.statusText(), QStringLiteral(u"Форматирование ..."));
        QVERIFY(progress.progress(3));
        QCOMPARE(progress.statusText(), QStringLiteral(u"Номер страницы 3"));
        QTest::keyClick(&progress, Qt::Key_A);
        QVERIFY(!progress.progress(4));
    }

    // The number box is labelled, and the window is wide enough for its whole caption.
    void goToPage_keepsTheValueInRange_andShowsItsCaptionAndLabel()
    {
        TGoPageForm dialog;
        dialog.setHighest(5);
        dialog.setValue(9);
        QCOMPARE(dialog.value(), 5);
        dialog.setValue(0);
        QCOMPARE(dialog.value(), 1);
        const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
        const auto label =
            std::find_if(labels.begin(), labels.end(), [&](QLabel* l) { return l->buddy() == dialog.PageNum(); });
        QVERIFY(label != labels.end());
        QCOMPARE((*label)->text(), QStringLiteral(u"&Номер страницы:"));
        QVERIFY(dialog.width() > dialog.fontMetrics().horizontalAdvance(dialog.windowTitle()) + 60);
    }

    // The engine's own pages: every paragraph of a long page is text in the PDF, spread over several
    // sheets, each with its number; the file is the store's PDF as it is, and pdftotext reads it.
    void longPage_everyParagraphAsText_andEverySheetNumbered()
    {
        load(paragraphsPage(160));
        const QString out = file(QStringLiteral("long.pdf"));
        TPreviewForm preview(nullptr, m_page.get(), false, QSize(), out, true);
        QVERIFY(!preview.failed());
        QVERIFY2(preview.pageCount() >= 3, qPrintable(QString::number(preview.pageCount())));
        QVERIFY(preview.printRange(1, preview.pageCount()));
        QFile written(out);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), preview.Pages().pdf());

        QPdfDocument printed;
        QCOMPARE(printed.load(out), QPdfDocument::Error::None);
        QCOMPARE(printed.pageCount(), preview.pageCount());
        QString all;
        for (int page = 0; page < printed.pageCount(); ++page) {
            const QString text = printed.getAllText(page).text();
            QVERIFY2(text.contains(QStringLiteral(u"Страница %1").arg(page + 1)), qPrintable(text.left(200)));
            all += text;
        }
        for (int i = 1; i <= 160; ++i)
            QVERIFY2(all.contains(QStringLiteral(u"Абзац %1.").arg(i)), qPrintable(QString::number(i)));

        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        QVERIFY2(!pdftotext.isEmpty(), "pdftotext (poppler-utils, scripts/setup-deps) is needed");
        QProcess extract;
        extract.start(pdftotext, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), out, QStringLiteral("-")});
        QVERIFY(extract.waitForFinished(30000));
        const QString text = QString::fromUtf8(extract.readAllStandardOutput());
        QVERIFY(text.contains(QStringLiteral(u"Страница 1")));
        QVERIFY(text.contains(QStringLiteral(u"Абзац 160.")));
    }

    // A range of the pages keeps their numbers; the pages outside it are left out.
    void printRange_keepsOnlyThosePages()
    {
        load(paragraphsPage(160));
        const QString out = file(QStringLiteral("range.pdf"));
        TPreviewForm preview(nullptr, m_page.get(), false, QSize(), out, true);
        QVERIFY(preview.pageCount() >= 3);
        QVERIFY(preview.printRange(2, 3));
        QPdfDocument printed;
        QCOMPARE(printed.load(out), QPdfDocument::Error::None);
        QCOMPARE(printed.pageCount(), 2);
        QVERIFY(printed.getAllText(0).text().contains(QStringLiteral(u"Страница 2")));
        QVERIFY(printed.getAllText(1).text().contains(QStringLiteral(u"Страница 3")));
    }

    void backgroundChoice_reachesThePages()
    {
        load(backgroundPage());
        TPreviewForm preview(nullptr, m_page.get(), false, QSize(), file(QStringLiteral("bg.pdf")), true);
        QVERIFY(!preview.failed());
        const auto sheet = [&] {
            QImage image(400, 566, QImage::Format_RGB32);
            QPainter painter(&image);
            preview.Pages().drawPage(painter, 0, image.rect());
            return image;
        };
        QVERIFY(hasGreen(sheet()));
        preview.setBackgrounds(false);
        QVERIFY(!hasGreen(sheet()));
        preview.setBackgrounds(true);
        QVERIFY(hasGreen(sheet()));
    }

    // Printing at another scale and without backgrounds leaves the page on the screen as it was:
    // its zoom, where it was scrolled to, and its own background setting.
    void livePage_isLeftAsItWas()
    {
        QWebEngineView view;
        view.setPage(m_page.get());
        view.resize(800, 600);
        view.show();
        load(tallPage(6000));
        m_page->settings()->setAttribute(QWebEngineSettings::PrintElementBackgrounds, true);
        evaluate(QStringLiteral("window.scrollTo(0, 700)"));
        QTRY_COMPARE(evaluate(QStringLiteral("window.scrollY")).toInt(), 700);
        {
            TPreviewForm preview(nullptr, m_page.get(), false, QSize(), file(QStringLiteral("live.pdf")), true);
            const int before = preview.pageCount();
            preview.setBackgrounds(false);
            preview.ZoomCursorPrintButClick();
            preview.sheetPressed(0, QPoint(5, 5), Qt::RightButton);
            preview.sheetPressed(0, QPoint(5, 5), Qt::RightButton);
            QVERIFY(preview.pageCount() < before); // the scale reached the pages
        }
        QTRY_COMPARE(PageStore::enginePrintsPending(), 0);
        QCOMPARE(evaluate(QStringLiteral("document.documentElement.style.zoom")).toString(), QString());
        QCOMPARE(evaluate(QStringLiteral("window.scrollY")).toInt(), 700);
        QVERIFY(m_page->settings()->testAttribute(QWebEngineSettings::PrintElementBackgrounds));
        view.setPage(nullptr);
    }

    // "Отмена", any key and the window's close button end the progress window at once, before the
    // engine has answered; its late answer is dropped.
    void cancelDuringLayout_closesAtOnce_andDropsTheLateAnswer_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("Отмена") << 0;
        QTest::newRow("a key") << 1;
        QTest::newRow("close button") << 2;
    }
    void cancelDuringLayout_closesAtOnce_andDropsTheLateAnswer()
    {
        QFETCH(int, way);
        load(paragraphsPage(3000));
        QTRY_COMPARE(PageStore::enginePrintsPending(), 0);
        PageStore store(file(QStringLiteral("cancel.pdf")));
        TPrnStatusForm progress;
        // Cancelled once the engine is at work on the pages.
        QTimer poll;
        int pendingAtCancel = -1;
        QObject::connect(&poll, &QTimer::timeout, &progress, [&] {
            if (PageStore::enginePrintsPending() == 0)
                return;
            poll.stop();
            pendingAtCancel = PageStore::enginePrintsPending();
            if (way == 0)
                progress.findChild<QPushButton*>(QStringLiteral("SpeedButton1"))->click();
            else if (way == 1)
                QTest::keyClick(&progress, Qt::Key_Space);
            else
                progress.close();
        });
        poll.start(1);
        QVERIFY(progress.FormatPages(m_page.get(), store, 1.0));
        QVERIFY(!progress.isVisible());
        QCOMPARE(pendingAtCancel, 1);
        QCOMPARE(PageStore::enginePrintsPending(), 1); // closed while the engine was still at work
        QTRY_COMPARE_WITH_TIMEOUT(PageStore::enginePrintsPending(), 0, 60000);
        QCOMPARE(store.pageCount(), 0);
        QVERIFY(store.pdf().isEmpty());
    }

    // Without a printer the preview opens; its print button saves a PDF through a Russian file
    // dialog, and only a paper copy asked for tells that the printer is missing.
    void noPrinter_previewOpens_andSavesAPdf()
    {
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("a printer is set up on this machine");
        load(tallPage(2500));
        TPreviewForm preview(nullptr, m_page.get(), false, QSize(), QString());
        QVERIFY(!preview.failed());
        QVERIFY(preview.pageCount() >= 2);
        preview.show();

        const QString out = file(QStringLiteral("saved.pdf"));
        QStringList texts;
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            texts = {dialog->windowTitle(), dialog->labelText(QFileDialog::Accept),
                     dialog->labelText(QFileDialog::Reject), dialog->labelText(QFileDialog::FileName)};
            // Typed into the name field, which has the focus (selectFile leaves a focused field alone).
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(out);
            static_cast<QDialog*>(dialog)->accept();
        });
        preview.button(QStringLiteral("PrintBut"))->click();
        QCOMPARE(texts, (QStringList{QStringLiteral(u"Сохранить в PDF"), QStringLiteral(u"Сохранить"),
                                     QStringLiteral(u"Отмена"), QStringLiteral(u"Имя файла:")}));
        QFile saved(out);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), preview.Pages().pdf());
        QVERIFY(preview.statusText(3).contains(QStringLiteral("saved.pdf")));

        QString notice;
        whenModal<QMessageBox>([&](QMessageBox* box) {
            notice = box->text();
            box->accept();
        });
        const QList<QAction*> actions = preview.findChild<QMenu*>(QStringLiteral("PrintMenu"))->actions();
        QCOMPARE(actions.size(), 2);
        QCOMPARE(actions[0]->text(), QStringLiteral(u"Печать…"));
        QCOMPARE(actions[1]->text(), QStringLiteral(u"Сохранить в PDF…"));
        actions[0]->trigger();
        QCOMPARE(notice, TPreviewForm::kPrinterUnavailable.toString());
    }

    // The window sees its keys before its controls: Page Down in a freshly opened preview shows the
    // next sheet; the zoom list, once clicked, still takes typing.
    void keys_reachTheWindowFirst_andTheClickedZoomListTakesTyping()
    {
        load(tallPage(4000));
        TPreviewForm preview(nullptr, m_page.get(), false, QSize(), file(QStringLiteral("keys.pdf")), true);
        preview.resize(900, 700);
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus != preview.ZoomBox());
        QTest::keyClick(focus ? focus : &preview, Qt::Key_PageDown);
        QCOMPARE(preview.PageIndex(), 1);

        preview.ZoomBox()->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(preview.ZoomBox(), Qt::Key_4);
        QCOMPARE(preview.ZoomBox()->currentText(), QStringLiteral("400%"));
        QCOMPARE(preview.ViewZoom(), 4.0);
        QTest::keyClick(preview.ZoomBox(), Qt::Key_PageDown);
        QCOMPARE(preview.PageIndex(), 2);
        QCOMPARE(preview.ZoomBox()->currentText(), QStringLiteral("400%"));
        auto* scroll = preview.findChild<QScrollArea*>(QStringLiteral("ScrollBox"));
        const int top = scroll->verticalScrollBar()->value();
        QTest::keyClick(preview.ZoomBox(), Qt::Key_Down);
        QCOMPARE(scroll->verticalScrollBar()->value(), top + 10);
        QCOMPARE(preview.ZoomBox()->currentText(), QStringLiteral("400%"));
    }

    // F1 and "Помощь" reach the main window as its own F1.
    void helpKeyAndButton_askTheMainWindow()
    {
        load(tallPage(100));
        QWidget main;
        int helpKeys = 0;
        KeySpy spy(Qt::Key_F1, &helpKeys);
        main.installEventFilter(&spy);
        main.show();
        TPreviewForm preview(&main, m_page.get(), false, QSize(), file(QStringLiteral("help.pdf")), true);
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : &preview, Qt::Key_F1);
        QCOMPARE(helpKeys, 1);
        preview.button(QStringLiteral("HelpBut"))->click();
        QCOMPARE(helpKeys, 2);
    }

    // Each toolbar button shows a picture of its own, not an empty box.
    void toolbarButtons_haveDrawnDistinctIcons()
    {
        load(tallPage(100));
        TPreviewForm preview(nullptr, m_page.get(), false, QSize(), file(QStringLiteral("icons.pdf")), true);
        QList<QImage> seen;
        for (QToolButton* b : preview.findChildren<QToolButton*>()) {
            if (b->objectName().isEmpty() || !b->objectName().endsWith(QLatin1String("But")))
                continue;
            const QImage image = b->icon().pixmap(22, 22).toImage().convertToFormat(QImage::Format_ARGB32);
            int drawn = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x)
                    drawn += qAlpha(image.pixel(x, y)) > 0;
            }
            QVERIFY2(drawn > 20, qPrintable(b->objectName()));
            QVERIFY2(!seen.contains(image), qPrintable(b->objectName()));
            seen.append(image);
        }
        QCOMPARE(seen.size(), 17);
    }

    // "Лист целиком" with two sheets shown keeps both, and both fit the view.
    void fitPage_inTwoSheetMode_fitsBothSheets()
    {
        load(tallPage(4000));
        TPreviewForm preview(nullptr, m_page.get(), false, QSize(), file(QStringLiteral("two.pdf")), true);
        preview.resize(1000, 700);
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        preview.TwoPageButClick();
        preview.button(QStringLiteral("FitPageBut"))->click();
        QVERIFY(preview.button(QStringLiteral("TwoPageBut"))->isChecked());
        QVERIFY(!preview.button(QStringLiteral("OnePageBut"))->isChecked());
        QCOMPARE(preview.ZoomBox()->currentIndex(), 0);
        auto* scroll = preview.findChild<QScrollArea*>(QStringLiteral("ScrollBox"));
        auto* second = preview.findChild<QWidget*>(QStringLiteral("PB2"));
        QVERIFY(second->isVisible());
        const QRect inView(second->mapTo(scroll->viewport(), QPoint()), second->size());
        QVERIFY2(scroll->viewport()->rect().contains(inView), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                             .arg(inView.x())
                                                                             .arg(inView.y())
                                                                             .arg(inView.width())
                                                                             .arg(inView.height())));
    }

    // The command line's contract: every page of the first preview, then the program quits;
    // a second request in the same run prints nothing. Last of all: once the program was asked to
    // quit, no event loop of a later test would run.
    void printToFile_printsAllPagesOnce()
    {
        load(tallPage(2500));
        const QString out = file(QStringLiteral("cli.pdf"));
        PrintOptions options;
        options.printToFile = out;
        options.quitAfter = true;
        PrintPage(nullptr, m_page.get(), options);
        QPdfDocument printed;
        QCOMPARE(printed.load(out), QPdfDocument::Error::None);
        QVERIFY(printed.pageCount() >= 2);
        QVERIFY(pdfText(out, 0).contains(QStringLiteral(u"Страница 1")));
        QVERIFY(pdfText(out, 0).contains(QStringLiteral(u"Начало"))); // the page's own text, as text
        QFile::remove(out);
        PrintPage(nullptr, m_page.get(), options);
        QVERIFY(!QFile::exists(out));
    }

private:
    struct KeySpy : QObject
    {
        KeySpy(int key, int* count) : m_key(key), m_count(count) {}
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == m_key)
                ++*m_count;
            return false;
        }
        int m_key;
        int* m_count;
    };

    QVariant evaluate(const QString& script)
    {
        QVariant result;
        bool done = false;
        m_page->runJavaScript(script, [&](const QVariant& value) {
            result = value;
            done = true;
        });
        QElapsedTimer waited;
        waited.start();
        while (!done && waited.elapsed() < 10000)
            QTest::qWait(10);
        return result;
    }

    void load(const QString& html)
    {
        QSignalSpy loaded(m_page.get(), &QWebEnginePage::loadFinished);
        m_page->setHtml(html);
        QVERIFY(loaded.wait(30000));
    }
    QString file(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    std::unique_ptr<QWebEnginePage> m_page;
};

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestPrintPreview test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_printpreview.moc"
