// The scan across pages: what of a page counts as its text, which pages a scan walks, and how it
// goes on from one hit to the next.

#include "codepage.h"
#include "contentpack.h"
#include "packwriter.h"
#include "pagescan.h"
#include "pathresolver.h"
#include "testfiles.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <tuple>

#include <sys/stat.h>

class TestPageScan : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void visibleText_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QString>("query");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("found");

        const auto cp = [](const char16_t* text) { return toCp1251(QString::fromUtf16(text)); };
        const auto utf8 = [](const char16_t* text) { return QString::fromUtf16(text).toUtf8(); };

        // Charsets.
        QTest::newRow("no charset: code page 1251")
            << cp(u"<p>Тормозная жидкость</p>") << u"жидкость"_qs << false << true;
        QTest::newRow("declared utf-8") << utf8(u"<meta charset=\"utf-8\"><p>Тормозная жидкость</p>") << u"жидкость"_qs
                                        << false << true;
        QTest::newRow("utf-8 in http-equiv")
            << utf8(u"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\"><p>Колодки</p>")
            << u"колодки"_qs << false << true;
        QTest::newRow("utf-8 byte order mark")
            << QByteArray("\xEF\xBB\xBF") + utf8(u"<p>Колодки</p>") << u"колодки"_qs << false << true;
        QTest::newRow("declared windows-1251")
            << cp(u"<meta charset=windows-1251><p>Колодки</p>") << u"колодки"_qs << false << true;
        QTest::newRow("utf-8 page without a declaration is read as utf-8, as the pane shows it")
            << utf8(u"<p>Колодки</p>") << u"колодки"_qs << false << true;
        QTest::newRow("unknown charset: 1251")
            << cp(u"<meta charset=x-nonesuch><p>Колодки</p>") << u"колодки"_qs << false << true;

        // Character references.
        QTest::newRow("numeric reference")
            << QByteArray("<p>&#1090;&#x43E;&#1088;&#1084;&#1086;&#1079;</p>") << u"тормоз"_qs << false << true;
        QTest::newRow("named references")
            << cp(u"<p>&laquo;Лада&raquo; &amp; Ко</p>") << u"«Лада» & Ко"_qs << false << true;
        QTest::newRow("no-break space is a blank") << cp(u"<p>10&nbsp;мм</p>") << u"10 мм"_qs << false << true;
        QTest::newRow("markup text is not found as written") << cp(u"<p>&amp;lt;</p>") << u"&lt;"_qs << false << true;
        QTest::newRow("tags are not text") << cp(u"<p class=\"колодки\">диск</p>") << u"колодки"_qs << false << false;

        // Hidden text.
        QTest::newRow("title") << cp(u"<title>Колодки</title><p>диск</p>") << u"колодки"_qs << false << false;
        QTest::newRow("script") << cp(u"<script>var s='колодки';</script><p>диск</p>") << u"колодки"_qs << false
                                << false;
        QTest::newRow("style") << cp(u"<style>/* колодки */</style><p>диск</p>") << u"колодки"_qs << false << false;
        QTest::newRow("comment") << cp(u"<!-- колодки --><p>диск</p>") << u"колодки"_qs << false << false;
        QTest::newRow("inline tag inside a word") << cp(u"<p>дви<b>гатель</b></p>") << u"двигатель"_qs << false << true;

        // White space.
        QTest::newRow("line break between words")
            << cp(u"<p>тормозная\r\n   жидкость</p>") << u"тормозная жидкость"_qs << false << true;

        // Case.
        QTest::newRow("Cyrillic, any case") << cp(u"<p>ТОРМОЗ</p>") << u"тормоз"_qs << false << true;
        QTest::newRow("Ё and ё") << cp(u"<p>ЁЛКА</p>") << u"ёлка"_qs << false << true;
        QTest::newRow("е is not ё") << cp(u"<p>ёлка</p>") << u"елка"_qs << false << false;
        QTest::newRow("match case: same case") << cp(u"<p>Тормоз</p>") << u"Тормоз"_qs << true << true;
        QTest::newRow("match case: other case") << cp(u"<p>Тормоз</p>") << u"тормоз"_qs << true << false;
        QTest::newRow("match case: Ё") << cp(u"<p>Ёлка</p>") << u"ёлка"_qs << true << false;
    }

    void visibleText()
    {
        QFETCH(QByteArray, page);
        QFETCH(QString, query);
        QFETCH(bool, matchCase);
        QFETCH(bool, found);
        const QString visible = visiblePageText(page);
        QVERIFY2(visibleTextContains(visible, searchQuery(query), matchCase) == found, qPrintable(visible));
        // The scan's matcher, with its quick look at the bytes, answers the same.
        QCOMPARE(PageMatcher(searchQuery(query), matchCase).matches(page), found);
    }

    // The quick look at a page's bytes may let a page through that does not hold the query, but it
    // must never turn away one that does: pages made of the pieces that change what a reader sees
    // (markup inside words, references, blanks, soft hyphens, comments, scripts, the head), each
    // searched for words it holds and does not hold, as a reader would type them.
    void quickLook_neverMissesAPage_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QString>("query");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("found");
        const auto cp = [](const char16_t* text) { return toCp1251(QString::fromUtf16(text)); };
        QTest::newRow("inline tag inside the word") << cp(u"<p>тор<b>моз</b></p>") << u"тормоз"_qs << false << true;
        QTest::newRow("block tag breaks the word") << cp(u"<p>тор<p>моз</p>") << u"тормоз"_qs << false << false;
        QTest::newRow("block tag is the blank") << cp(u"<td>тормоз</td><td>диск") << u"тормоз диск"_qs << false << true;
        QTest::newRow("blank run and tags between words")
            << cp(u"тормоз \r\n<b> </b>\t диск") << u"тормоз диск"_qs << false << true;
        QTest::newRow("no-break space byte") << cp(u"10\u00A0мм") << u"10 мм"_qs << false << true;
        QTest::newRow("soft hyphen byte") << cp(u"дви\u00ADгатель") << u"двигатель"_qs << false << true;
        QTest::newRow("comment inside the word") << cp(u"дви<!-- x -->гатель") << u"двигатель"_qs << false << true;
        QTest::newRow("unclosed comment hides the rest") << cp(u"дви<!-- гатель") << u"двигатель"_qs << false << false;
        QTest::newRow("script inside the word")
            << cp(u"дви<script>x</script>гатель") << u"двигатель"_qs << false << true;
        QTest::newRow("title inside the word") << cp(u"дви<title>x</title>гатель") << u"двигатель"_qs << false << true;
        QTest::newRow("word only in the head")
            << cp(u"<head>двигатель</head><body>x</body>") << u"двигатель"_qs << false << false;
        QTest::newRow("word only in an attribute")
            << cp(u"<a title=\"двигатель\">x</a>") << u"двигатель"_qs << false << false;
        QTest::newRow("quoted '>' in a tag inside the word")
            << cp(u"дви<span title='>'>гатель</span>") << u"двигатель"_qs << false << true;
        QTest::newRow("numeric reference starts the word")
            << QByteArray("&#1090;") + cp(u"ормоз") << u"тормоз"_qs << false << true;
        QTest::newRow("reference split by a tag")
            << QByteArray("&<b>#1090;</b>") + cp(u"ормоз") << u"тормоз"_qs << false << true;
        QTest::newRow("named reference begins the query") << cp(u"&laquo;Лада&raquo;") << u"«лада»"_qs << false << true;
        QTest::newRow("micro sign by name, any case") << cp(u"5 &micro;м") << u"Μм"_qs << false << true;
        QTest::newRow("reference in the middle") << cp(u"тор&#1084;оз") << u"тормоз"_qs << false << true;
        QTest::newRow("a '<' that is text") << cp(u"a <b> c < d") << u"c < d"_qs << false << true;
        QTest::newRow("query beginning with '<'") << cp(u"x <3 y") << u"<3"_qs << false << true;
        QTest::newRow("Ё any case") << cp(u"ЁЛКА") << u"ёлка"_qs << false << true;
        QTest::newRow("match case: other case") << cp(u"Тормоз") << u"тормоз"_qs << true << false;
        QTest::newRow("utf-8 page") << u"<meta charset=utf-8><p>тор<b>моз</b>"_qs.toUtf8() << u"тормоз"_qs << false
                                    << true;
    }

    void quickLook_neverMissesAPage()
    {
        QFETCH(QByteArray, page);
        QFETCH(QString, query);
        QFETCH(bool, matchCase);
        QFETCH(bool, found);
        QCOMPARE(visibleTextContains(visiblePageText(page), query, matchCase), found);
        const PageMatcher matcher(query, matchCase);
        QVERIFY(!found || matcher.mayMatch(page));
        QCOMPARE(matcher.matches(page), found);
    }

    // The same over many pages drawn at random from those pieces, against reading each page whole.
    void quickLook_agreesWithReadingWhole()
    {
        const QStringList pieces{
            u"тор"_qs,      u"моз"_qs,       u"Тор"_qs,          u"МОЗ"_qs,      u"диск"_qs,   u" "_qs,
            u"  "_qs,       u"\r\n"_qs,      u"\t"_qs,           u"\u00A0"_qs,   u"\u00AD"_qs, u"<b>"_qs,
            u"</b>"_qs,     u"<p>"_qs,       u"<br/>"_qs,        u"<!--x-->"_qs, u"<!--"_qs,   u"-->"_qs,
            u"<script>"_qs, u"</script>"_qs, u"<title>"_qs,      u"</title>"_qs, u"<head>"_qs, u"</head>"_qs,
            u"<body>"_qs,   u"&nbsp;"_qs,    u"&shy;"_qs,        u"&#1090;"_qs,  u"&amp;"_qs,  u"&"_qs,
            u"<"_qs,        u">"_qs,         u"<a href='>'>"_qs, u"ё"_qs,        u"Ё"_qs,      u"о"_qs,
            u"з"_qs,        u"<3"_qs,        u"&laquo;"_qs,      u"«"_qs,
        };
        const QStringList queries{u"тормоз"_qs, u"ТОРМОЗ"_qs, u"тор моз"_qs, u"моз диск"_qs, u"о"_qs,
                                  u"ёз"_qs,     u"т"_qs,      u"<3"_qs,      u"«тор"_qs,     u"з тор"_qs};
        QRandomGenerator random(20240601);
        int pages = 0;
        int quickNo = 0;
        for (int round = 0; round < 4000; ++round) {
            QString html;
            const int count = 1 + int(random.bounded(12));
            for (int i = 0; i < count; ++i)
                html += pieces[random.bounded(int(pieces.size()))];
            const QByteArray page = toCp1251(html);
            const QString visible = visiblePageText(page);
            for (const QString& query : queries) {
                for (const bool matchCase : {false, true}) {
                    const bool found = visibleTextContains(visible, query, matchCase);
                    const PageMatcher matcher(query, matchCase);
                    const bool may = matcher.mayMatch(page);
                    if (found && !may)
                        QFAIL(qPrintable(u"the quick look turned away \"%1\" in %2"_qs.arg(query, html)));
                    QCOMPARE(matcher.matches(page), found);
                    quickNo += !may;
                    ++pages;
                }
            }
        }
        // The quick look does turn pages away, or it would be no quicker.
        QVERIFY2(quickNo > pages / 4, qPrintable(u"%1 of %2"_qs.arg(quickNo).arg(pages)));
    }

    void searchQuery_collapsesBlanks_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("query");
        QTest::newRow("blanks only") << u"   \t "_qs << QString();
        QTest::newRow("trimmed, runs made one") << u"  тормозная    жидкость "_qs << u"тормозная жидкость"_qs;
    }

    void searchQuery_collapsesBlanks()
    {
        QFETCH(QString, typed);
        QFETCH(QString, query);
        QCOMPARE(searchQuery(typed), query);
        QVERIFY(!visibleTextContains(u"любой текст"_qs, QString(), false));
    }

    // Pages on disk and in the pack, each once, whichever case either writes them in.
    void listScanPages_diskThenPack_eachOnce()
    {
        QTemporaryDir dir;
        const QString root = dir.path() + QLatin1Char('/');
        writeTestFile(root + "index.htm", "<p>x</p>");
        writeTestFile(root + "html/glava1.htm", "<p>x</p>");
        writeTestFile(root + "html/notes.txt", "x");
        writeTestFile(root + "man/a.html", "<p>x</p>");
        PackWriter writer;
        writer.addFile(u"HTML/GLAVA1.HTM"_qs, "<p>packed</p>");
        writer.addFile(u"HTML/GLAVA2.HTM"_qs, "<p>x</p>");
        writer.addFile(u"PIC/A.GIF"_qs, "GIF");
        writer.write(root + "interface.dat");

        PathResolver disk;
        ContentPack pack(disk);
        QVERIFY(pack.OpenPack(root + "interface.dat"));
        pack.SetPackBase(root);
        QCOMPARE(listScanPages(pack, root),
                 (QStringList{u"index.htm"_qs, u"html/glava1.htm"_qs, u"man/a.html"_qs, u"HTML/GLAVA2.HTM"_qs}));

        ScanListOptions options;
        options.excludedFolders = {u"man"_qs};
        options.excludedFragments = {u"glava2"_qs};
        QCOMPARE(listScanPages(pack, root, options), (QStringList{u"index.htm"_qs, u"html/glava1.htm"_qs}));

        // The opener reads the pack's copy of a page both hold.
        const QStringList pages = listScanPages(pack, root);
        QCOMPARE(scanPages(pack, root, pages, 0, u"packed"_qs, false), 1);
    }

    // Links on disk: the walk visits each folder once, and reads only regular files.
    void listScanPages_linksAndOtherFiles()
    {
        QTemporaryDir dir;
        QTemporaryDir outside;
        const QString root = dir.path() + QLatin1Char('/');
        writeTestFile(root + "index.htm", "<p>x</p>");
        writeTestFile(root + "html/glava1.htm", "<p>x</p>");
        writeTestFile(outside.filePath("extra/more.htm"), "<p>x</p>");
        // Two links to the folder itself, a loop below it, a second way into html/, a folder
        // outside reached by a link (and a link inside it back to itself), pages that are no files.
        QVERIFY(QFile::link(root, root + "a"));
        QVERIFY(QFile::link(root, root + "b"));
        QVERIFY(QFile::link(root + "html", root + "html/loop"));
        QVERIFY(QFile::link(root + "html", root + "alias"));
        QVERIFY(QFile::link(outside.filePath("extra"), root + "extra"));
        QVERIFY(QFile::link(outside.filePath("extra"), outside.filePath("extra/again")));
        QVERIFY(QFile::link(u"/dev/zero"_qs, root + "zero.htm"));
        QVERIFY(mkfifo(QFile::encodeName(root + "pipe.htm").constData(), 0600) == 0);

        PathResolver disk;
        ContentPack pack(disk);
        const QStringList pages = listScanPages(pack, root);
        QCOMPARE(pages, (QStringList{u"index.htm"_qs, u"extra/more.htm"_qs, u"html/glava1.htm"_qs}));
        QCOMPARE(scanPages(pack, root, pages, 0, u"x"_qs, false), 0);
    }

    // The reader of a scan: regular files only, each at most kMaxPageBytes, the pack's copy first.
    void pageReader_readsOnlyRegularFilesOfBoundedSize()
    {
        QTemporaryDir dir;
        const QString root = dir.path() + QLatin1Char('/');
        writeTestFile(root + "page.htm", "<p>disk</p>");
        writeTestFile(root + "both.htm", "<p>disk</p>");
        QVERIFY(QFile::link(u"/dev/zero"_qs, root + "zero.htm"));
        QVERIFY(mkfifo(QFile::encodeName(root + "pipe.htm").constData(), 0600) == 0);
        QVERIFY(QFile::link(root + "page.htm", root + "link.htm"));
        {
            // A sparse file: larger than a page may be, without taking the disk.
            QFile large(root + "large.htm");
            QVERIFY(large.open(QIODevice::WriteOnly));
            QVERIFY(large.resize(kMaxPageBytes + 1));
        }
        PackWriter writer;
        writer.addFile(u"BOTH.HTM"_qs, "<p>packed</p>");
        writer.write(root + "interface.dat");
        PathResolver disk;
        ContentPack pack(disk);
        QVERIFY(pack.OpenPack(root + "interface.dat"));
        pack.SetPackBase(root);

        PageReader reader(pack);
        const QList<std::tuple<const char*, PageReader::Result, QByteArray>> cases{
            {"page.htm", PageReader::Result::Read, "<p>disk</p>"},
            {"link.htm", PageReader::Result::Read, "<p>disk</p>"},
            {"BOTH.htm", PageReader::Result::Read, "<p>packed</p>"},
            {"zero.htm", PageReader::Result::NotAFile, {}},
            {"pipe.htm", PageReader::Result::NotAFile, {}},
            {"large.htm", PageReader::Result::TooLarge, {}},
            {"missing.htm", PageReader::Result::Missing, {}},
        };
        for (const auto& [name, result, bytes] : cases) {
            QCOMPARE(reader.read(root + name), result);
            if (result == PageReader::Result::Read)
                QCOMPARE(reader.bytes(), QByteArrayView(bytes));
        }
    }

    // Page by page: each scan goes on after the last hit; an unreadable page is skipped; a stop
    // ends the scan before the next page.
    void scanPages_goesOnAndStops()
    {
        QTemporaryDir dir;
        const QString root = dir.path() + QLatin1Char('/');
        writeTestFile(root + "a.htm", toCp1251(u"<p>кузов</p>"_qs));
        writeTestFile(root + "b.htm", toCp1251(u"<p>тормоз</p>"_qs));
        writeTestFile(root + "c.htm", toCp1251(u"<p>ТОРМОЗ</p>"_qs));
        PathResolver disk;
        ContentPack pack(disk);
        const QStringList pages{u"a.htm"_qs, u"missing.htm"_qs, u"b.htm"_qs, u"c.htm"_qs};

        QCOMPARE(scanPages(pack, root, pages, 0, u"тормоз"_qs, false), 2);
        QCOMPARE(scanPages(pack, root, pages, 3, u"тормоз"_qs, false), 3);
        QCOMPARE(scanPages(pack, root, pages, 4, u"тормоз"_qs, false), -1);

        std::atomic_bool stop = false;
        QList<qsizetype> seen;
        const qsizetype hit = scanPages(pack, root, pages, 0, u"тормоз"_qs, false, &stop, [&](qsizetype page) {
            seen.append(page);
            stop = true; // asked while the first page is read
        });
        QCOMPARE(hit, -1);
        QCOMPARE(seen, (QList<qsizetype>{0}));
    }
};

QTEST_GUILESS_MAIN(TestPageScan)
#include "tst_pagescan.moc"
