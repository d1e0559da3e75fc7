// The window's archive feature: a listing shown once per run, the pane's archive mode, unpacking
// on demand and into the reader's folder, its messages, and the temporary folders cleared.

#include "archivefixtures.h"
#include "listingpages.h"
#include "tunrar.h"

#include <QDir>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The window as the feature sees it.
struct FakeWindow
{
    QStringList messages;
    QStringList shown;
    bool archiveMode = false;
    std::optional<QString> pathFolder;
    QList<bool> busy;

    UnRarHooks hooks()
    {
        UnRarHooks h;
        h.showMessage = [this](const QString& text) { messages.append(text); };
        h.showPage = [this](const QString& page) { shown.append(page); };
        h.archiveMode = [this] { return archiveMode; };
        h.setArchiveMode = [this](bool on) { archiveMode = on; };
        h.pathFolder = [this] { return pathFolder; };
        h.setBusy = [this](bool on) { busy.append(on); };
        return h;
    }
};

} // namespace

class TestTUnRar : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void listingIsWrittenOncePerRun();
    void archiveModeFollowsThePages();
    void linkUnpacksIntoTheListingFolder();
    void unarcNumbersItsSubfolders();
    void unarcNeedsAFolder();
    void unreadableArchiveLeavesThePane();
    void missingVolumeListsWhatWasRead();
    void leftoversAreClearedAndNothingElse();
    void noRunFolder_listsNothing();

private:
    QString makeArchive(const QString& name);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_temp;
};

void TestTUnRar::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_temp = m_dir->filePath(QStringLiteral("tmp"));
    QDir().mkpath(m_temp);
}

QString TestTUnRar::makeArchive(const QString& name)
{
    const QString path = m_dir->filePath(QStringLiteral("manual/files/") + name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (sampleArchive().write(path).isEmpty())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestTUnRar::listingIsWrittenOncePerRun()
{
    FakeWindow window;
    const QString archive = makeArchive(QStringLiteral("tools.rar"));
    const QString page = m_dir->filePath(QStringLiteral("manual/links.htm"));
    {
        TUnRar unrar(window.hooks(), m_temp);
        unrar.ListArchive(archive, page);
        // In this run's own folder, made for the owner alone.
        QVERIFY2(unrar.runFolder().startsWith(m_temp + QStringLiteral("/run-")), qPrintable(unrar.runFolder()));
        QCOMPARE(QFileInfo(unrar.runFolder()).permissions() & 0x0077, QFileDevice::Permissions());
        const QString folder = unrar.runFolder() + archiveTempFolderName(archive) + QLatin1Char('/');
        QCOMPARE(unrar.tempFolder(), folder);
        QCOMPARE(window.shown, QStringList{folder + QStringLiteral("as_tools.rar.htm")});
        QCOMPARE(unrar.listingPages(), window.shown);
        QCOMPARE(window.messages, QStringList());

        // A second request shows the pages written already, without reading the archive again.
        QVERIFY(QFile::remove(archive));
        unrar.ListArchive(archive, page);
        QCOMPARE(window.shown.size(), 2);
        QCOMPARE(window.shown[1], window.shown[0]);
        QCOMPARE(window.messages, QStringList());
    }
    // The run is over: its folders went with it.
    QCOMPARE(QDir(m_temp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

void TestTUnRar::archiveModeFollowsThePages()
{
    FakeWindow window;
    TUnRar unrar(window.hooks(), m_temp);
    const QString archive = makeArchive(QStringLiteral("tools.rar"));
    const QString from = QStringLiteral("/manual/links.htm");
    unrar.ListArchive(archive, from);
    const QString frameset = window.shown.last();

    unrar.PageShown(frameset);
    QVERIFY(window.archiveMode);
    unrar.PageShown(unrar.tempFolder() + QStringLiteral("as_1123.htm")); // a folder page in its frame
    QVERIFY(window.archiveMode);
    unrar.PageShown(QStringLiteral("/manual/other.htm")); // not a page the archive was entered from
    QVERIFY(window.archiveMode);
    unrar.PageShown(from.toUpper());
    QVERIFY(!window.archiveMode);

    // Entered again from another page: going back to that page leaves the mode too.
    const QString second = QStringLiteral("/manual/second.htm");
    unrar.ListArchive(archive, second);
    unrar.PageShown(frameset);
    QVERIFY(window.archiveMode);
    unrar.PageShown(second);
    QVERIFY(!window.archiveMode);
    QCOMPARE(unrar.returnPages(), QStringList({from, second}));
}

void TestTUnRar::linkUnpacksIntoTheListingFolder()
{
    FakeWindow window;
    TUnRar unrar(window.hooks(), m_temp);
    unrar.ListArchive(makeArchive(QStringLiteral("tools.rar")), QStringLiteral("/p.htm"));
    unrar.ExtractArchive(false, true);
    QVERIFY(QFileInfo(unrar.tempFolder() + QStringLiteral("docs/a.txt")).isFile());
    QVERIFY(QFileInfo(unrar.tempFolder() + QStringLiteral(u"日本.txt")).isFile());
    QVERIFY(QFileInfo(unrar.tempFolder() + QStringLiteral("as_tools.rar.htm")).isFile());
    QCOMPARE(window.busy, QList<bool>({true, false}));
    QCOMPARE(window.messages, QStringList());
}

void TestTUnRar::unarcNumbersItsSubfolders()
{
    FakeWindow window;
    const QString target = m_dir->filePath(QStringLiteral("mine"));
    window.pathFolder = target + QLatin1Char('/');
    TUnRar unrar(window.hooks(), m_temp);
    unrar.ListArchive(makeArchive(QStringLiteral("tools.rar")), QStringLiteral("/p.htm"));
    unrar.ExtractArchive(true, false);
    unrar.ExtractArchive(true, false);
    unrar.ExtractArchive(true, false);
    QCOMPARE(QDir(target).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList({QStringLiteral("tools.rar"), QStringLiteral("tools1.rar"), QStringLiteral("tools2.rar")}));
    QVERIFY(QFileInfo(target + QStringLiteral("/tools1.rar/docs/a.txt")).isFile());
    QCOMPARE(TUnRar::freeSubfolder(target, QStringLiteral("/x/noext")), QStringLiteral("noext"));
    QVERIFY(QDir().mkpath(target + QStringLiteral("/noext")));
    QCOMPARE(TUnRar::freeSubfolder(target, QStringLiteral("/x/noext")), QStringLiteral("noext1"));
    // Each unpacking says where it went; unpacking for a link in the listing says nothing.
    const auto told = [&target](const char* subfolder) {
        return TUnRar::kUnpackedInto.toString().arg(QDir::toNativeSeparators(target + QLatin1Char('/') + subfolder));
    };
    QCOMPARE(window.messages, QStringList({told("tools.rar"), told("tools1.rar"), told("tools2.rar")}));
    unrar.ExtractArchive(false, true);
    QCOMPARE(window.messages.size(), 3);
}

void TestTUnRar::unarcNeedsAFolder()
{
    FakeWindow window;
    TUnRar unrar(window.hooks(), m_temp);
    // Nothing listed yet: nothing to unpack.
    window.pathFolder = m_dir->filePath(QStringLiteral("mine"));
    unrar.ExtractArchive(true, false);
    QVERIFY(!QFileInfo::exists(*window.pathFolder));

    unrar.ListArchive(makeArchive(QStringLiteral("tools.rar")), QStringLiteral("/p.htm"));
    window.pathFolder = std::nullopt; // the window has no path field
    unrar.ExtractArchive(true, false);
    QCOMPARE(window.messages, QStringList{TUnRar::kNoFolderField.toString()});
    window.pathFolder = QStringLiteral("  ");
    unrar.ExtractArchive(true, false);
    QCOMPARE(window.messages,
             QStringList({TUnRar::kNoFolderField.toString(), QStringLiteral(u"Укажите папку для распаковки.")}));
    QCOMPARE(window.busy, QList<bool>());
}

void TestTUnRar::unreadableArchiveLeavesThePane()
{
    FakeWindow window;
    TUnRar unrar(window.hooks(), m_temp);
    const QString text = m_dir->filePath(QStringLiteral("fake.rar"));
    writeTestFile(text, "not an archive");
    unrar.ListArchive(text, QStringLiteral("/p.htm"));
    QCOMPARE(window.shown, QStringList());
    QCOMPARE(window.messages,
             QStringList{QStringLiteral(u"Файл ") + text + QStringLiteral(u" не является RAR архивом.")});
    QVERIFY(!QFileInfo::exists(unrar.tempFolder() + QStringLiteral("as_fake.rar.htm")));

    window.pathFolder = m_dir->filePath(QStringLiteral("mine"));
    unrar.ExtractArchive(true, false);
    QCOMPARE(window.messages.size(), 2);
    QCOMPARE(window.messages[1], window.messages[0]);
    QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("mine/fake.rar"))));
}

void TestTUnRar::missingVolumeListsWhatWasRead()
{
    FakeWindow window;
    TUnRar unrar(window.hooks(), m_temp);
    RarWriter writer;
    writer.addFile(QStringLiteral("first.txt"), QByteArray(100, '1'));
    writer.addFile(QStringLiteral("second.txt"), QByteArray(100, '2'));
    const QStringList volumes = writer.write(m_dir->filePath(QStringLiteral("set.rar")), 100);
    QCOMPARE(volumes.size(), 2);
    QFile::remove(volumes[1]);

    unrar.ListArchive(volumes[0], QStringLiteral("/p.htm"));
    QCOMPARE(window.messages, QStringList{QStringLiteral(u"Том ") + volumes[1] + QStringLiteral(u" не найден.")});
    QCOMPARE(window.shown.size(), 1);
    QFile frameset(window.shown[0]);
    QVERIFY(frameset.open(QIODevice::ReadOnly));
    const QByteArray root = frameset.readAll().split('"').value(7); // the lower frame's page
    QFile page(unrar.tempFolder() + QString::fromLatin1(root));
    QVERIFY2(page.open(QIODevice::ReadOnly), root.constData());
    const QByteArray rows = page.readAll();
    QVERIFY(rows.contains("first.txt"));
    QVERIFY(!rows.contains("second.txt"));

    unrar.ExtractArchive(false, true);
    QVERIFY(QFileInfo(unrar.tempFolder() + QStringLiteral("first.txt")).isFile());
    QCOMPARE(window.messages.size(), 2);
    QCOMPARE(window.busy, QList<bool>({true, false}));
}

void TestTUnRar::leftoversAreClearedAndNothingElse()
{
    // The run folder of a reader that ended without clearing it (its lock is free), with a
    // read-only file and links out of it; the folder of a reader that still runs; and what else
    // lies in the folder or in another place.
    const QString elsewhere = m_dir->filePath(QStringLiteral("elsewhere"));
    writeTestFile(elsewhere + QStringLiteral("/keep.txt"), "keep");
    const QString dead = m_temp + QStringLiteral("/run-ended");
    writeTestFile(dead + QStringLiteral("/as_old/sub/deep.txt"), "old");
    const QString readOnly = dead + QStringLiteral("/as_old/locked.txt");
    writeTestFile(readOnly, "locked");
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner);
    QVERIFY(QFile::link(elsewhere, dead + QStringLiteral("/as_old/sub/link")));
    const QString alive = m_temp + QStringLiteral("/run-running");
    writeTestFile(alive + QStringLiteral("/as_x/page.htm"), "another reader's listing");
    QLockFile aliveLock(alive + QStringLiteral(".lock"));
    aliveLock.setStaleLockTime(0);
    QVERIFY(aliveLock.tryLock(0));
    QVERIFY(QFile::link(elsewhere, m_temp + QStringLiteral("/run-linked")));
    writeTestFile(m_temp + QStringLiteral("/as_other/x.txt"), "not a run's");

    FakeWindow window;
    {
        TUnRar unrar(window.hooks(), m_temp);
        const QString own = QDir(unrar.runFolder()).dirName();
        QStringList expected{QStringLiteral("as_other"),    own,
                             own + QStringLiteral(".lock"), QStringLiteral("run-linked"),
                             QStringLiteral("run-running"), QStringLiteral("run-running.lock")};
        expected.sort();
        QCOMPARE(QDir(m_temp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden),
                 expected);
        unrar.ListArchive(makeArchive(QStringLiteral("tools.rar")), QStringLiteral("/p.htm"));
        QVERIFY(QFileInfo(unrar.tempFolder()).isDir());
    }
    // The run is over: its own folder and lock went, nothing else did.
    QCOMPARE(QDir(m_temp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden),
             QStringList({QStringLiteral("as_other"), QStringLiteral("run-linked"), QStringLiteral("run-running"),
                          QStringLiteral("run-running.lock")}));
    QVERIFY(QFileInfo(alive + QStringLiteral("/as_x/page.htm")).isFile());
    QVERIFY(QFileInfo(elsewhere + QStringLiteral("/keep.txt")).isFile());
}

// Without a folder of its own (no private folder could be made), no listing is written anywhere.
void TestTUnRar::noRunFolder_listsNothing()
{
    FakeWindow window;
    TUnRar unrar(window.hooks(), QString());
    QCOMPARE(unrar.runFolder(), QString());
    const QString archive = makeArchive(QStringLiteral("tools.rar"));
    unrar.ListArchive(archive, QStringLiteral("/p.htm"));
    QCOMPARE(window.shown, QStringList());
    QCOMPARE(window.messages, QStringList{QStringLiteral(u"Не удалось создать папку для списка архива ") + archive});
}

QTEST_GUILESS_MAIN(TestTUnRar)
#include "tst_tunrar.moc"
