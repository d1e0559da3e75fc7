// The user's private folders: made with owner-only access, never taken over when a link or
// another file lies in their place, and chosen below the runtime folder before the cache.

#include "privatefolder.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

mode_t modeOf(const QString& path)
{
    struct stat info
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

} // namespace

class TestPrivateFolder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_base = m_dir->path();
    }

    void missingFolders_areMadeForTheOwnerAlone()
    {
        const std::optional<QString> folder = makePrivateFolder(m_base, {"velbrook", "archives"});
        QCOMPARE(folder, m_base + "/velbrook/archives");
        QCOMPARE(modeOf(m_base + "/velbrook"), mode_t(0700));
        QCOMPARE(modeOf(*folder), mode_t(0700));
        // Asked again, the same folder.
        QCOMPARE(makePrivateFolder(m_base, {"velbrook", "archives"}), folder);
    }

    void anExistingFolderOfTheUsers_isNarrowedToTheOwner()
    {
        QVERIFY(QDir().mkpath(m_base + "/open"));
        QVERIFY(QFile::setPermissions(m_base + "/open", QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                            QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                            QFileDevice::WriteOther | QFileDevice::ExeOther));
        QCOMPARE(makePrivateFolder(m_base, {"open"}), m_base + "/open");
        QCOMPARE(modeOf(m_base + "/open"), mode_t(0700));
    }

    void somethingElseInItsPlace_isRefusedAndLeftAlone_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a link to a folder elsewhere") << "link";
        QTest::newRow("a link on the way") << "link-on-the-way";
        QTest::newRow("a file") << "file";
        QTest::newRow("a base that does not exist") << "no-base";
    }

    void somethingElseInItsPlace_isRefusedAndLeftAlone()
    {
        QFETCH(QString, kind);
        const QString elsewhere = m_base + "/elsewhere";
        QVERIFY(QDir().mkpath(elsewhere));
        QString base = m_base;
        if (kind == "link") {
            QVERIFY(QFile::link(elsewhere, m_base + "/velbrook"));
        } else if (kind == "link-on-the-way") {
            QVERIFY(QDir().mkpath(m_base + "/velbrook"));
            QVERIFY(QFile::link(elsewhere, m_base + "/velbrook/archives"));
        } else if (kind == "file") {
            writeTestFile(m_base + "/velbrook", "a file");
        } else {
            base = m_base + "/absent";
        }
        QCOMPARE(makePrivateFolder(base, {"velbrook", "archives"}), std::nullopt);
        QCOMPARE(QDir(elsewhere).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        QVERIFY(!QFileInfo::exists(m_base + "/absent"));
    }

    void privateFolder_goesBelowTheRuntimeFolder_elseTheCache()
    {
        const QByteArray saved = qgetenv("VELBROOK_RUNTIME_DIR");
        qunsetenv("VELBROOK_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_base + "/runtime"));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_base + "/cache"));
        QVERIFY(QDir().mkpath(m_base + "/runtime"));
        QCOMPARE(privateFolder({"x"}), m_base + "/runtime/x");
        // A runtime folder that is not the user's folder (here: a link laid in its place inside
        // it) leaves the cache.
        QVERIFY(QFile::link(m_base + "/elsewhere", m_base + "/runtime/y"));
        QCOMPARE(privateFolder({"y"}), m_base + "/cache/y");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_base + "/none"));
        QCOMPARE(privateFolder({"z"}), m_base + "/cache/z");
        qputenv("VELBROOK_RUNTIME_DIR", saved);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_base;
};

QTEST_GUILESS_MAIN(TestPrivateFolder)
#include "tst_privatefolder.moc"
