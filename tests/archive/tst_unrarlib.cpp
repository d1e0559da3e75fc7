// The archive library's operations over libarchive: entries of our own and of RAR packers'
// archives, volumes and a missing one, unreadable files, and unpacking that never leaves its
// destination.

#include "archivefixtures.h"
#include "archivewalk.h"
#include "unrarlib.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestUnrarLib : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsEntriesAcrossVolumes_data();
    void readsEntriesAcrossVolumes();
    void missingVolumeEndsTheWalk_data();
    void missingVolumeEndsTheWalk();
    void unreadableFilesReportTheOpenResult();
    void readsArchivesOfRarPackers_data();
    void readsArchivesOfRarPackers();
    void safeRelativePath_data();
    void safeRelativePath();
    void hostileNamesStayInsideTheDestination();

private:
    QTemporaryDir m_dir;
};

void TestUnrarLib::readsEntriesAcrossVolumes_data()
{
    QTest::addColumn<qint64>("volumeSize");
    QTest::addColumn<int>("naming");
    QTest::addColumn<QString>("secondVolume");
    QTest::newRow("one file") << qint64(0) << int(RarWriter::Naming::Parts) << QString();
    QTest::newRow("part volumes") << qint64(1000) << int(RarWriter::Naming::Parts) << QStringLiteral("x.part2.rar");
    QTest::newRow("old volume names") << qint64(1000) << int(RarWriter::Naming::Old) << QStringLiteral("x.r00");
}

void TestUnrarLib::readsEntriesAcrossVolumes()
{
    QFETCH(qint64, volumeSize);
    QFETCH(int, naming);
    QFETCH(QString, secondVolume);
    const QString folder = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
    QDir().mkpath(folder);
    const QStringList volumes =
        sampleArchive().write(folder + QStringLiteral("/x.rar"), volumeSize, RarWriter::Naming(naming));
    QVERIFY(!volumes.isEmpty());
    if (!secondVolume.isEmpty())
        QCOMPARE(volumes.value(1), folder + QLatin1Char('/') + secondVolume);

    QStringList said;
    const ArchiveContents contents =
        readArchiveContents(volumes.first(), [&said](const QString& text) { said.append(text); });
    QCOMPARE(said, QStringList());
    QCOMPARE(contents.endResult, int(ERAR_END_ARCHIVE));
    QStringList listed;
    for (const ArchiveEntry& e : contents.entries)
        listed.append(QStringLiteral("%1 %2 %3").arg(QChar(e.folder ? u'd' : u'f')).arg(e.size).arg(e.name));
    QCOMPARE(listed, QStringList({QStringLiteral("d 0 docs"), QStringLiteral("f 2500 docs/a.txt"),
                                  QStringLiteral("f 999 readme.txt"), QStringLiteral(u"f 10 Инструкция.txt"),
                                  QStringLiteral(u"f 5 日本.txt")}));
    QCOMPARE(contents.entries[1].time, RarWriter::dosTimeOf(2024, 1, 5, 10, 30));
    QCOMPARE(contents.entries[3].time, 0);

    // The entry split over the volumes comes out whole.
    const QString destination = folder + QStringLiteral("/out");
    const ExtractOutcome outcome = extractArchiveEntries(volumes.first(), destination, {});
    QCOMPARE(outcome.endResult, int(ERAR_END_ARCHIVE));
    QFile split(destination + QStringLiteral("/docs/a.txt"));
    QVERIFY(split.open(QIODevice::ReadOnly));
    QCOMPARE(split.readAll(), QByteArray(2500, 'a'));
    QFile named(destination + QStringLiteral(u"/Инструкция.txt"));
    QVERIFY(named.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(named.readAll()), QStringLiteral(u"ключи"));
    QVERIFY(QFile::exists(destination + QStringLiteral(u"/日本.txt")));
}

void TestUnrarLib::missingVolumeEndsTheWalk_data()
{
    QTest::addColumn<int>("naming");
    QTest::newRow("part volumes") << int(RarWriter::Naming::Parts);
    QTest::newRow("old volume names") << int(RarWriter::Naming::Old);
}

void TestUnrarLib::missingVolumeEndsTheWalk()
{
    QFETCH(int, naming);
    const QString folder = m_dir.filePath(QStringLiteral("missing-") + QString::fromLatin1(QTest::currentDataTag()));
    QDir().mkpath(folder);
    RarWriter writer;
    writer.addFile(QStringLiteral("one.txt"), QByteArray(300, '1'));
    writer.addFile(QStringLiteral("two.txt"), QByteArray(300, '2'));
    writer.addFile(QStringLiteral("three.txt"), QByteArray(300, '3'));
    const QStringList volumes = writer.write(folder + QStringLiteral("/set.rar"), 300, RarWriter::Naming(naming));
    QCOMPARE(volumes.size(), 3);
    QVERIFY(QFile::remove(volumes[1]));

    QStringList said;
    const ArchiveContents contents =
        readArchiveContents(volumes.first(), [&said](const QString& text) { said.append(text); });
    QCOMPARE(contents.openResult, 0);
    QCOMPARE(contents.endResult, int(ERAR_EOPEN));
    QCOMPARE(contents.entries.size(), 1);
    QCOMPARE(contents.entries.first().name, QStringLiteral("one.txt"));
    QCOMPARE(said, QStringList{QStringLiteral(u"Том ") + volumes[1] + QStringLiteral(u" не найден.")});

    said.clear();
    const ExtractOutcome outcome = extractArchiveEntries(volumes.first(), folder + QStringLiteral("/out"),
                                                         [&said](const QString& text) { said.append(text); });
    QCOMPARE(outcome.written, QStringList{folder + QStringLiteral("/out/one.txt")});
    QCOMPARE(said.size(), 1);
}

void TestUnrarLib::unreadableFilesReportTheOpenResult()
{
    const QString text = m_dir.filePath(QStringLiteral("notes.rar"));
    writeTestFile(text, "just some text, no archive at all");
    const QString absent = m_dir.filePath(QStringLiteral("absent.rar"));
    QStringList said;
    const ArchiveReport report = [&said](const QString& line) { said.append(line); };
    QCOMPARE(readArchiveContents(text, report).openResult, int(ERAR_BAD_ARCHIVE));
    QCOMPARE(readArchiveContents(absent, report).openResult, int(ERAR_EOPEN));
    QCOMPARE(extractArchiveEntries(text, m_dir.filePath(QStringLiteral("never")), report).openResult,
             int(ERAR_BAD_ARCHIVE));
    QCOMPARE(said, QStringList({QStringLiteral(u"Файл ") + text + QStringLiteral(u" не является RAR архивом."),
                                QStringLiteral("Cannot open ") + absent,
                                QStringLiteral(u"Файл ") + text + QStringLiteral(u" не является RAR архивом.")}));
    QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("never"))));
}

void TestUnrarLib::readsArchivesOfRarPackers_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<int>("links");
    QTest::newRow("RAR 4, Unicode names") << QStringLiteral("rar4-unicode.rar.uu") << 0;
    // Holds a hard link and two symbolic links, which are never made.
    QTest::newRow("RAR 5, Unicode names and links") << QStringLiteral("rar5-unicode.rar.uu") << 3;
}

void TestUnrarLib::readsArchivesOfRarPackers()
{
    QFETCH(QString, fixture);
    QFETCH(int, links);
    const QString archive = writeUudecodedFixture(fixture, m_dir.filePath(fixture.chopped(3)));
    QStringList said;
    const ArchiveContents contents = readArchiveContents(archive, [&said](const QString& text) { said.append(text); });
    QCOMPARE(said, QStringList());
    QCOMPARE(contents.endResult, int(ERAR_END_ARCHIVE));
    QVERIFY(!contents.entries.isEmpty());
    // Every name keeps its characters: none became a replacement or a question mark.
    for (const ArchiveEntry& entry : contents.entries) {
        QVERIFY2(!entry.name.contains(u'?') && !entry.name.contains(QChar::ReplacementCharacter),
                 qPrintable(entry.name));
        QVERIFY2(std::any_of(entry.name.cbegin(), entry.name.cend(), [](QChar c) { return c.unicode() > 0x7f; }),
                 qPrintable(entry.name));
    }
    // Compressed data unpacks, its checksums hold.
    const QString destination = m_dir.filePath(fixture + QStringLiteral("-out"));
    const ExtractOutcome outcome =
        extractArchiveEntries(archive, destination, [&said](const QString& text) { said.append(text); });
    QCOMPARE(said.size(), links);
    QCOMPARE(outcome.refused.size(), links);
    QCOMPARE(outcome.endResult, int(ERAR_END_ARCHIVE));
    QCOMPARE(outcome.written.size() + outcome.refused.size(), contents.entries.size());
    for (const ArchiveEntry& entry : contents.entries) {
        const QFileInfo made(destination + QLatin1Char('/') + entry.name);
        QVERIFY2(made.exists() != outcome.refused.contains(entry.name), qPrintable(entry.name));
        QVERIFY(!made.isSymLink());
    }
}

void TestUnrarLib::safeRelativePath_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::newRow("plain") << QStringLiteral("a.txt") << QStringLiteral("a.txt");
    QTest::newRow("backslashes") << QStringLiteral("a\\b\\c.txt") << QStringLiteral("a/b/c.txt");
    QTest::newRow("dot and doubled separators") << QStringLiteral("./a//b/./c") << QStringLiteral("a/b/c");
    QTest::newRow("dots in a name") << QStringLiteral("a/..b/c..txt") << QStringLiteral("a/..b/c..txt");
    QTest::newRow("parent") << QStringLiteral("../evil") << QString();
    QTest::newRow("parent inside") << QStringLiteral("a\\..\\..\\evil") << QString();
    QTest::newRow("parent at the end") << QStringLiteral("a/..") << QString();
    QTest::newRow("absolute") << QStringLiteral("/etc/passwd") << QString();
    QTest::newRow("absolute, backslash") << QStringLiteral("\\windows\\x") << QString();
    QTest::newRow("drive letter") << QStringLiteral("c:\\autoexec.bat") << QString();
    QTest::newRow("drive-relative") << QStringLiteral("c:evil") << QString();
    QTest::newRow("nothing left") << QStringLiteral("./") << QString();
}

void TestUnrarLib::safeRelativePath()
{
    QFETCH(QString, name);
    QFETCH(QString, path);
    QCOMPARE(RarArchive::safeRelativePath(name), path);
}

void TestUnrarLib::hostileNamesStayInsideTheDestination()
{
    const QString root = m_dir.filePath(QStringLiteral("hostile"));
    const QString outside = root + QStringLiteral("/outside");
    const QString destination = root + QStringLiteral("/dest");
    QDir().mkpath(outside);
    QDir().mkpath(destination);
    // A link that was in the destination before: no entry is written through it either.
    QVERIFY(QFile::link(outside, destination + QStringLiteral("/before")));

    RarWriter writer;
    writer.addFile(QStringLiteral("../escaped.txt"), "x");
    writer.addFile(outside + QStringLiteral("/absolute.txt"), "x");
    writer.addFile(QStringLiteral("c:\\drive.txt"), "x");
    writer.addFile(QStringLiteral("a\\..\\..\\climbed.txt"), "x");
    writer.addSymlink(QStringLiteral("link"), outside);
    writer.addFile(QStringLiteral("link/through.txt"), "x");
    writer.addFile(QStringLiteral("before/through.txt"), "x");
    writer.addFile(QStringLiteral("good/kept.txt"), "kept");
    const QString archive = root + QStringLiteral("/hostile.rar");
    QVERIFY(!writer.write(archive).isEmpty());

    QStringList said;
    const ExtractOutcome outcome =
        extractArchiveEntries(archive, destination, [&said](const QString& text) { said.append(text); });
    QCOMPARE(outcome.endResult, int(ERAR_END_ARCHIVE));
    // The link was not made, so "link/" is an ordinary folder of the destination.
    QCOMPARE(outcome.written, QStringList({destination + QStringLiteral("/link/through.txt"),
                                           destination + QStringLiteral("/good/kept.txt")}));
    QCOMPARE(outcome.refused.size(), 6);
    QCOMPARE(said.size(), 6);
    QCOMPARE(said.first(), QStringLiteral(u"Файл ../escaped.txt не распакован: его путь ведёт за пределы папки."));
    QCOMPARE(QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    QVERIFY(!QFileInfo(root + QStringLiteral("/escaped.txt")).exists());
    QVERIFY(!QFileInfo(destination + QStringLiteral("/link")).isSymLink());
    QVERIFY(!QFileInfo::exists(outside + QStringLiteral("/through.txt")));
}

QTEST_GUILESS_MAIN(TestUnrarLib)
#include "tst_unrarlib.moc"
