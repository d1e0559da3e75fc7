// The plain window of a copy: where it opens and how large, the keys it takes, a file that is not
// there, and the program started as a copy for an enlarged picture drawing that picture.

#include "appcontext.h"
#include "contentscheme.h"
#include "packwriter.h"
#include "pagescript.h"
#include "plainwindow.h"
#include "programenv.h"
#include "testfiles.h"
#include "testpictures.h"

#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

const QColor kPictureColour(255, 0, 255);
const QSize kPictureSize(120, 80);

// A content folder without Kel.dhl: a copy needs only its pack and plain files. It lives in the
// temporary folder, so the copy's file is a path like "/tmp/...": the "/t" in it is a name, not
// the thesaurus marker.
struct CopyContent
{
    QTemporaryDir dir;
    QString root;

    CopyContent()
    {
        root = dir.path() + QLatin1Char('/');
        PackWriter writer;
        writer.addFile("pics/packed.bmp", testBitmap(kPictureSize, kPictureColour));
        writer.addFile("help.htm", "<html><body><p>help</p></body></html>");
        writer.write(root + "interface.dat");
        writeTestFile(root + "pics/disk.bmp", testBitmap({60, 40}, kPictureColour));
    }
};

int countPixels(const QImage& image, const QColor& colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == colour;
    }
    return count;
}

} // namespace

class TestPlainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_content.dir.isValid());
        m_context = std::make_unique<AppContext>(StartupValues::forContentFolder(m_content.root));
        QVERIFY(m_context->pack.OpenPack(m_content.root + "interface.dat"));
        m_context->pack.SetPackBase(m_context->values.contentDir);
    }

    void geometry_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QRect>("workArea");
        QTest::addColumn<QRect>("expected");
        const QRect wide(0, 0, 1920, 1080);
        QTest::newRow("scheme picture at its fixed size")
            << "/cd/pics/scheme.bmp" << QSize(300, 200) << wide << QRect(40, 30, 780, 550);
        QTest::newRow("other scheme, any case, '\\' path")
            << "d:\\pics\\Scheme_LUX.BMP" << QSize(300, 200) << wide << QRect(40, 30, 780, 550);
        QTest::newRow("name only ending in scheme.bmp")
            << "/cd/myscheme.bmp" << QSize(300, 200) << wide << QRect(40, 30, 345, 290);
        QTest::newRow("gif picture") << "/cd/pics/a.gif" << QSize(300, 200) << wide << QRect(40, 30, 345, 290);
        QTest::newRow("upper-case JPEG") << "/cd/A.JPEG" << QSize(100, 50) << wide << QRect(40, 30, 145, 140);
        QTest::newRow("jpg") << "/cd/a.jpg" << QSize(10, 10) << wide << QRect(40, 30, 55, 100);
        QTest::newRow("unreadable picture") << "/cd/gone.gif" << QSize() << wide << QRect(40, 30, 640, 480);
        QTest::newRow("page keeps the default") << "/cd/help.htm" << QSize() << wide << QRect(40, 30, 640, 480);
        QTest::newRow("png is not one of the pictures")
            << "/cd/a.png" << QSize(100, 50) << wide << QRect(40, 30, 640, 480);
        // A window larger than the work area is clamped to it, at the left or top edge.
        QTest::newRow("too wide: left 0, clamped")
            << "/cd/a.bmp" << QSize(1000, 100) << QRect(0, 0, 1024, 768) << QRect(0, 30, 1024, 190);
        QTest::newRow("too tall: top 0, clamped")
            << "/cd/a.bmp" << QSize(100, 700) << QRect(0, 0, 1024, 768) << QRect(40, 0, 145, 768);
        QTest::newRow("scheme on a small screen")
            << "/cd/scheme.bmp" << QSize() << QRect(0, 0, 800, 600) << QRect(0, 30, 780, 550);
        QTest::newRow("right edge on the border stays")
            << "/cd/a.bmp" << QSize(915, 100) << QRect(0, 0, 1000, 800) << QRect(40, 30, 960, 190);
        QTest::newRow("too large both ways, clamped")
            << "/cd/a.gif" << QSize(2000, 1500) << wide << QRect(QPoint(0, 0), wide.size());
    }

    void geometry()
    {
        QFETCH(QString, file);
        QFETCH(QSize, picture);
        QFETCH(QRect, workArea);
        QFETCH(QRect, expected);
        QCOMPARE(plainWindowGeometry(file, picture, workArea), expected);
    }

    void window_printButtonOverTheView_escapeCloses()
    {
        TPlainWindow window(*m_context, m_content.root + "help.htm");
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY_WITH_TIMEOUT(window.hasPainted(), 30000);

        const QList<QToolButton*> buttons = window.findChildren<QToolButton*>();
        const auto print = std::find_if(buttons.begin(), buttons.end(),
                                        [](QToolButton* b) { return b->text() == QStringLiteral(u"Печать"); });
        QVERIFY(print != buttons.end());
        QCOMPARE((*print)->toolTip(), QStringLiteral(u"Напечатать текущий файл"));
        QVERIFY((*print)->mapTo(&window, QPoint()).y() < window.view()->geometry().top());
        QCOMPARE(window.view()->width(), window.width());
        QCOMPARE(window.view()->geometry().bottom(), window.height() - 1);
        // The button opens the print preview, or says that there is no printer; either is closed
        // here, and the copy goes on.
        QStringList shown;
        QTimer closer;
        connect(&closer, &QTimer::timeout, &window, [&shown] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                shown.append(box->text());
                box->close();
            } else if (modal && modal->windowTitle() == QStringLiteral(u"Предварительный просмотр")) {
                shown.append(modal->windowTitle());
                modal->close();
            }
        });
        closer.start(50);
        (*print)->click();
        closer.stop();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0] == QStringLiteral(u"Предварительный просмотр") ||
                     shown[0] == QStringLiteral(u"Не найдено установленных принтеров!") ||
                     shown[0] == QStringLiteral(u"Принтер, установленный по умолчанию, сейчас не доступен!"),
                 qPrintable(shown[0]));
        QVERIFY(window.isVisible());

        // The keys go to the page once it has the focus: Esc must still end the copy.
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.view()->setFocus();
        QWidget* target = window.view()->focusProxy() ? window.view()->focusProxy() : window.view();
        QTRY_VERIFY(target->hasFocus());
        QTest::keyClick(target, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
    }

    void missingFile_opensEmpty()
    {
        TPlainWindow window(*m_context, m_content.root + "pics/gone.gif");
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(window.hasPainted(), 30000);
        QCOMPARE(window.size(), QSize(640, 480));
        // No error page of the engine's in its place.
        QCOMPARE(runPageScript(*window.view()->page(), "document.body ? document.body.innerText : ''"), QVariant(""));
    }

    // The program as a page link starts it: the picture's full path, and a screenshot to look at.
    void program_copyDrawsThePicture_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("windowSize");
        QTest::addColumn<int>("pictureArea");
        QTest::newRow("packed picture") << "pics/packed.bmp" << kPictureSize + QSize(45, 90)
                                        << kPictureSize.width() * kPictureSize.height();
        QTest::newRow("picture on disk") << "pics/disk.bmp" << QSize(105, 130) << 60 * 40;
        QTest::newRow("missing picture") << "pics/gone.bmp" << QSize(640, 480) << 0;
    }

    void program_copyDrawsThePicture()
    {
        QFETCH(QString, file);
        QFETCH(QSize, windowSize);
        QFETCH(int, pictureArea);
        const QString shot = m_content.root + "shot.png";
        QFile::remove(shot);

        QProcess copy;
        copy.setProcessEnvironment(programEnvironment(m_content.root + "runtime"));
        copy.start(QStringLiteral(VELBROOK_APP),
                   {"--content", m_content.root, m_content.root + file, "--screenshot", shot});
        QVERIFY(copy.waitForFinished(60000));
        const QByteArray errors = copy.readAllStandardError();
        QCOMPARE(copy.exitCode(), 0);
        QVERIFY2(!errors.contains("velbrook:"), errors.constData());

        const QImage image(shot);
        QCOMPARE(image.size(), windowSize);
        // The whole picture, unscaled: every one of its pixels and no more in its colour.
        QCOMPARE(countPixels(image, kPictureColour), pictureArea);
    }

private:
    CopyContent m_content;
    std::unique_ptr<AppContext> m_context;
};

int main(int argc, char* argv[])
{
    registerContentScheme();
    QApplication app(argc, argv);
    TestPlainWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_plainwindow.moc"
