#include "instancelock.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

constexpr char kHoldLockOption[] = "--hold-lock";

// Run as "tst_instancelock --hold-lock TITLE": another copy of the program. It says whether it
// got the lock and keeps it until its standard input closes.
int holdLock(const QString& title)
{
    InstanceLock lock(title);
    const bool locked = lock.tryLock();
    std::fputs(locked ? "locked\n" : "busy\n", stdout);
    std::fflush(stdout);
    if (!locked)
        return 1;
    char c = 0;
    while (std::fread(&c, 1, 1, stdin) == 1) {
    }
    return 0;
}

} // namespace

class TestInstanceLock : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_runtime;

    // Starts another copy that tries to take the title's lock; its first line says how it went.
    QString startHolder(QProcess& process, const QString& title)
    {
        process.start(QCoreApplication::applicationFilePath(), {QLatin1String(kHoldLockOption), title});
        if (!process.waitForStarted() || !process.waitForReadyRead(10000))
            return QStringLiteral("no answer");
        return QString::fromUtf8(process.readLine()).trimmed();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        qputenv("VELBROOK_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    }

    void secondCopyOfATitle_isRefusedWhileTheFirstRuns()
    {
        const QString title = QStringLiteral(u"Руководство по ремонту");
        auto first = std::make_unique<InstanceLock>(title);
        QVERIFY(first->tryLock());
        QVERIFY(first->tryLock()); // asking again keeps it
        QVERIFY(first->fileName().startsWith(m_runtime.path()));

        InstanceLock second(title);
        QVERIFY(!second.tryLock());
        QProcess other;
        QCOMPARE(startHolder(other, title), QStringLiteral("busy"));
        QVERIFY(other.waitForFinished());

        // A copy that has run for long is still running: age alone never frees the lock.
        QFile lockFile(first->fileName());
        QVERIFY(lockFile.open(QIODevice::ReadWrite));
        QVERIFY(lockFile.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
        lockFile.close();
        QVERIFY(!second.tryLock());

        first.reset();
        QVERIFY(second.tryLock());
    }

    void differentTitles_runSideBySide()
    {
        InstanceLock slash(QStringLiteral("Manual 1/2"));
        InstanceLock colon(QStringLiteral("Manual 1:2"));
        InstanceLock thesaurus(QStringLiteral(u"Тезаурус"));
        QVERIFY(slash.tryLock());
        QVERIFY(colon.tryLock());
        QVERIFY(thesaurus.tryLock());
        QProcess other;
        QCOMPARE(startHolder(other, QStringLiteral("Manual 1-2")), QStringLiteral("locked"));
        other.closeWriteChannel();
        QVERIFY(other.waitForFinished());
        QCOMPARE(other.exitCode(), 0);
    }

    void lockOfAKilledCopy_doesNotBlockTheNext()
    {
        const QString title = QStringLiteral("Crashed title");
        QProcess crashed;
        QCOMPARE(startHolder(crashed, title), QStringLiteral("locked"));
        InstanceLock next(title);
        QVERIFY(!next.tryLock());
        crashed.kill();
        QVERIFY(crashed.waitForFinished());
        QVERIFY(QFile::exists(next.fileName())); // left behind, as after a crash
        QVERIFY(next.tryLock());
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], kHoldLockOption) == 0)
        return holdLock(QString::fromLocal8Bit(argv[2]));
    TestInstanceLock test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_instancelock.moc"
