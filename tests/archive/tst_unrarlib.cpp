// The archive library's operations over libarchive: entries of our own and of RAR packers'
// archives, volumes and a missing one, unreadable files, and unpacking that never leaves its
// destination.

#include "archivefixtures.h"
#include "archivewalk.h"
#include "rarvolumes.h"
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
    void damagedData_isReportedAndNotKept_data();
    void damagedData_isReportedAndNotKept();
    void cutShortRar5_isABrokenHeader_data();
    void cutShortRar5_isABrokenHeader();
    void unixUtf8Names_readAsUtf8();
    void hugeLargeFileSize_endsTheScan_data();
    void hugeLargeFileSize_endsTheScan();

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
    // The link is refused as a link.
    QVERIFY2(said.contains(QStringLiteral(u"Файл link не распакован: это ссылка.")), qPrintable(said.join(u'\n')));
    QCOMPARE(QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    QVERIFY(!QFileInfo(root + QStringLiteral("/escaped.txt")).exists());
    QVERIFY(!QFileInfo(destination + QStringLiteral("/link")).isSymLink());
    QVERIFY(!QFileInfo::exists(outside + QStringLiteral("/through.txt")));
}

namespace {

// The archive with one byte of an entry's data changed (the first place text occurs), its headers
// and their CRCs left whole.
QString withFlippedByte(const QString& archive, const QByteArray& text)
{
    QFile file(archive);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(archive));
    QByteArray bytes = file.readAll();
    const qsizetype at = bytes.indexOf(text);
    if (at < 0)
        qFatal("%s not in %s", text.constData(), qPrintable(archive));
    bytes[at] = char(bytes[at] ^ 0x01);
    const QString damaged = archive + QStringLiteral(".damaged.rar");
    writeTestFile(damaged, bytes);
    return damaged;
}

} // namespace

void TestUnrarLib::damagedData_isReportedAndNotKept_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");
    QTest::newRow("RAR 4 of our writer") << "ours"
                                         << "a.txt";
    QTest::newRow("RAR 4 of a RAR packer")
        << "rar4-unicode.rar.uu" << QStringLiteral(u"表だよ/漢字長いファイル名long-filename-in-漢字.txt");
    QTest::newRow("RAR 5 of a RAR packer") << "rar5-unicode.rar.uu" << QStringLiteral(u"𝒻𝒾𝓁𝑒.txt");
}

// A changed byte of an entry's data, its header's CRC left as it was: the unpacking says so, in
// the reader's words, counts it as a failure and keeps no damaged file.
void TestUnrarLib::damagedData_isReportedAndNotKept()
{
    QFETCH(QString, kind);
    QFETCH(QString, name);
    const QString folder =
        m_dir.filePath(QStringLiteral("damaged-") + QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-'));
    QString archive;
    QByteArray text;
    if (kind == QLatin1String("ours")) {
        RarWriter writer;
        writer.addFile(QStringLiteral("a.txt"), "the data of a.txt");
        writer.addFile(QStringLiteral("b.txt"), "b");
        archive = folder + QStringLiteral("/ours.rar");
        QDir().mkpath(folder);
        QVERIFY(!writer.write(archive).isEmpty());
        text = "data of a";
    } else {
        archive = writeUudecodedFixture(kind, folder + QLatin1Char('/') + kind.chopped(3));
        text = kind.startsWith(QLatin1String("rar4")) ? QByteArray("kanji") : QByteArray("This is from");
    }
    // Whole, it unpacks cleanly.
    QStringList said;
    const ArchiveReport report = [&said](const QString& line) { said.append(line); };
    QCOMPARE(extractArchiveEntries(archive, folder + QStringLiteral("/whole"), report).written.isEmpty(), false);
    QVERIFY(!said.contains(QStringLiteral(u"У файла ") + name + QStringLiteral(u" ошибка контрольной суммы.")));

    said.clear();
    const QString destination = folder + QStringLiteral("/out");
    const ExtractOutcome outcome = extractArchiveEntries(withFlippedByte(archive, text), destination, report);
    QCOMPARE(outcome.endResult, int(ERAR_BAD_DATA));
    QVERIFY2(said.contains(QStringLiteral(u"У файла ") + name + QStringLiteral(u" ошибка контрольной суммы.")),
             qPrintable(said.join(u'\n')));
    QVERIFY(!outcome.written.contains(destination + QLatin1Char('/') + name));
    QVERIFY(!QFileInfo::exists(destination + QLatin1Char('/') + name));
}

void TestUnrarLib::cutShortRar5_isABrokenHeader_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("entries");
    QTest::newRow("the signature alone") << 8 << 0;
    QTest::newRow("within the main header") << 20 << 0;
    QTest::newRow("within the first file header") << 40 << 0;
    QTest::newRow("after some entries") << 400 << 4;
}

// A RAR 5 archive that ends before its end header lists what came before it and a broken header,
// never an archive that simply ends.
void TestUnrarLib::cutShortRar5_isABrokenHeader()
{
    QFETCH(int, length);
    QFETCH(int, entries);
    const QByteArray whole = uudecodedFixture(QStringLiteral("rar5-unicode.rar.uu"));
    QVERIFY(whole.size() > length);
    const QString archive = m_dir.filePath(QStringLiteral("cut-%1.rar").arg(length));
    writeTestFile(archive, whole.left(length));
    QStringList said;
    const ArchiveContents contents = readArchiveContents(archive, [&said](const QString& text) { said.append(text); });
    QCOMPARE(contents.openResult, 0);
    QCOMPARE(contents.endResult, int(ERAR_BAD_DATA));
    QCOMPARE(contents.entries.size(), entries);
    QCOMPARE(said.size(), 1);
    QVERIFY2(said.first().endsWith(QStringLiteral(u" испорчен заголовок.")), qPrintable(said.first()));
}

// RAR for Unix stores names as their UTF-8 bytes, unmarked: they read as UTF-8, not as code page
// 866, in the listing and on disk; names in code page 866 and Unicode names keep reading as before.
void TestUnrarLib::unixUtf8Names_readAsUtf8()
{
    RarWriter writer;
    writer.addUnixFile(QStringLiteral(u"abcdefghijklmnopqrsテスト.txt"), "unix");
    writer.addUnixFile(QStringLiteral(u"папка/файл.txt"), "unix");
    writer.addUnixFile(QStringLiteral("plain.txt"), "unix");
    writer.addFile(QStringLiteral(u"Инструкция.txt"), "dos");
    // Made on Windows: its code page 866 bytes happen to form UTF-8 too, and still read as 866.
    writer.addFile(QStringLiteral(u"сам.txt"), "dos");
    const QString archive = m_dir.filePath(QStringLiteral("unix.rar"));
    QVERIFY(!writer.write(archive).isEmpty());
    const QStringList names{QStringLiteral(u"abcdefghijklmnopqrsテスト.txt"), QStringLiteral(u"папка/файл.txt"),
                            QStringLiteral("plain.txt"), QStringLiteral(u"Инструкция.txt"), QStringLiteral(u"сам.txt")};

    const ArchiveContents contents = readArchiveContents(archive, {});
    QCOMPARE(contents.endResult, int(ERAR_END_ARCHIVE));
    QStringList listed;
    for (const ArchiveEntry& entry : contents.entries)
        listed.append(entry.name);
    QCOMPARE(listed, names);
    const QString destination = m_dir.filePath(QStringLiteral("unix-out"));
    const ExtractOutcome outcome = extractArchiveEntries(archive, destination, {});
    QCOMPARE(outcome.endResult, int(ERAR_END_ARCHIVE));
    for (const QString& name : names)
        QVERIFY2(QFileInfo(destination + QLatin1Char('/') + name).isFile(), qPrintable(name));
}

// A RAR 4 file header with the "large" flag carries the high word of its data size. One that puts
// the data past any file ends the volume scan there: added as a signed number it could wrap and
// send the scan back to an earlier header, for ever.
void TestUnrarLib::hugeLargeFileSize_endsTheScan_data()
{
    QTest::addColumn<quint32>("low");
    QTest::addColumn<quint32>("high");
    // The file header is at 20 and 41 bytes long: 61 + low - 2^32 is 7, the main header again.
    QTest::newRow("wraps back to the main header") << quint32(0xFFFFFFCA) << quint32(0xFFFFFFFF);
    QTest::newRow("past the end") << quint32(0x10) << quint32(0x7FFFFFFF);
    QTest::newRow("sign bit of the high word") << quint32(0) << quint32(0x80000000);
}

void TestUnrarLib::hugeLargeFileSize_endsTheScan()
{
    QFETCH(quint32, low);
    QFETCH(quint32, high);
    const auto le = [](QByteArray& bytes, quint64 value, int width) {
        for (int i = 0; i < width; ++i)
            bytes.append(char((value >> (8 * i)) & 0xFF));
    };
    QByteArray bytes("Rar!\x1a\x07\x00", 7);
    // The main header: CRC, type, flags, size, six reserved bytes.
    le(bytes, 0, 2);
    bytes.append(char(0x73));
    le(bytes, 0, 2);
    le(bytes, 13, 2);
    le(bytes, 0, 6);
    // The file header: long block and large file, one-byte name.
    le(bytes, 0, 2);
    bytes.append(char(0x74));
    le(bytes, 0x8000 | 0x0100, 2);
    le(bytes, 41, 2);
    le(bytes, low, 4);  // data size, low word
    le(bytes, 1, 4);    // unpacked size
    le(bytes, 3, 1);    // host: Unix
    le(bytes, 0, 4);    // CRC
    le(bytes, 0, 4);    // time
    le(bytes, 29, 1);   // version
    le(bytes, 0x30, 1); // stored
    le(bytes, 1, 2);    // name size
    le(bytes, 0, 4);    // attributes
    le(bytes, high, 4); // data size, high word
    le(bytes, 0, 4);    // unpacked size, high word
    bytes.append('a');
    bytes.append(QByteArray(64, 'x'));
    const QString archive = m_dir.filePath(QStringLiteral("large-%1-%2.rar").arg(low).arg(high));
    QFile file(archive);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
    file.close();

    const RarVolumeInfo info = scanRarVolume(archive);
    QVERIFY(info.readable);
    QVERIFY(!info.endHeader);
    QVERIFY(!info.continues);
}

QTEST_GUILESS_MAIN(TestUnrarLib)
#include "tst_unrarlib.moc"
