// The listing as pages: which folder pages there are and what rows they hold, the size and date
// texts, the folder names, and the bytes of the pages written.

#include "archivefixtures.h"
#include "listingpages.h"

#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(ArchiveEntry)

class TestListingPages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void folderPages_data();
    void folderPages();
    void sizeText_data();
    void sizeText();
    void dateText_data();
    void dateText();
    void tempFolderName_data();
    void tempFolderName();
    void longPathsKeepFoldersApart();
    void pagesAreEscapedAndKeepEveryCharacter();
    void entryNamesNeverBecomeAddresses_data();
    void entryNamesNeverBecomeAddresses();
};

namespace {

ArchiveEntry file(const QString& name, qint32 time = 0)
{
    return {name, false, 1, time};
}

ArchiveEntry folder(const QString& name, qint32 time = 0)
{
    return {name, true, 0, time};
}

// Each page as "folder: row, row | file, file", the ".." rows checked to lead to the parent's page.
QStringList describe(const QList<RInfoFiles>& records)
{
    QStringList pages;
    for (const RInfoFiles& record : records) {
        QStringList rows;
        for (const RListDir& row : record.SubDirs) {
            rows.append(row.Name);
            const QString leadsTo = row.Name == QLatin1String("..") ? archiveFolderOf(record.Dir)
                                    : record.Dir.isEmpty()          ? row.Name
                                                                    : record.Dir + QLatin1Char('/') + row.Name;
            const auto target =
                std::find_if(records.cbegin(), records.cend(), [&](const RInfoFiles& r) { return r.Page == row.Page; });
            if (target == records.cend() || target->Dir != leadsTo)
                rows.last() += QStringLiteral("(wrong page)");
        }
        QStringList files;
        for (const RListFiles& f : record.Files)
            files.append(archiveLastComponent(f.Name));
        pages.append(QStringLiteral("/%1: %2 | %3").arg(record.Dir, rows.join(u','), files.join(u',')));
    }
    return pages;
}

} // namespace

void TestListingPages::folderPages_data()
{
    QTest::addColumn<QList<ArchiveEntry>>("entries");
    QTest::addColumn<QStringList>("pages");
    QTest::newRow("top-level files only")
        << QList<ArchiveEntry>{file("a.txt"), file("b.txt")} << QStringList{"/:  | a.txt,b.txt"};
    QTest::newRow("a/b/c.txt without folder entries")
        << QList<ArchiveEntry>{file("a/b/c.txt")} << QStringList{"/: a | ", "/a/b: .. | c.txt", "/a: ..,b | "};
    QTest::newRow("folder entries") << QList<ArchiveEntry>{folder("x"), folder("x/y"), file("x/y/z.txt"),
                                                           file("top.txt")}
                                    << QStringList{"/: x | top.txt", "/x: ..,y | ", "/x/y: .. | z.txt"};
    QTest::newRow("a folder entry without its parent's") << QList<ArchiveEntry>{folder("p/q"), file("p/q/r.txt")}
                                                         << QStringList{"/: p | ", "/p/q: .. | r.txt", "/p: ..,q | "};
    QTest::newRow("the same folder twice, cases differ")
        << QList<ArchiveEntry>{folder("Docs"), folder("docs"), file("docs/d.txt")}
        << QStringList{"/: Docs | ", "/Docs: .. | d.txt"};
    QTest::newRow("empty archive") << QList<ArchiveEntry>{} << QStringList{"/:  | "};
    // Deep and wide: every folder once, each with its ".." and its one folder or file.
    QList<ArchiveEntry> deep{file(QStringList(300, QStringLiteral("d")).join(u'/') + QStringLiteral("/end.txt"))};
    QStringList deepPages{"/: d | "};
    for (int level = 300; level >= 1; --level)
        deepPages.append(QStringLiteral("/%1: ..%2 | %3")
                             .arg(QStringList(level, QStringLiteral("d")).join(u'/'),
                                  level < 300 ? QStringLiteral(",d") : QString(),
                                  level == 300 ? QStringLiteral("end.txt") : QString()));
    QTest::newRow("300 folders deep") << deep << deepPages;
    QList<ArchiveEntry> wide;
    QStringList widePages{"/: "};
    for (int n = 0; n < 300; ++n) {
        wide.append(file(QStringLiteral("f%1/x.txt").arg(n)));
        widePages.first() += (n ? QStringLiteral(",f") : QStringLiteral("f")) + QString::number(n);
        widePages.append(QStringLiteral("/f%1: .. | x.txt").arg(n));
    }
    widePages.first() += QStringLiteral(" | ");
    QTest::newRow("300 files in their own folders") << wide << widePages;
}

void TestListingPages::folderPages()
{
    QFETCH(QList<ArchiveEntry>, entries);
    QFETCH(QStringList, pages);
    int clock = 0;
    const QList<RInfoFiles> records =
        buildPageRecords(completeFolderList(entries), entries, [&clock] { return 1000 + clock++; });
    QCOMPARE(describe(records), pages);
    QCOMPARE(records.first().Page, QStringLiteral("as_01000.htm"));
}

void TestListingPages::sizeText_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << qint64(0) << QStringLiteral(u"0 байт");
    QTest::newRow("999") << qint64(999) << QStringLiteral(u"999 байт");
    QTest::newRow("1000") << qint64(1000) << QStringLiteral(u"1 Кбайт");
    QTest::newRow("1499") << qint64(1499) << QStringLiteral(u"1 Кбайт");
    QTest::newRow("1500, half to even") << qint64(1500) << QStringLiteral(u"2 Кбайт");
    QTest::newRow("2500, half to even") << qint64(2500) << QStringLiteral(u"2 Кбайт");
    QTest::newRow("2501") << qint64(2501) << QStringLiteral(u"3 Кбайт");
    QTest::newRow("millions") << qint64(3456789) << QStringLiteral(u"3\u00a0457 Кбайт");
    QTest::newRow("beyond 4 GB") << qint64(5000000000) << QStringLiteral(u"5\u00a0000\u00a0000 Кбайт");
}

void TestListingPages::sizeText()
{
    QFETCH(qint64, size);
    QFETCH(QString, text);
    QCOMPARE(::sizeText(size, archiveLocale()), text);
}

void TestListingPages::dateText_data()
{
    QTest::addColumn<qint32>("time");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << 0 << QString();
    QTest::newRow("negative") << qint32(-5) << QString();
    QTest::newRow("January") << RarWriter::dosTimeOf(2024, 1, 5, 9, 7) << QStringLiteral(u"05 янв 24 09:07");
    QTest::newRow("December") << RarWriter::dosTimeOf(1999, 12, 31, 23, 59) << QStringLiteral(u"31 дек 99 23:59");
    QTest::newRow("invalid day") << RarWriter::dosTimeOf(2001, 2, 31, 1, 1) << QString();
}

void TestListingPages::dateText()
{
    QFETCH(qint32, time);
    QFETCH(QString, text);
    QCOMPARE(::dateText(time, archiveLocale()), text);
}

void TestListingPages::tempFolderName_data()
{
    QTest::addColumn<QString>("archive");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("frameset");
    QTest::newRow("drive and folders") << QStringLiteral("d:\\docs\\tools.rar")
                                       << QStringLiteral("as_d__docs_tools_rar") << QStringLiteral("as_tools.rar.htm");
    QTest::newRow("a dot in a folder") << QStringLiteral("d:\\old.docs\\pack.rar")
                                       << QStringLiteral("as_d__old.docs_pack_rar")
                                       << QStringLiteral("as_pack.rar.htm");
    QTest::newRow("our paths") << QStringLiteral("/home/u/tools.rar") << QStringLiteral("as__home_u_tools_rar")
                               << QStringLiteral("as_tools.rar.htm");
}

void TestListingPages::tempFolderName()
{
    QFETCH(QString, archive);
    QFETCH(QString, folder);
    QFETCH(QString, frameset);
    QCOMPARE(archiveTempFolderName(archive), folder);
    QCOMPARE(framesetPageName(archive), frameset);
}

void TestListingPages::longPathsKeepFoldersApart()
{
    const QString deep = QStringLiteral("/x").repeated(200);
    const QString a = archiveTempFolderName(QStringLiteral("/a") + deep + QStringLiteral("/t.rar"));
    const QString b = archiveTempFolderName(QStringLiteral("/b") + deep + QStringLiteral("/t.rar"));
    QVERIFY(a.size() < 200);
    QVERIFY(a != b);
    QVERIFY(a.endsWith(QStringLiteral("_x_t_rar")));
}

void TestListingPages::pagesAreEscapedAndKeepEveryCharacter()
{
    QTemporaryDir dir;
    const QList<ArchiveEntry> entries{file(QStringLiteral("<b>&\".txt")), file(QStringLiteral(u"日本/Ключ.txt")),
                                      file(QStringLiteral(u"𝒻.txt"))};
    int clock = 0;
    const QList<RInfoFiles> records =
        buildPageRecords(completeFolderList(entries), entries, [&clock] { return 7 + clock++; });
    const QString archive = QStringLiteral("/d/<x>.rar");
    QVERIFY(writeListingPages(records, dir.path(), archive, archiveLocale()));

    const auto read = [&](const QString& name) {
        QFile page(dir.filePath(name));
        return page.open(QIODevice::ReadOnly) ? page.readAll() : QByteArray();
    };
    const QByteArray frameset = read(QStringLiteral("as_<x>.rar.htm"));
    QCOMPARE(frameset, "<html> <head> <title>\xd1\xee\xe4\xe5\xf0\xe6\xe8\xec\xee\xe5 \xe0\xf0\xf5\xe8\xe2\xe0: "
                       "/d/&lt;x&gt;.rar</title> </head> <frameset rows=\"50,*\" frameborder=0> <frame "
                       "src=\"as_bar.htm\" name=\"Top\"> <frame src=\"as_07.htm\" name=\"Bot\"> </frameset> </head> "
                       "</html>\r\n");
    const QByteArray bar = read(QStringLiteral("as_bar.htm"));
    QVERIFY(bar.startsWith("<html> <head> <meta http-equiv=\"Content-Type\" content=\"text/html; "
                           "charset=windows-1251\"> <title>archivename</title>"));
    QCOMPARE(bar.count("\r\n"), 3);

    const QByteArray root = read(QStringLiteral("as_07.htm"));
    QVERIFY(root.contains(
        "<tr> <td width=\"50%\"><a href=\"&lt;b&gt;&amp;&quot;.txt\">&lt;b&gt;&amp;&quot;.txt</a>"
        "</td><td align=\"right\" width=\"25%\" nowrap>1 \xe1\xe0\xe9\xf2</td> <td width=\"25%\" nowrap></td> "
        "</tr>\r\n"));
    QVERIFY(root.contains(">&#26085;&#26412;</a>")); // the folder row
    QVERIFY(root.contains(">&#119995;.txt</a>"));    // beyond the 16-bit characters
    QVERIFY(root.endsWith("</table> </body> </html>\r\n"));
    const QByteArray sub = read(records[1].Page);
    QVERIFY(sub.contains("href=\"&#26085;&#26412;/\xca\xeb\xfe\xf7.txt\">\xca\xeb\xfe\xf7.txt</a>"));
}

void TestListingPages::entryNamesNeverBecomeAddresses_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("href");
    QTest::newRow("a script address") << "javascript:alert(1)" << QByteArray("./javascript:alert(1)");
    QTest::newRow("a script address, upper case") << "JavaScript:alert(1)" << QByteArray("./JavaScript:alert(1)");
    QTest::newRow("a data address") << "data:text,x" << QByteArray("./data:text,x");
    QTest::newRow("a drive letter") << "c:evil.txt" << QByteArray("./c:evil.txt");
    QTest::newRow("a plain name") << "readme.txt" << QByteArray("readme.txt");
}

// A name that reads as an address (a script, a data address, a drive) is linked as a file of the
// page's folder: following it never runs or opens anything but the unpacked file.
void TestListingPages::entryNamesNeverBecomeAddresses()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, href);
    QTemporaryDir dir;
    const QList<ArchiveEntry> entries{file(name)};
    const QList<RInfoFiles> records = buildPageRecords(completeFolderList(entries), entries, [] { return 1; });
    QVERIFY(writeListingPages(records, dir.path(), QStringLiteral("/d/x.rar"), archiveLocale()));
    QFile page(dir.filePath(records.first().Page));
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QByteArray bytes = page.readAll();
    QVERIFY2(bytes.contains(QByteArray(QByteArray("<a href=\"") + href + "\">")), bytes.constData());
}

QTEST_GUILESS_MAIN(TestListingPages)
#include "tst_listingpages.moc"
