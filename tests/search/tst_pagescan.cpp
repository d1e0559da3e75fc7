// The scan across pages: what of a page counts as its text, which pages a scan walks, and how it
// goes on from one hit to the next.

#include "codepage.h"
#include "contentpack.h"
#include "packwriter.h"
#include "pagescan.h"
#include "pathresolver.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <atomic>

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
