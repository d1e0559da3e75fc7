// One skinned copy per title: a second start of the same title leaves at once, while another
// title runs beside it. The program is run as the user runs it.

#include "programenv.h"
#include "readbin.h"
#include "scriptcodec.h"
#include "testpictures.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

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
