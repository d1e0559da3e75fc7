// Look-ups in the full-text index: which keyword a word is, which pages it lists, and what the
// user is told when the index is missing or cannot be read.

#include "contentpack.h"
#include "indexfixture.h"
#include "makefind.h"
#include "packwriter.h"
#include "pathresolver.h"
#include "rawpack.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

struct IndexFiles
{
    QStringList keywords;
    QStringList numbers;
    QStringList files;
};

// The three files of the tests that do not care about the details.
const IndexFiles kBrakes{{u"тормоз"_qs, u"колодка"_qs}, {"1:2", "2"}, {"a.htm#:#A", "b.htm#:#B"}};

} // namespace

class TestMakeFind : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_find.reset();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_root = m_dir->path() + QLatin1Char('/');
        m_pack = std::make_unique<ContentPack>(m_disk);
    }

    void lookup_listsThePagesOfTheWord_data()
    {
        QTest::addColumn<QStringList>("keywords");
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<QStringList>("expectedFiles");
        QTest::addColumn<QStringList>("expectedTitles");

        const QStringList twoCases{u"тормоз"_qs, u"Тормоз"_qs};
        const QStringList numbers{"1", "2"};
        const QStringList abc{"a.htm#:#A", "b.htm#:#B", "c.htm#:#C"};
        QTest::newRow("any case: first line of the word")
            << twoCases << numbers << abc << u"ТОРМОЗ"_qs << false << QStringList{"a.htm"} << QStringList{"A"};
        QTest::newRow("case-sensitive: the exact line")
            << twoCases << numbers << abc << u"Тормоз"_qs << true << QStringList{"b.htm"} << QStringList{"B"};
        QTest::newRow("case-sensitive: no exact line")
            << twoCases << numbers << abc << u"ТОРМОЗ"_qs << true << QStringList{} << QStringList{};
        QTest::newRow("ё and Ё are one letter in any case")
            << QStringList{u"ёлка"_qs} << QStringList{"2"} << abc << u"ЁЛКА"_qs << false << QStringList{"b.htm"}
            << QStringList{"B"};
        QTest::newRow("a keyword with a trailing blank never matches")
            << QStringList{u"тормоз "_qs} << QStringList{"1"} << abc << u"тормоз"_qs << false << QStringList{}
            << QStringList{};
        QTest::newRow("a longer keyword does not match a prefix")
            << QStringList{u"тормоза"_qs} << QStringList{"1"} << abc << u"тормоз"_qs << false << QStringList{}
            << QStringList{};
        QTest::newRow("results follow files.idx, not the number list")
            << QStringList{"x"} << QStringList{"3:1"} << abc << "x" << false << QStringList{"a.htm", "c.htm"}
            << QStringList{"A", "C"};
        QTest::newRow("a page listed twice comes once") << QStringList{"x"} << QStringList{"2 : 2:2"} << abc << "x"
                                                        << false << QStringList{"b.htm"} << QStringList{"B"};
        QTest::newRow("numbers beyond files.idx and 0 are ignored")
            << QStringList{"x"} << QStringList{"7:0:2:99999999999999999999"} << abc << "x" << false
            << QStringList{"b.htm"} << QStringList{"B"};
        QTest::newRow("only numbers beyond files.idx: not found")
            << QStringList{"x"} << QStringList{"4"} << abc << "x" << false << QStringList{} << QStringList{};
        QTest::newRow("fields that are not numbers are skipped, the rest count")
            << QStringList{"x"} << QStringList{"1:x2:3 "} << abc << "x" << false << QStringList{"a.htm"}
            << QStringList{"A"};
        QTest::newRow("an LF inside a line is ignored")
            << QStringList{"x", u"тор\nмоз"_qs} << QStringList{"1", "\n2\n"} << abc << u"тормоз"_qs << false
            << QStringList{"b.htm"} << QStringList{"B"};
        QTest::newRow("a keyword past the end of index.idx: not found")
            << QStringList{"x", "y", "z"} << QStringList{"1", "2"} << abc << "z" << false << QStringList{}
            << QStringList{};
        QTest::newRow("the empty piece after the last line end is no keyword")
            << QStringList{"x"} << QStringList{"1", "2"} << abc << QString() << false << QStringList{} << QStringList{};
        QTest::newRow("paths with '\\' come with '/'")
            << QStringList{"x"} << QStringList{"1"} << QStringList{u"html\\Глава1.htm#:#Глава 1"_qs} << "x" << false
            << QStringList{u"html/Глава1.htm"_qs} << QStringList{u"Глава 1"_qs};
        QTest::newRow("a page without a title is listed under its path")
            << QStringList{"x"} << QStringList{"1:2:3"} << QStringList{"a.htm", "", "b.htm#:#"} << "x" << false
            << QStringList{"a.htm", "b.htm"} << QStringList{"a.htm", ""};
        QTest::newRow("pages outside the manual's folder are left out")
            << QStringList{"x"} << QStringList{"1:2:3:4:5"}
            << QStringList{"..\\..\\outside.htm#:#Out", "/etc/passwd#:#Abs", "d:\\x.htm#:#Drive", "t/../../up.htm#:#Up",
                           "t/../in.htm#:#In"}
            << "x" << false << QStringList{"t/../in.htm"} << QStringList{"In"};
    }

    void lookup_listsThePagesOfTheWord()
    {
        QFETCH(QStringList, keywords);
        QFETCH(QStringList, numbers);
        QFETCH(QStringList, files);
        QFETCH(QString, word);
        QFETCH(bool, caseSensitive);
        QFETCH(QStringList, expectedFiles);
        QFETCH(QStringList, expectedTitles);
        writeIndex({keywords, numbers, files});

        QStringList foundFiles;
        QStringList foundTitles;
        const IndexLookup lookup = finder().FindInIndex(word, foundFiles, foundTitles, caseSensitive);
        QCOMPARE(lookup.found, !expectedFiles.isEmpty());
        QCOMPARE(lookup.message, IndexMessage::None);
        QCOMPARE(foundFiles, expectedFiles);
        QCOMPARE(foundTitles, expectedTitles);
    }

    void lookup_lastLineWithoutItsEndStillCounts()
    {
        writeTestFile(m_root + "keywords.idx", indexText({"x", "y"}, false));
        writeTestFile(m_root + "index.idx", indexText({"1", "2"}, false));
        writeTestFile(m_root + "files.idx", indexText({"a.htm#:#A", "b.htm#:#B"}, false));
        QStringList files{"earlier.htm"};
        QStringList titles{"Earlier"};
        QVERIFY(finder().FindInIndex("Y", files, titles, false));
        QCOMPARE(files, (QStringList{"earlier.htm", "b.htm"}));
        QCOMPARE(titles, (QStringList{"Earlier", "B"}));
    }

    // One query object keeps the files it read, and reads them again once they change.
    void keptInMemory_untilTheFilesChange()
    {
        writeIndex({{"x", "y"}, {"1", "2"}, {"a.htm#:#A", "b.htm#:#B"}});
        TMakeFind& find = finder();
        QStringList files;
        QStringList titles;
        QVERIFY(find.FindInIndex("y", files, titles, false));
        QVERIFY(find.FindInIndex("Y", files, titles, false));
        QCOMPARE(files, (QStringList{"b.htm", "b.htm"}));

        // (Changed as a rebuilt index changes: in size, or in time.)
        writeIndex({{"y", "zz"}, {"2", "1:3"}, {"c.htm#:#C", "d.htm#:#D", "e.htm#:#E"}});
        files.clear();
        titles.clear();
        QVERIFY(find.FindInIndex("y", files, titles, false));
        QVERIFY(find.FindInIndex("ZZ", files, titles, false));
        QCOMPARE(files, (QStringList{"d.htm", "c.htm", "e.htm"}));
        QVERIFY(!find.FindInIndex("x", files, titles, false));
    }

    void missingFile_givesTheMissingIndexMessage_data()
    {
        QTest::addColumn<QString>("missing");
        QTest::newRow("keywords.idx") << "keywords.idx";
        QTest::newRow("index.idx") << "index.idx";
        QTest::newRow("files.idx") << "files.idx";
    }

    void missingFile_givesTheMissingIndexMessage()
    {
        QFETCH(QString, missing);
        writeIndex(kBrakes);
        QVERIFY(QFile::remove(m_root + missing));

        TMakeFind find(*m_pack);
        find.SetIndexFolder(m_root);
        QVERIFY(!find.IndexFilesExist());
        QStringList files;
        QStringList titles;
        const IndexLookup lookup = find.FindInIndex(u"тормоз"_qs, files, titles, false);
        QVERIFY(!lookup);
        QCOMPARE(lookup.message, IndexMessage::IndexFilesMissing);
        QCOMPARE(indexMessageText(lookup.message), u"Индескный(е) файл(ы) не найден"_qs);
        QVERIFY(!isIndexWarning(lookup.message));
        QVERIFY(files.isEmpty() && titles.isEmpty());
    }

    // A packed file that does not unpack exists but cannot be opened.
    void unreadableFile_givesItsWarning_data()
    {
        QTest::addColumn<QByteArray>("damaged");
        QTest::addColumn<int>("message");
        QTest::addColumn<QString>("text");
        QTest::newRow("keywords.idx") << QByteArray("KEYWORDS.IDX") << int(IndexMessage::KeywordsUnreadable)
                                      << u"Индексный файл не найден (keywords.idx)"_qs;
        QTest::newRow("index.idx") << QByteArray("INDEX.IDX") << int(IndexMessage::NumbersUnreadable)
                                   << u"Индексный файл не найден (index.idx)"_qs;
        QTest::newRow("files.idx") << QByteArray("FILES.IDX") << int(IndexMessage::FilesUnreadable)
                                   << u"Индексный файл не найден (files.idx)"_qs;
    }

    void unreadableFile_givesItsWarning()
    {
        QFETCH(QByteArray, damaged);
        QFETCH(int, message);
        QFETCH(QString, text);
        RawPack raw;
        for (const auto& [name, lines] :
             {std::pair{QByteArray("KEYWORDS.IDX"), kBrakes.keywords},
              std::pair{QByteArray("INDEX.IDX"), kBrakes.numbers}, std::pair{QByteArray("FILES.IDX"), kBrakes.files}}) {
            if (name == damaged) {
                raw.entries.append({name, quint32(raw.data.size()), 4, 100, 1});
                raw.data += "junk";
            } else {
                raw.entries.append(raw.storedFile(name, indexText(lines)));
            }
        }
        raw.folders = {{0, quint32(raw.entries.size())}};
        openPack(raw.bytes());

        TMakeFind find(*m_pack);
        find.SetIndexFolder(m_root);
        QVERIFY(find.IndexFilesExist());
        QStringList files;
        QStringList titles;
        const IndexLookup lookup = find.FindInIndex(u"тормоз"_qs, files, titles, false);
        QVERIFY(!lookup);
        QCOMPARE(int(lookup.message), message);
        QCOMPARE(indexMessageText(lookup.message), text);
        QVERIFY(isIndexWarning(lookup.message));
        QVERIFY(files.isEmpty());
    }

    void indexFiles_areFoundInThePackAndOnDisk_data()
    {
        QTest::addColumn<bool>("packed");
        QTest::addColumn<bool>("onDisk");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("pack only") << true << false << QStringList{"packed.htm"};
        QTest::newRow("disk only") << false << true << QStringList{"disk.htm"};
        QTest::newRow("both: the packed files are read") << true << true << QStringList{"packed.htm"};
    }

    void indexFiles_areFoundInThePackAndOnDisk()
    {
        QFETCH(bool, packed);
        QFETCH(bool, onDisk);
        QFETCH(QStringList, expected);
        PackWriter writer;
        writer.addFile("readme.txt", "pack");
        if (packed) {
            writer.addFile("keywords.idx", indexText({u"масло"_qs}));
            writer.addFile("INDEX.IDX", indexText({"1"}));
            writer.addFile("Files.Idx", indexText({"packed.htm#:#P"}));
        }
        if (onDisk)
            writeIndex({{u"масло"_qs}, {"1"}, {"disk.htm#:#D"}});
        openPack(writer.build());

        TMakeFind find(*m_pack);
        find.SetIndexFolder(m_dir->path() + QLatin1Char('\\'));
        QStringList files;
        QStringList titles;
        QVERIFY(find.FindInIndex(u"МАСЛО"_qs, files, titles, false));
        QCOMPARE(files, expected);
    }

private:
    void writeIndex(const IndexFiles& index)
    {
        writeTestFile(m_root + "keywords.idx", indexText(index.keywords));
        writeTestFile(m_root + "index.idx", indexText(index.numbers));
        writeTestFile(m_root + "files.idx", indexText(index.files));
    }

    void openPack(const QByteArray& bytes)
    {
        writeTestFile(m_root + "interface.dat", bytes);
        QVERIFY(m_pack->OpenPack(m_root + "interface.dat"));
        m_pack->SetPackBase(m_root);
    }

    TMakeFind& finder()
    {
        m_find = std::make_unique<TMakeFind>(*m_pack);
        m_find->SetIndexFolder(m_root);
        return *m_find;
    }

    PathResolver m_disk;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root;
    std::unique_ptr<ContentPack> m_pack;
    std::unique_ptr<TMakeFind> m_find;
};

QTEST_GUILESS_MAIN(TestMakeFind)
#include "tst_makefind.moc"
