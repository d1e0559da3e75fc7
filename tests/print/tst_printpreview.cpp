#include "pagestore.h"
#include "printpage.h"
#include "tgopageform.h"
#include "tpreviewform.h"
#include "tprnstatusform.h"

#include <QApplication>
#include <QComboBox>
#include <QPdfDocument>
#include <QPdfSelection>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineProfile>

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

    // The command line's contract: every page of the first preview, then the program quits;
    // a second request in the same run prints nothing.
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
        QFile::remove(out);
        PrintPage(nullptr, m_page.get(), options);
        QVERIFY(!QFile::exists(out));
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

    void goToPage_keepsTheValueInRange()
    {
        TGoPageForm dialog;
        dialog.setHighest(5);
        dialog.setValue(9);
        QCOMPARE(dialog.value(), 5);
        dialog.setValue(0);
        QCOMPARE(dialog.value(), 1);
    }

private:
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
