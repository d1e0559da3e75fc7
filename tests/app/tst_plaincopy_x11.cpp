// The plain window of a copy opened and closed many times on a real X server, as a reader opens
// and closes an enlarged picture or a help page: closed before its first frame, while it loads,
// as soon as it has drawn, and a while after. None of it may crash, in this process or in the
// program started as a copy.
//
// Needs a real X server: with DISPLAY set the test runs on the "xcb" platform; without one it is
// skipped (the offscreen platform hides the timing that made the copy crash).

#include "appcontext.h"
#include "contentscheme.h"
#include "packwriter.h"
#include "plainwindow.h"
#include "programenv.h"
#include "testfiles.h"
#include "testpictures.h"
#include "windowdirectory.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

namespace {

constexpr int kRounds = 20;

// A large JPEG of many colours, like the demo's enlarged pictures: it takes the engine a while to
// decode and draw.
QByteArray bigJpeg()
{
    QImage image(1100, 800, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int y = 0; y < image.height(); y += 20) {
        for (int x = 0; x < image.width(); x += 20)
            painter.fillRect(x, y, 20, 20, QColor::fromHsv((x + y) % 360, 200, 100 + (x * y) % 155));
    }
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 95);
    return bytes;
}

// When a round closes its window.
enum class CloseAt
{
    AtOnce,
    LoadStarted,
    LoadFinished,
    Painted,
    LongAfterPainted
};

CloseAt closeAt(int round)
{
    return static_cast<CloseAt>(round % 5);
}

} // namespace

class TestPlainCopyX11 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs a real X server: DISPLAY is not set");
        QVERIFY(m_dir.isValid() && m_runtime.isValid());
        // The copies publish their windows here, where this process looks for them.
        qputenv("VELBROOK_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        m_root = m_dir.path() + QLatin1Char('/');
        PackWriter writer;
        writer.addFile("images/big.jpg", bigJpeg());
        writer.addFile("help.htm", "<html><head><title>help</title></head><body><h1>help</h1>"
                                   "<p><a href='help2.htm'>more</a></p><img src='images/big.jpg'></body></html>");
        writer.addFile("help2.htm", "<html><body><p>more help</p></body></html>");
        writer.write(m_root + "interface.dat");
        writeTestFile(m_root + "images/disk.jpg", bigJpeg());
        m_context = std::make_unique<AppContext>(StartupValues::forContentFolder(m_root));
        QVERIFY(m_context->pack.OpenPack(m_root + "interface.dat"));
        m_context->pack.SetPackBase(m_context->values.contentDir);
    }

    // In this process: the window made, shown and destroyed twenty times, at every stage of its
    // load, the help page and the pictures in turn.
    void window_opensAndClosesAtEveryStage()
    {
        const QStringList files{m_root + "help.htm", m_root + "images/big.jpg", m_root + "images/disk.jpg"};
        for (int round = 0; round < kRounds; ++round) {
            const CloseAt at = closeAt(round);
            auto window = std::make_unique<TPlainWindow>(*m_context, files[round % files.size()]);
            bool started = false;
            bool finished = false;
            connect(window->view(), &QWebEngineView::loadStarted, window.get(), [&started] { started = true; });
            connect(window->view(), &QWebEngineView::loadFinished, window.get(), [&finished] { finished = true; });
            window->show();
            switch (at) {
            case CloseAt::AtOnce:
                break;
            case CloseAt::LoadStarted:
                QTRY_VERIFY_WITH_TIMEOUT(started, 30000);
                break;
            case CloseAt::LoadFinished:
                QTRY_VERIFY_WITH_TIMEOUT(finished, 30000);
                break;
            case CloseAt::Painted:
                QTRY_VERIFY_WITH_TIMEOUT(window->hasPainted(), 30000);
                break;
            case CloseAt::LongAfterPainted:
                QTRY_VERIFY_WITH_TIMEOUT(window->hasPainted(), 30000);
                QTest::qWait(300); // the answers still out arrive while it is open
                break;
            }
            window->close();
            window.reset();
            QTest::qWait(50); // whatever the engine still sends finds no window
        }
    }

    // The program as a link starts it, for a picture and for a help page (" /h"): it draws and
    // quits (a screenshot), or another copy closes it at some stage of its load; each time it
    // ends normally.
    void program_copyOpensAndClosesTwentyTimes()
    {
        for (int round = 0; round < kRounds; ++round) {
            const bool help = round % 2 == 1;
            QStringList arguments{"--content", m_root};
            if (help)
                arguments << m_root + "help.htm"
                          << "/h";
            else
                arguments << m_root + (round % 4 == 0 ? "images/big.jpg" : "images/disk.jpg");
            const QString caption = help ? QStringLiteral(u"Помощь") : QStringLiteral(u"Увеличенная картинка");
            const int way = (round / 2) % 3; // screenshot, closed at once, closed a while after it shows
            const QString shot = m_runtime.filePath(QStringLiteral("shot%1.png").arg(round));
            if (way == 0)
                arguments << "--screenshot" << shot;

            QProcess copy;
            copy.setProcessEnvironment(environment());
            copy.start(QStringLiteral(VELBROOK_APP), arguments);
            QVERIFY(copy.waitForStarted());
            if (way != 0) {
                QTRY_VERIFY_WITH_TIMEOUT(WindowDirectory::exists(caption), 30000);
                if (way == 2)
                    QTest::qWait(700 + 150 * (round % 5));
                // A copy still starting up on a busy machine may not answer within the request's
                // bounded wait: it is asked again until it answers or is gone.
                QTRY_VERIFY_WITH_TIMEOUT(WindowDirectory::requestClose(caption) || !WindowDirectory::exists(caption),
                                         30000);
            }
            QVERIFY2(copy.waitForFinished(60000), qPrintable(QStringLiteral("round %1 did not end").arg(round)));
            const QByteArray errors = copy.readAllStandardError();
            QVERIFY2(copy.exitStatus() == QProcess::NormalExit,
                     qPrintable(QStringLiteral("round %1 crashed: %2").arg(round).arg(QString::fromLocal8Bit(errors))));
            QCOMPARE(copy.exitCode(), 0);
            QVERIFY2(!errors.contains("velbrook:"), errors.constData());
            if (way == 0)
                QVERIFY(QFile::exists(shot));
        }
    }

private:
    QProcessEnvironment environment() const { return programEnvironment(m_runtime.path(), QStringLiteral("xcb")); }

    QTemporaryDir m_dir;
    QTemporaryDir m_runtime;
    QString m_root;
    std::unique_ptr<AppContext> m_context;
};

int main(int argc, char* argv[])
{
    // CTest runs every test offscreen; this one wants the X server when there is one.
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    registerContentScheme();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestPlainCopyX11 test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_plaincopy_x11.moc"
