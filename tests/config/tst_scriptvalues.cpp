#include "contenterror.h"
#include "pathresolver.h"
#include "scripthelpers.h"
#include "scriptvalues.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestScriptValues : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parseInt_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("value");
        QTest::newRow("negative") << "vx=-5" << 0 << -5;
        QTest::newRow("no digits") << "vx=" << 0 << -1;
        QTest::newRow("unit after") << "vx=12px" << 0 << 12;
        QTest::newRow("from position") << "vx=1;vy=22" << 5 << 22;
        QTest::newRow("minus inside") << "n=1-2" << 0 << -1;
        QTest::newRow("double minus") << "n=--5" << 0 << -1;
        QTest::newRow("lone minus") << "n=-;x" << 0 << -1;
        QTest::newRow("plus is no sign") << "n=+7" << 0 << 7;
        QTest::newRow("overflow") << "n=99999999999" << 0 << -1;
        QTest::newRow("past the end") << "n=5" << 10 << -1;
    }

    void parseInt()
    {
        QFETCH(QString, line);
        QFETCH(int, position);
        QFETCH(int, value);
        QCOMPARE(ParseInt(line, position), value);
    }

    void parseValue_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("value");
        QTest::newRow("to semicolon") << "hint= Назад ;vx=1" << QStringLiteral(u"Назад");
        QTest::newRow("to end") << "hint=\tподсказка  " << QStringLiteral(u"подсказка");
        QTest::newRow("empty") << "hint=;" << QString();
        QTest::newRow("nothing after =") << "hint=" << QString();
    }

    void parseValue()
    {
        QFETCH(QString, line);
        QFETCH(QString, value);
        QCOMPARE(ParseValue(line, valuePosition(0, QStringLiteral("hint"))), value);
    }

    void parseColor_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("color");
        QTest::newRow("plain") << "color=0,128,255" << (0 | 128 << 8 | 255 << 16);
        QTest::newRow("red 255") << "color=255,0,0" << 255;
        // A leading zero makes the text of red one character longer than its number: green is
        // read one character early, which here still lands on the same digits.
        QTest::newRow("leading zero") << "color=07,0,0" << 7;
        QTest::newRow("leading zeros shift green") << "color=007,20,30" << (7 | 7 << 8 | 20 << 16);
        QTest::newRow("modulo 256") << "color=256,257,1" << (0 | 1 << 8 | 1 << 16);
        QTest::newRow("blanks") << "color= 1, 2, 3" << (1 | 2 << 8 | 3 << 16);
    }

    void parseColor()
    {
        QFETCH(QString, line);
        QFETCH(int, color);
        QCOMPARE(ParseColor(line, 0), color);
    }

    void fontStyleAndOnOff()
    {
        QCOMPARE(parseFontStyle(QStringLiteral("style=bolditalic"), 6), FontStyle::Bold | FontStyle::Italic);
        QCOMPARE(parseFontStyle(QStringLiteral("style=strikeout,underline"), 6),
                 FontStyle::StrikeOut | FontStyle::Underline);
        QCOMPARE(parseFontStyle(QStringLiteral("style=normal"), 6), FontStyles());
        QVERIFY(parseOnOff(QStringLiteral("store= on ;x"), 6));
        QVERIFY(!parseOnOff(QStringLiteral("store=onn"), 6));
        QVERIFY(!parseOnOff(QStringLiteral("store=off"), 6));
    }

    void parseList_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<int>("lastLine");
        QTest::newRow("one line") << QStringList{"list=[a;b;c]"} << QStringList{"a", "b", "c"} << 0;
        QTest::newRow("over two lines") << QStringList{"list=[a;", "b]"} << QStringList{"a", "", "b"} << 1;
        QTest::newRow("line break ends an item") << QStringList{"[a", " b ]", "next"} << QStringList{"a", "b"} << 1;
        QTest::newRow("empty list") << QStringList{"list=[]"} << QStringList{} << 0;
        QTest::newRow("no bracket") << QStringList{"list=a;b"} << QStringList{} << 0;
        QTest::newRow("missing ] stops at the end") << QStringList{"[a;", "b"} << QStringList{"a", "", "b"} << 1;
        QTest::newRow("paths expand") << QStringList{"[music\\a.mp3;play]"}
                                      << QStringList{"/cd/book/music/a.mp3", "play"} << 0;
    }

    void parseList()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, items);
        QFETCH(int, lastLine);
        int line = 0;
        QCOMPARE(ParseList(lines, line, m_folders), items);
        QCOMPARE(line, lastLine);
    }

    void vertexRegion()
    {
        int line = 0;
        const QStringList lines{"vertexmain=[0,0;100, 0", "100,50;-5,50]"};
        QCOMPARE(ParseVertexRegion(lines, line, m_folders), (QList<QPoint>{{0, 0}, {100, 0}, {100, 50}, {-5, 50}}));

        QStringList many{QStringLiteral("[") + QStringList(2500, QStringLiteral("1,2")).join(QLatin1Char(';')) +
                         QStringLiteral("]")};
        line = 0;
        QCOMPARE(ParseVertexRegion(many, line, m_folders).size(), kMaxVertices);

        for (const QString& bad : {QStringLiteral("[1;2]"), QStringLiteral("[1,x]"), QStringLiteral("[1,2;,3]")}) {
            line = 0;
            QVERIFY_THROWS_EXCEPTION(ContentError, ParseVertexRegion({bad}, line, m_folders));
        }
    }

    void expandPath_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expanded");
        QTest::newRow("cd marker") << "<cd>video\\a.avi"
                                   << "/cd/video/a.avi";
        QTest::newRow("plain word") << "play"
                                    << "play";
        QTest::newRow("number") << "2"
                                << "2";
        QTest::newRow("drive path") << "c:\\a.txt"
                                    << "c:/a.txt";
        QTest::newRow("absolute") << "/usr/share/x.htm"
                                  << "/usr/share/x.htm";
        QTest::newRow("web address") << "http://example.org/a.htm"
                                     << "http://example.org/a.htm";
        QTest::newRow("relative file") << "glava1.htm"
                                       << "/cd/book/glava1.htm";
        QTest::newRow("relative folder") << "html\\glava1.htm"
                                         << "/cd/book/html/glava1.htm";
        QTest::newRow("prefix before =") << "html1=html\\a.htm"
                                         << "html1=/cd/book/html/a.htm";
        QTest::newRow("up a folder") << "..\\data\\x.htm"
                                     << "/cd/data/x.htm";
    }

    void expandPath()
    {
        QFETCH(QString, value);
        QFETCH(QString, expanded);
        QCOMPARE(ExpandPath(value, m_folders), expanded);
    }

    void combinePath_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QString>("combined");
        QTest::newRow("dots dropped at the root limit") << "d:\\run\\"
                                                        << "..\\data\\x.htm"
                                                        << "d:/run/data/x.htm";
        QTest::newRow("dots climb below it") << "c:\\books\\run\\"
                                             << "..\\data\\x.htm"
                                             << "c:/books/data/x.htm";
        QTest::newRow("drive root") << "d:\\"
                                    << "a\\..\\..\\b.htm"
                                    << "d:/b.htm";
        QTest::newRow("no trailing separator") << "d:\\run"
                                               << "x.htm"
                                               << "d:/run/x.htm";
        QTest::newRow("leading separator starts at the limit") << "c:\\books\\run\\"
                                                               << "\\x.htm"
                                                               << "c:/books/x.htm";
        QTest::newRow("unix base") << "/media/cd/book/"
                                   << "../../x.htm"
                                   << "/media/x.htm";
        QTest::newRow("unix root") << "/"
                                   << "../x.htm"
                                   << "/x.htm";
        QTest::newRow("relative base") << "book"
                                       << "a\\..\\x.htm"
                                       << "book/x.htm";
        QTest::newRow("dots in the relative base") << "a/b"
                                                   << "../../x"
                                                   << "a/x";
    }

    void combinePath()
    {
        QFETCH(QString, base);
        QFETCH(QString, relative);
        QFETCH(QString, combined);
        QCOMPARE(CombinePath(base, relative), combined);
    }

    void commandArgAndTarget_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("arg");
        QTest::addColumn<QString>("target");
        QTest::newRow("page and pane") << "html=page.htm=2"
                                       << "/cd/book/page.htm"
                                       << "2";
        QTest::newRow("argument only") << "html1=glava1.htm"
                                       << "/cd/book/glava1.htm"
                                       << "";
        QTest::newRow("no =") << "exit"
                              << ""
                              << "";
        QTest::newRow("word argument") << "tree=tree1"
                                       << "tree1"
                                       << "";
        QTest::newRow("three =") << "a=b=c.htm=d"
                                 << "b=/cd/book/c.htm"
                                 << "d";
    }

    void commandArgAndTarget()
    {
        QFETCH(QString, command);
        QFETCH(QString, arg);
        QFETCH(QString, target);
        QCOMPARE(CommandArg(command, m_folders), arg);
        QCOMPARE(CommandTarget(command, m_folders), target);
    }

    void findFiles_walksFoldersBreadthFirst()
    {
        QTemporaryDir dir;
        const QString root = dir.path() + QLatin1Char('/');
        for (const char* name : {"b.ttf", "a.TTF", "c.txt", "sub/z.ttf", "sub/deep/y.ttf", "other/x.ttf"}) {
            QDir().mkpath(QFileInfo(root + QLatin1String(name)).absolutePath());
            QFile file(root + QLatin1String(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const PathResolver resolver;
        QCOMPARE(FindFiles(resolver, root, {QStringLiteral("*.ttf")}, false, false),
                 (QStringList{root + "a.TTF", root + "b.ttf"}));
        QCOMPARE(
            FindFiles(resolver, root, {QStringLiteral("*.ttf"), QStringLiteral("*.txt")}, true, true),
            (QStringList{root, root + "a.TTF", root + "b.ttf", root + "c.txt", root + "other/", root + "other/x.ttf",
                         root + "sub/", root + "sub/z.ttf", root + "sub/deep/", root + "sub/deep/y.ttf"}));
        QCOMPARE(FindFiles(resolver, root + "SUB", {QStringLiteral("*.*")}, false, false),
                 (QStringList{root + "sub/z.ttf"}));
        QCOMPARE(FindFiles(resolver, QString(), {QStringLiteral("*.*")}, true, true), QStringList());
    }

    void arraySearches()
    {
        int index = -1;
        QVERIFY(IndexOfInt({4, 7, 7}, 7, index));
        QCOMPARE(index, 1);
        QVERIFY(!IndexOfInt({}, 7, index));
        QVERIFY(ContainsText({QStringLiteral("Tree1"), QStringLiteral("x")}, QStringLiteral("TREE1")));
        // Only ASCII letters fold.
        QVERIFY(!ContainsText({QStringLiteral(u"Дерево")}, QStringLiteral(u"дерево")));
    }

private:
    const ProgramFolders m_folders{QStringLiteral("/cd/"), QStringLiteral("/cd/book/")};
};

QTEST_GUILESS_MAIN(TestScriptValues)
#include "tst_scriptvalues.moc"
