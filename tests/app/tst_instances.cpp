// One skinned copy per title: a second start of the same title leaves at once and brings the first
// window forward, while another title runs beside it. Copies answer each other's questions. The
// program is run as the user runs it.

#include "copydata.h"
#include "programenv.h"
#include "readbin.h"
#include "scriptcodec.h"
#include "testpictures.h"
#include "windowcaptions.h"
#include "windowdirectory.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <tuple>

namespace {

void makeTitle(const QString& folder, const QString& title)
{
    const QByteArray bmp = testBitmap({200, 120}, Qt::darkCyan);
    ContainerWriter kel;
    kel.add("Struct.cfs", encodeScript({"title=" + title, "_screen=fon1.bmp"}));
    kel.add("fon1.bmp", bmp);
    kel.write(folder + "/Kel.dhl");
}

} // namespace

class TestInstances : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_first.isValid() && m_second.isValid() && m_runtime.isValid());
        // This process looks up the program's windows where the program publishes them.
        qputenv("VELBROOK_RUNTIME_DIR", m_runtime.path().toUtf8());
        makeTitle(m_first.path(), QStringLiteral(u"первое руководство"));
        makeTitle(m_second.path(), QStringLiteral(u"второе руководство"));
    }

    void secondCopyOfATitleLeaves_otherTitleRuns()
    {
        QProcess running;
        running.setProcessEnvironment(environment());
        running.start(QStringLiteral(VELBROOK_APP), {"--content", m_first.path()});
        QVERIFY(running.waitForStarted());
        // The first copy holds its title once it has read the script.
        const QDir runtime(m_runtime.path());
        QTRY_VERIFY_WITH_TIMEOUT(!runtime.entryList({"velbrook-*.lock"}, QDir::Files).isEmpty(), 20000);
        QProcess again;
        again.setProcessEnvironment(environment());
        again.start(QStringLiteral(VELBROOK_APP),
                    {"--content", m_first.path(), "--screenshot", m_runtime.filePath("again.png")});
        QVERIFY(again.waitForFinished(20000));
        QCOMPARE(again.exitCode(), 0);
        QVERIFY2(!QFile::exists(m_runtime.filePath("again.png")), "a second copy of the same title kept running");
        QVERIFY(again.readAllStandardError().isEmpty());

        QProcess other;
        other.setProcessEnvironment(environment());
        other.start(QStringLiteral(VELBROOK_APP),
                    {"--content", m_second.path(), "--screenshot", m_runtime.filePath("other.png")});
        QVERIFY(other.waitForFinished(20000));
        QCOMPARE(other.exitCode(), 0);
        QVERIFY(QFile::exists(m_runtime.filePath("other.png")));

        QCOMPARE(running.state(), QProcess::Running);
        running.kill();
        running.waitForFinished();
    }

    void secondStart_bringsTheFirstWindowForward()
    {
        const QString title = QStringLiteral(u"первое руководство");
        QProcess running;
        running.setProcessEnvironment(environment());
        running.start(QStringLiteral(VELBROOK_APP), {"--content", m_first.path()});
        QVERIFY(running.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!WindowDirectory::windows(title).isEmpty(), 20000);
        const qint64 before = WindowDirectory::windows(title).first().activated;

        QProcess again;
        again.setProcessEnvironment(environment());
        again.start(QStringLiteral(VELBROOK_APP), {"--content", m_first.path()});
        QVERIFY(again.waitForFinished(20000));
        QCOMPARE(again.exitCode(), 0);
        // The first window was asked to come forward: it is the most recently activated now.
        QTRY_VERIFY_WITH_TIMEOUT(WindowDirectory::windows(title).first().activated > before, 5000);
        QCOMPARE(WindowDirectory::windows(title).size(), 1);
        running.kill();
        running.waitForFinished();
    }

    // Two enlarged-picture copies: asked whether it shows the second picture, the first says no
    // and the second yes, and the second comes forward, as the page's link handler asks them.
    void pictureQuery_answeredByTheCopyThatShowsIt()
    {
        const QString caption = WindowCaption::enlargedPicture();
        QStringList pictures;
        for (const char* name : {"a.bmp", "b.bmp"}) {
            pictures << m_first.filePath(QString::fromLatin1(name));
            QFile file(pictures.last());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(testBitmap({60, 40}, Qt::darkRed));
        }
        QList<QProcess*> copies;
        for (const QString& picture : std::as_const(pictures)) {
            auto* copy = new QProcess(this);
            copy->setProcessEnvironment(environment());
            copy->start(QStringLiteral(VELBROOK_APP), {"--content", m_first.path(), picture});
            QVERIFY(copy->waitForStarted());
            copies << copy;
            QTRY_COMPARE_WITH_TIMEOUT(WindowDirectory::windows(caption).size(), copies.size(), 30000);
        }
        const qint64 first = copies[0]->processId();
        const qint64 second = copies[1]->processId();
        // Each copy moves to the front when its window becomes active, which comes a little after
        // it is listed: let both settle before the order matters.
        QTest::qWait(1000);

        CopyDataRecord query;
        query.kind = quint16(CopyDataKind::QueryFile);
        query.strings = {{0, pictures[1]}};
        // A copy still starting on a busy machine answers later than the program's bounded wait:
        // the test gives it longer, as what is checked is the answer, not its speed.
        constexpr int kAnswerWaitMs = 30000;
        for (const WindowEntry& window : WindowDirectory::windows(caption)) {
            const std::optional<CopyDataAnswer> answer = SendCopyData(window, query, kAnswerWaitMs);
            QVERIFY(answer);
            QCOMPARE(answer->message, kMsgQueryAnswer);
            QCOMPARE(answer->parameter, window.pid == second ? 1 : 0);
        }
        // A slot of another type is never the file.
        query.strings = {{1, pictures[1]}};
        QCOMPARE(SendCopyData(WindowDirectory::windows(caption).first(), query, kAnswerWaitMs)->parameter, 0);

        // The first picture: the older copy answers yes and comes to the front.
        QVERIFY(raiseWindowShowing(caption, pictures[0]));
        QTRY_COMPARE_WITH_TIMEOUT(WindowDirectory::windows(caption).first().pid, first, 5000);
        QVERIFY(!raiseWindowShowing(caption, m_first.filePath("c.bmp")));

        // The tool asks the most recently activated copy.
        for (const auto& [picture, line, code] :
             {std::tuple{pictures[0], QByteArray("yes\n"), 0}, std::tuple{pictures[1], QByteArray("no\n"), 1}}) {
            QProcess tool;
            tool.setProcessEnvironment(environment());
            tool.start(QStringLiteral(VELBROOK_TOOL), {"send", caption, "3", picture});
            QVERIFY(tool.waitForFinished(20000));
            QCOMPARE(tool.readAllStandardOutput(), line);
            QCOMPARE(tool.exitCode(), code);
        }
        QProcess nobody;
        nobody.setProcessEnvironment(environment());
        nobody.start(QStringLiteral(VELBROOK_TOOL), {"send", QStringLiteral(u"Нет такого окна"), "0", "x.htm"});
        QVERIFY(nobody.waitForFinished(20000));
        QCOMPARE(nobody.readAllStandardOutput(), QByteArray("none\n"));
        QCOMPARE(nobody.exitCode(), 1);

        for (QProcess* copy : std::as_const(copies)) {
            copy->kill();
            copy->waitForFinished();
        }
    }

    void notAContentFolder_saysSo()
    {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(QStringLiteral(VELBROOK_APP), {"--content", m_runtime.path()});
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitCode(), 1);
        QVERIFY(process.readAllStandardError().contains("Kel.dhl"));
    }

private:
    QProcessEnvironment environment() const { return programEnvironment(m_runtime.path()); }

    QTemporaryDir m_first;
    QTemporaryDir m_second;
    QTemporaryDir m_runtime;
};

QTEST_GUILESS_MAIN(TestInstances)
#include "tst_instances.moc"
