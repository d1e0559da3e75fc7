#include "codepage.h"
#include "comprstream.h"
#include "contenterror.h"
#include "contentpack.h"
#include "memorylimit.h"
#include "packformat.h"
#include "packwriter.h"
#include "pathresolver.h"
#include "rawpack.h"
#include "testfiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray noise(qsizetype size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(random.generate());
    return bytes;
}

// A pack whose one folder holds count empty files F0000000, F0000001... : a directory that
// deflates (level 1) about 29 to 1, as real ones do.
QByteArray numberedEmptyFiles(quint32 count)
{
    RawPack raw;
    raw.rawDirectory = RawPack::oneFolderDirectory(count, [](quint32 i) {
        return RawEntry{QByteArray("F") + QByteArray::number(i).rightJustified(7, '0'), 0, 0, 0, 1};
    });
    raw.deflateDirectory = true;
    raw.deflateLevel = 1;
    return raw.bytes();
}

} // namespace

class TestContentPack : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_packs.clear();
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
        m_root = m_dir->path() + QLatin1Char('/');
        m_disk.reset(new PathResolver(QStringLiteral("/")));
    }

    void writtenFiles_readBackThroughTheOpener()
    {
        PackWriter writer;
        const QByteArray page = QByteArray("<html>").repeated(500);
        const QByteArray picture = noise(4000, 1); // does not deflate: stored
        writer.addFile(QStringLiteral("html/glava1.htm"), page);
        writer.addFile(QStringLiteral(u"Html\\Рисунки\\схема.gif"), picture);
        writer.addFile(QStringLiteral("keywords.idx"), QByteArray());
        writer.addFolder(QStringLiteral("empty"));
        ContentPack& pack = open(writer.build());
        pack.SetPackBase(m_root);

        QCOMPARE(read(pack, m_root + "html/glava1.htm"), page);
        QCOMPARE(read(pack, m_root + QStringLiteral(u"HTML/рисунки/СХЕМА.GIF")), picture);
        QCOMPARE(read(pack, m_root + "KEYWORDS.IDX"), QByteArray());

        const PackEntry& stored =
            pack.entries()[pack.FindPackEntry(m_root + QStringLiteral(u"html/рисунки/схема.gif"))];
        QCOMPARE(stored.storedSize, stored.size);
        const PackEntry& deflated = pack.entries()[pack.FindPackEntry(m_root + "html/glava1.htm")];
        QVERIFY(deflated.storedSize < deflated.size);

        QCOMPARE(pack.ListPackFiles(),
                 (QStringList{QStringLiteral("HTML/GLAVA1.HTM"), QStringLiteral(u"HTML/РИСУНКИ/СХЕМА.GIF"),
                              QStringLiteral("KEYWORDS.IDX")}));
    }

    void lookups_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("found");
        QTest::newRow("slashes") << "html/glava1.htm" << true;
        QTest::newRow("backslashes, upper case") << "HTML\\GLAVA1.HTM" << true;
        QTest::newRow("leading separator") << "\\html\\glava1.htm" << true;
        QTest::newRow("two separators") << "HTML\\\\GLAVA1.HTM" << false;
        QTest::newRow("trailing separator") << "html\\" << false;
        QTest::newRow("a folder is no file") << "html" << false;
        QTest::newRow("through a file") << "html\\glava1.htm\\x" << false;
        QTest::newRow("cyrillic lower case") << QStringLiteral(u"рисунки\\схема.gif") << true;
        QTest::newRow("yo is not folded") << QStringLiteral(u"ёлка.htm") << false;
        QTest::newRow("capital yo") << QStringLiteral(u"Ёлка.htm") << true;
        QTest::newRow("not in code page 1251") << QStringLiteral(u"图.htm") << false;
    }

    void lookups()
    {
        QFETCH(QString, path);
        QFETCH(bool, found);
        PackWriter writer;
        writer.addFile(QStringLiteral("html/glava1.htm"), "a");
        writer.addFile(QStringLiteral(u"рисунки/схема.gif"), "b");
        writer.addFile(QStringLiteral(u"Ёлка.htm"), "c");
        ContentPack& pack = open(writer.build());
        QCOMPARE(pack.FindPackEntry(path) >= 0, found);
    }

    void baseFolder_isTakenOffPaths()
    {
        PackWriter writer;
        writer.addFile(QStringLiteral("pic/a.gif"), "gif");
        ContentPack& pack = open(writer.build());
        pack.SetPackBase(QStringLiteral("/media/cd/Manual/"));
        QVERIFY(pack.FindPackEntry(QStringLiteral("/media/cd/manual/pic/a.gif")) >= 0);
        QVERIFY(pack.FindPackEntry(QStringLiteral("\\MEDIA\\CD\\MANUAL\\PIC\\A.GIF")) >= 0);
        QVERIFY(pack.FindPackEntry(QStringLiteral("/media/cd/other/pic/a.gif")) < 0);
        // Drive letters stand for the program drive, here "/".
        pack.SetPackBase(QStringLiteral("d:\\manual\\"));
        QVERIFY(pack.FindPackEntry(QStringLiteral("/manual/pic/a.gif")) >= 0);
        QVERIFY(pack.FindPackEntry(QStringLiteral("e:\\MANUAL\\PIC\\A.GIF")) >= 0);
    }

    // A pack as another writer may lay it out: the directory stored, the root folder last, names
    // out of order, and one name twice in a folder.
    void otherWritersLayouts_areRead()
    {
        RawPack raw;
        raw.entries = {
            raw.storedFile("B.HTM", "second"),    raw.deflatedFile("A.HTM", QByteArray("first ").repeated(100)),
            raw.storedFile("A.HTM", "shadowed"),  {"SUB", 0, 0, 0, 2},
            raw.storedFile("INNER.TXT", "inner"),
        };
        raw.folders = {{4, 1}, {0, 4}};
        raw.rootFolder = 1;
        ContentPack& pack = open(raw.bytes());
        QCOMPARE(read(pack, "a.htm"), QByteArray("first ").repeated(100));
        QCOMPARE(read(pack, "B.htm"), QByteArray("second"));
        QCOMPARE(read(pack, "sub/inner.txt"), QByteArray("inner"));
        QCOMPARE(pack.ListPackFiles(), (QStringList{"B.HTM", "A.HTM", "A.HTM", "SUB/INNER.TXT"}));

        raw.deflateDirectory = true;
        QCOMPARE(read(open(raw.bytes()), "sub/inner.txt"), QByteArray("inner"));
    }

    void sameNameAsFileAndFolder_firstEntryDecides()
    {
        for (bool folderFirst : {true, false}) {
            RawPack raw;
            const RawEntry file = raw.storedFile("X", "file");
            const RawEntry folder{"X", 1, 0, 0, 2};
            raw.entries = folderFirst ? QList<RawEntry>{folder, file} : QList<RawEntry>{file, folder};
            raw.entries.append(raw.storedFile("Y.TXT", "y"));
            raw.folders = {{0, 2}, {2, 1}};
            ContentPack& pack = open(raw.bytes());
            QCOMPARE(pack.FindPackEntry("x/y.txt") >= 0, folderFirst);
            QCOMPARE(pack.FindPackEntry("x") >= 0, !folderFirst);
        }
    }

    void dotNames_areLeftOutOfTheListing()
    {
        PackWriter writer;
        writer.addFile(QStringLiteral(".hidden"), "h");
        writer.addFile(QStringLiteral(".svn/entries"), "e");
        writer.addFile(QStringLiteral("a/.keep"), "k");
        writer.addFile(QStringLiteral("a/b.htm"), "b");
        ContentPack& pack = open(writer.build());
        QCOMPARE(pack.ListPackFiles(), QStringList{"A/B.HTM"});
        QVERIFY(pack.FindPackEntry(".svn/entries") >= 0); // listed or not, it can be opened
    }

    void packAndDisk_opener_and_existence()
    {
        PackWriter writer;
        writer.addFile(QStringLiteral("both.htm"), "packed");
        writer.addFile(QStringLiteral("packed.htm"), "only packed");
        ContentPack& pack = open(writer.build());
        pack.SetPackBase(m_root);
        writeTestFile(m_root + "Both.htm", "on disk");
        writeTestFile(m_root + "Disk/Only.htm", "only on disk");

        QCOMPARE(read(pack, m_root + "both.htm"), QByteArray("packed"));
        QCOMPARE(read(pack, m_root + "DISK\\ONLY.HTM"), QByteArray("only on disk"));
        QVERIFY(pack.PackFileExists(m_root + "both.htm"));
        QVERIFY(pack.PackFileExists(m_root + "packed.htm"));
        QVERIFY(pack.PackFileExists(m_root + "disk/only.htm"));
        QVERIFY(!pack.PackFileExists(m_root + "none.htm"));

        try {
            TComprStream stream(pack, m_root + "none.htm");
            QFAIL("a missing file opened");
        } catch (const ContentError& error) {
            QCOMPARE(error.message(), QStringLiteral("Cannot open file %1none.htm").arg(m_root));
        }
        TComprStream stream(pack, m_root + "packed.htm");
        QCOMPARE(stream.pos(), 0);
        QCOMPARE(stream.readAll(), QByteArray("only packed"));
    }

    void loadPackEntry_refusesFolders()
    {
        PackWriter writer;
        writer.addFile(QStringLiteral("f/a.htm"), "a");
        ContentPack& pack = open(writer.build());
        QBuffer stream;
        QCOMPARE(pack.LoadPackEntry(0, stream), -1); // entry 0 is the folder F
        QCOMPARE(stream.size(), 0);
        QCOMPARE(pack.LoadPackEntry(pack.FindPackEntry("f/a.htm"), stream), 0);
        QCOMPARE(stream.data(), QByteArray("a"));
        QCOMPARE(pack.LoadPackEntry(99, stream), -1);
    }

    void missingPackFile_raisesCannotOpen()
    {
        ContentPack pack(*m_disk);
        QVERIFY_THROWS_EXCEPTION(ContentError, pack.OpenPack(m_root + "interface.dat"));
        QVERIFY(!pack.isOpen());
        QCOMPARE(pack.FindPackEntry("a"), -1);
    }

    void damagedPack_isRefusedAndDiskStillServes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");

        const auto valid = [] {
            RawPack raw;
            raw.entries = {raw.storedFile("A.HTM", "a")};
            raw.folders = {{0, 1}};
            return raw;
        };
        QTest::newRow("empty file") << QByteArray() << "too short";
        QTest::newRow("truncated header") << valid().bytes().left(6) << "too short";
        {
            QByteArray bytes = valid().bytes();
            QTest::newRow("truncated directory") << bytes.left(20) << "does not fit";
        }
        {
            RawPack raw = valid();
            raw.deflateDirectory = true;
            raw.claimedUnpackedDirectory = raw.directory().size() - 10; // inflates past its size
            QTest::newRow("directory inflates past its size") << raw.bytes() << "does not unpack";
        }
        {
            RawPack raw = valid();
            raw.deflateDirectory = true;
            raw.claimedUnpackedDirectory = qint64(0xFFFFFFF0); // claims 4 GiB
            QTest::newRow("directory claims 4 GiB") << raw.bytes() << "does not unpack";
        }
        {
            RawPack raw = valid();
            raw.deflateDirectory = true;
            QByteArray bytes = raw.bytes();
            bytes[12] = char(bytes[12] ^ 0x55); // corrupt deflate data
            QTest::newRow("corrupt directory") << bytes << "does not unpack";
        }
        {
            RawPack raw = valid();
            raw.folders = {{0, 1000000}};
            QTest::newRow("folder past the entries") << raw.bytes() << "past the end";
        }
        {
            RawPack raw = valid();
            QByteArray bytes = raw.bytes();
            // entry count far beyond what the directory holds
            const quint32 masked = 0x10000000u;
            qToLittleEndian(masked, bytes.data() + 8 + 4);
            QTest::newRow("entry count too large") << bytes << "do not fit";
        }
        {
            RawPack raw = valid();
            raw.rootFolder = 3;
            QTest::newRow("root folder missing") << raw.bytes() << "root folder";
        }
        {
            RawPack raw = valid();
            raw.entries[0].offset = 1000;
            QTest::newRow("data outside the file") << raw.bytes() << "outside the file";
        }
        {
            RawPack raw = valid();
            raw.entries[0].name = "A\nB\x1b.HTM";
            raw.entries[0].offset = 1000;
            QTest::newRow("the name in the message is escaped")
                << raw.bytes() << "the data of A\\nB\\x1b.HTM lies outside the file";
        }
        {
            RawPack raw = valid();
            raw.entries.append({"SELF", 0, 0, 0, 2});
            raw.folders = {{0, 2}};
            QTest::newRow("folder holding itself") << raw.bytes() << "not a folder of its own";
        }
        {
            RawPack raw = valid();
            raw.entries.append({"LOOP", 1, 0, 0, 2});
            raw.folders = {{0, 2}, {1, 1}};
            QTest::newRow("folders sharing entries") << raw.bytes() << "share";
        }
        {
            RawPack raw = valid();
            raw.entries.append({"GONE", 7, 0, 0, 2});
            raw.folders = {{0, 2}};
            QTest::newRow("folder index out of range") << raw.bytes() << "not a folder of its own";
        }
        {
            // 300,000 copies of one record: 24 MB of directory in 80 KB of file, inflating 290 to 1
            // (a real directory of distinct records inflates about 30 to 1 at most). Such bombs
            // grow to 1 GiB of directory and gigabytes of entries from a few megabytes.
            RawPack raw;
            raw.rawDirectory = RawPack::oneFolderDirectory(300000, [](quint32) { return RawEntry{"A", 0, 0, 0, 1}; });
            raw.deflateDirectory = true;
            const QByteArray bytes = raw.bytes();
            QVERIFY(bytes.size() * 100 < raw.rawDirectory.size());
            QTest::newRow("directory bomb") << bytes << "no pack directory of";
        }
        {
            RawPack raw;
            raw.rawDirectory = RawPack::oneFolderDirectory(1000, [](quint32) { return RawEntry{"A", 0, 0, 0, 1}; });
            raw.deflateDirectory = true;
            raw.claimedUnpackedDirectory = PackFormat::kMaxDirectorySize + 1; // as much as a 4 GiB directory
            QTest::newRow("directory larger than any pack's") << raw.bytes() << "no pack directory of";
        }
        QTest::newRow("more entries than a pack holds")
            << numberedEmptyFiles(quint32(PackFormat::kMaxEntries + 1)) << "more than a pack holds";
    }

    void damagedPack_isRefusedAndDiskStillServes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        ContentPack& pack = open(bytes, false);
        QVERIFY(!pack.isOpen());
        QVERIFY2(pack.errorString().contains(reason), qPrintable(pack.errorString()));
        QCOMPARE(pack.FindPackEntry("a.htm"), -1);
        QVERIFY(pack.ListPackFiles().isEmpty());
        writeTestFile(m_root + "a.htm", "disk");
        QCOMPARE(read(pack, m_root + "a.htm"), QByteArray("disk"));
    }

    void damagedEntry_readsAsMissing_data()
    {
        QTest::addColumn<int>("damage");
        QTest::newRow("inflates past its size") << 0;
        QTest::newRow("inflates short of its size") << 1;
        QTest::newRow("corrupt stream") << 2;
        QTest::newRow("claims far more than deflate can give") << 3;
    }

    void damagedEntry_readsAsMissing()
    {
        QFETCH(int, damage);
        const QByteArray text = QByteArray("brake pads ").repeated(200);
        RawPack raw;
        RawEntry entry = raw.deflatedFile("A.HTM", text);
        switch (damage) {
        case 0:
            entry.size = quint32(text.size() - 1);
            break;
        case 1:
            entry.size = quint32(text.size() + 1);
            break;
        case 2:
            raw.data[5] = char(raw.data[5] ^ 0xFF);
            raw.data[6] = char(raw.data[6] ^ 0xFF);
            break;
        case 3:
            entry.size = 0xFFFFFFF0u;
            break;
        }
        raw.entries = {entry, raw.storedFile("B.HTM", "fine")};
        raw.folders = {{0, 2}};
        ContentPack& pack = open(raw.bytes());
        QByteArray data;
        QCOMPARE(pack.loadEntry(pack.FindPackEntry("a.htm"), data), ContentPack::Load::Corrupt);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("damaged"));
        QVERIFY(!pack.readFile("a.htm"));
        QCOMPARE(read(pack, "b.htm"), QByteArray("fine"));
    }

    void packAtTheEntryLimit_opens()
    {
        ContentPack& pack = open(numberedEmptyFiles(quint32(PackFormat::kMaxEntries)));
        QVERIFY(pack.isOpen());
        QCOMPARE(pack.entries().size(), PackFormat::kMaxEntries);
        QCOMPARE(read(pack, "f1048575"), QByteArray());
    }

    // An entry that claims 1 GiB from 1.1 MB of stored bytes (within deflate's 1032 to 1) while
    // its stream gives far less: read as missing without reserving the gigabyte first.
    void hugeClaimedEntry_readsAsMissingWithoutTheMemory()
    {
        RawPack raw;
        RawEntry entry = raw.deflatedFile("BIG.HTM", noise(1100000, 3));
        entry.size = quint32(1) << 30;
        raw.entries = {entry, raw.storedFile("B.HTM", "fine")};
        raw.folders = {{0, 2}};
        ContentPack& pack = open(raw.bytes());
        QVERIFY(pack.isOpen());
        QByteArray data;
        {
            const AddressSpaceLimit limit(256 << 20);
            if (!limit.active())
                QSKIP("the address space cannot be limited here");
            QCOMPARE(pack.loadEntry(pack.FindPackEntry("big.htm"), data), ContentPack::Load::Corrupt);
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("damaged"));
            QVERIFY(!pack.readFile("big.htm"));
        }
        QCOMPARE(read(pack, "b.htm"), QByteArray("fine"));
    }

    // A directory the process cannot hold refuses the pack like a damaged one; nothing escapes.
    void directoryBeyondMemory_isRefused()
    {
        const QString path = m_root + "big.dat";
        writeTestFile(path, numberedEmptyFiles(quint32(PackFormat::kMaxEntries)));
        writeTestFile(m_root + "a.htm", "disk");
        ContentPack pack(*m_disk);
        {
            const AddressSpaceLimit limit(32 << 20);
            if (!limit.active())
                QSKIP("the address space cannot be limited here");
            QVERIFY(!pack.OpenPack(path));
        }
        QVERIFY2(pack.errorString().contains("does not fit in memory"), qPrintable(pack.errorString()));
        QCOMPARE(read(pack, m_root + "a.htm"), QByteArray("disk"));
    }

    // Many folders holding the same empty files deflate past what the reader accepts of a
    // directory: the writer stores such a directory, and the pack opens.
    void writer_storesADirectoryThatDeflatesTooWell()
    {
        PackWriter writer;
        for (int folder = 0; folder < 300; ++folder) {
            for (int file = 0; file < 100; ++file)
                writer.addFile(QStringLiteral("d%1/f%2.idx").arg(folder).arg(file), QByteArray());
        }
        const QByteArray bytes = writer.build();
        ContentPack& pack = open(bytes);
        QVERIFY(pack.isOpen());
        QCOMPARE(pack.ListPackFiles().size(), 30000);
        QCOMPARE(qFromLittleEndian<quint32>(bytes.constData()) ^ PackFormat::kSizeDifferenceMask, 0u); // stored
    }

    void writer_refusesNamesItCannotStore()
    {
        PackWriter writer;
        QVERIFY_THROWS_EXCEPTION(ContentError, writer.addFile(QString(65, QLatin1Char('n')), "x"));
        QVERIFY_THROWS_EXCEPTION(ContentError, writer.addFile(QStringLiteral(u"图.htm"), "x"));
        writer.addFile(QStringLiteral("a.htm"), "x");
        QVERIFY_THROWS_EXCEPTION(ContentError, writer.addFile(QStringLiteral("A.HTM"), "y"));
        QVERIFY_THROWS_EXCEPTION(ContentError, writer.addFile(QStringLiteral("a.htm/x"), "y"));
        writer.addFile(QString(64, QLatin1Char('n')), "64 bytes fit");
    }

    void writer_packsAFolderTree()
    {
        writeTestFile(m_root + "src/Html/Page.htm", QByteArray("page ").repeated(50));
        writeTestFile(m_root + QStringLiteral(u"src/Картинки/Рис.bmp"), noise(100, 2));
        QDir().mkpath(m_root + "src/empty");
        const QString out = m_root + "src/interface.dat";
        writeTestFile(out, "an older pack that must not be packed into the new one");
        PackWriter::fromFolder(m_root + "src", out).write(out);
        ContentPack pack(*m_disk);
        QVERIFY(pack.OpenPack(out));
        QCOMPARE(pack.ListPackFiles(), (QStringList{"HTML/PAGE.HTM", QStringLiteral(u"КАРТИНКИ/РИС.BMP")}));
        QVERIFY(pack.FindPackEntry("empty") < 0);
        QVERIFY(pack.FindPackEntry("interface.dat") < 0);
    }

private:
    ContentPack& open(const QByteArray& bytes, bool mustOpen = true)
    {
        const QString path = m_root + QStringLiteral("pack%1.dat").arg(m_next++);
        writeTestFile(path, bytes);
        m_packs.emplace_back(std::make_unique<ContentPack>(*m_disk));
        ContentPack& pack = *m_packs.back();
        const bool opened = pack.OpenPack(path);
        if (mustOpen && !opened)
            qWarning("%s", qPrintable(pack.errorString()));
        return pack;
    }

    static QByteArray read(const ContentPack& pack, const QString& path)
    {
        return pack.readFile(path).value_or(QByteArray("<missing>"));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<PathResolver> m_disk;
    std::vector<std::unique_ptr<ContentPack>> m_packs;
    QString m_root;
    int m_next = 0;
};

QTEST_GUILESS_MAIN(TestContentPack)
#include "tst_contentpack.moc"
