// The full-text index builder: which words a page gives, the exact files it writes, and a round
// trip through the index query.

#include "codepage.h"
#include "contenterror.h"
#include "contentpack.h"
#include "htmltext.h"
#include "indexbuilder.h"
#include "makefind.h"
#include "pathresolver.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

class TestIndexBuilder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pageWords_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QStringList>("words");

        QTest::newRow("tags and attributes are not words")
            << u"<p class=\"двигатель\" title='a > b'>Масло</p><img alt=\"кузов\">"_qs << QStringList{u"масло"_qs};
        QTest::newRow("script, style and comments are left out")
            << u"<script>var тормоз = \"</p>\";</script><STYLE>p { цвет: red }</STYLE><!-- кузов <p> -->руль"_qs
            << QStringList{u"руль"_qs};
        QTest::newRow("the head is left out, the title too")
            << u"<html><head><title>Глава</title><meta name=\"x\" content=\"ключ\">скрыто</head><body>Текст</body>"_qs
            << QStringList{u"текст"_qs};
        QTest::newRow("character references are decoded")
            << u"&laquo;Ток&raquo;&nbsp;&#1090;&#1086;&#x43A;&mdash;R&amp;D"_qs
            << QStringList{u"ток"_qs, u"ток"_qs, "r", "d"};
        QTest::newRow("an unknown reference stays as written") << u"&nosuch; &#zz;"_qs << QStringList{"nosuch", "zz"};
        QTest::newRow("a soft hyphen joins, inline tags join, block tags break")
            << u"Дви&shy;гатель <b>ре</b>мень<br>масло<p>фильтр</p>"_qs
            << QStringList{u"двигатель"_qs, u"ремень"_qs, u"масло"_qs, u"фильтр"_qs};
        QTest::newRow("hyphenated compounds give the parts and the whole")
            << u"северо-западный ВАЗ-2107 -край- a--b"_qs << QStringList{u"северо"_qs,
                                                                         u"западный"_qs,
                                                                         u"северо-западный"_qs,
                                                                         u"ваз"_qs,
                                                                         "2107",
                                                                         u"ваз-2107"_qs,
                                                                         u"край"_qs,
                                                                         "a",
                                                                         "b"};
        QTest::newRow("digits and Latin letters are word characters")
            << u"М16, 10W40; 2,5 л"_qs << QStringList{u"м16"_qs, "10w40", "2", "5", u"л"_qs};
        QTest::newRow("a '<' that starts no tag is text") << u"a < b <3"_qs << QStringList{"a", "b", "3"};
        QTest::newRow("letters code page 1251 cannot write break words")
            << u"αβγ ёж Ёж"_qs << QStringList{u"ёж"_qs, u"ёж"_qs};
        QTest::newRow("a word with such a letter is left out whole, not in pieces")
            << u"naïve café ёж"_qs << QStringList{u"ёж"_qs};
        QTest::newRow("a compound with such a part keeps its other parts")
            << u"ёж-日本 масло"_qs << QStringList{u"ёж"_qs, u"масло"_qs};
    }

    // A page in UTF-8 is read as UTF-8: its Russian words are found.
    void pageInItsDeclaredCharset_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::newRow("utf-8 meta") << u"<meta charset=\"utf-8\"><title>Тормоза</title><p>Суппорт</p>"_qs.toUtf8();
        QTest::newRow("utf-8 byte order mark")
            << QByteArray("\xEF\xBB\xBF") + u"<title>Тормоза</title><p>Суппорт</p>"_qs.toUtf8();
        QTest::newRow("no declaration: 1251") << toCp1251(u"<title>Тормоза</title><p>Суппорт</p>"_qs);
    }

    void pageInItsDeclaredCharset()
    {
        QFETCH(QByteArray, page);
        FullTextIndexBuilder builder;
        builder.addPage("a.htm", page);
        const FullTextIndex index = builder.build();
        QCOMPARE(index.keywords, toCp1251(u"суппорт\r\n"_qs));
        QCOMPARE(index.files, toCp1251(u"a.htm#:#Тормоза\r\n"_qs));
    }

    void pageWords()
    {
        QFETCH(QString, html);
        QFETCH(QStringList, words);
        QCOMPARE(indexWords(extractPageText(html).text), words);
    }

    void title_isDecodedAndCollapsed()
    {
        const PageText page = extractPageText(u"<TITLE>\r\n  Глава &laquo;1&raquo;&nbsp; \t Тормоза </title>x"_qs);
        QCOMPARE(page.title, u"Глава «1» Тормоза"_qs);
    }

    // The bytes the reader's index query depends on: numbering, separators, line ends, code page.
    void builtFiles_haveTheExactFormat()
    {
        const QByteArray withTitle = toCp1251(u"<title>Тормоза</title>Тормоз и масло, масло"_qs);
        const QByteArray withoutTitle = toCp1251(u"<p>Масло</p>"_qs);
        FullTextIndexBuilder builder;
        builder.addPage("html/b.htm", withTitle);
        builder.addPage("A.htm", withoutTitle);
        const FullTextIndex index = builder.build();

        // Pages numbered in the order they came, keywords sorted.
        QCOMPARE(index.files, toCp1251(u"html\\b.htm#:#Тормоза\r\nA.htm#:#A.htm\r\n"_qs));
        QCOMPARE(index.keywords, toCp1251(u"и\r\nмасло\r\nтормоз\r\n"_qs));
        QCOMPARE(index.numbers, QByteArray("1\r\n1:2\r\n1\r\n"));
        QCOMPARE(index.pages, 2);

        FullTextIndexBuilder replaced;
        replaced.addPage("html\\b.htm", toCp1251(u"кузов"_qs));
        replaced.addPage("A.htm", withoutTitle);
        replaced.addPage("html/b.htm", withTitle); // replaces the page in its place, and "кузов" with it
        const FullTextIndex again = replaced.build();
        QCOMPARE(again.files, index.files);
        QCOMPARE(again.keywords, index.keywords);
        QCOMPARE(again.numbers, index.numbers);
    }

    void roundTrip_everyWordFindsItsPages()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString root = dir.path() + QLatin1Char('/');
        writeTestFile(root + "index.htm", toCp1251(u"<html><head><title>Оглавление</title></head>"
                                                   "<body><a href=\"html/glava1.htm\">Тормоза</a> и масло</body>"_qs));
        writeTestFile(root + "html/glava1.htm",
                      toCp1251(u"<title>Глава 1</title><script>document.write('секрет')</script>"
                               "<p>Тормозная жидкость&nbsp;&#1044;&#1054;&#1058;-4, масло</p>"_qs));
        writeTestFile(root + "html/sub/Glava2.HTML", toCp1251(u"<p style=\"color:red\">Масло моторное</p>"_qs));
        writeTestFile(root + "notes.txt", toCp1251(u"заметка"_qs));
        writeFullTextIndex(buildFullTextIndex(root), root);

        const QList<std::pair<QString, QStringList>> expected{
            {u"тормоза"_qs, {"index.htm"}},
            {u"И"_qs, {"index.htm"}},
            {u"МАСЛО"_qs, {"index.htm", "html/glava1.htm", "html/sub/Glava2.HTML"}},
            {u"жидкость"_qs, {"html/glava1.htm"}},
            {u"дот"_qs, {"html/glava1.htm"}},
            {u"ДОТ-4"_qs, {"html/glava1.htm"}},
            {u"4"_qs, {"html/glava1.htm"}},
            {u"моторное"_qs, {"html/sub/Glava2.HTML"}},
            {u"секрет"_qs, {}},
            {u"color"_qs, {}},
            {u"href"_qs, {}},
            {u"оглавление"_qs, {}},
            {u"заметка"_qs, {}},
        };
        PathResolver disk;
        ContentPack opener(disk);
        TMakeFind find(opener);
        find.SetIndexFolder(root);
        for (const auto& [word, pages] : expected) {
            QStringList files;
            QStringList titles;
            QCOMPARE(bool(find.FindInIndex(word, files, titles, false)), !pages.isEmpty());
            QCOMPARE(files, pages);
        }
        QStringList files;
        QStringList titles;
        QVERIFY(find.FindInIndex(u"масло"_qs, files, titles, false));
        QCOMPARE(titles, (QStringList{u"Оглавление"_qs, u"Глава 1"_qs, "Glava2.HTML"}));
    }

    void unreadableFolder_raises()
    {
        QVERIFY_THROWS_EXCEPTION(ContentError, buildFullTextIndex(QStringLiteral("/nonexistent/velbrook")));
    }
};

QTEST_GUILESS_MAIN(TestIndexBuilder)
#include "tst_indexbuilder.moc"
