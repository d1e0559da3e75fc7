// Tree scripts as data: nesting, the depth-first walk, chapter steps and their hints, the caption
// search and the page look-up.

#include "treescript.h"

#include <QJsonDocument>
#include <QTest>

namespace {

QStringList linesAtDepths(const QList<int>& depths)
{
    QStringList lines;
    for (qsizetype i = 0; i < depths.size(); ++i)
        lines << QString(depths.at(i), QLatin1Char('\t')) + QStringLiteral("p%1.htm;Item %1").arg(i);
    return lines;
}

QList<int> parentsOf(const TreeScript& tree)
{
    QList<int> parents;
    for (const TreeItem& item : tree.items())
        parents << item.parent;
    return parents;
}

// 0 intro, 1 chapter 1, 2 its first section on the same page, 3 a section of its own, 4 a heading
// without a page, 5 its section, 6 the last chapter.
const QStringList kChapters = {
    "intro.htm;Введение", "glava1.htm;Глава 1",  "\tglava1.htm;Осмотр", "\tglava1b.htm;Масло",
    ";Приложения",        "\tglava2.htm;Ссылки", "glava3.htm;Глава 3",
};

} // namespace

class TestTreeScript : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nesting_data()
    {
        QTest::addColumn<QList<int>>("depths");
        QTest::addColumn<QList<int>>("parents");
        QTest::addColumn<QList<int>>("walk");

        QTest::newRow("children, siblings, back to the top")
            << QList<int>{0, 1, 1, 2, 0, 3} << QList<int>{-1, 0, 0, 2, -1, 4} << QList<int>{0, 1, 2, 3, 4, 5};
        QTest::newRow("chapter with one section")
            << QList<int>{0, 1, 0} << QList<int>{-1, 0, -1} << QList<int>{0, 1, 2};
        // The shallower line finds its parent by level, far back: the walk leaves line order.
        QTest::newRow("parent found by level")
            << QList<int>{0, 1, 2, 0, 5, 3} << QList<int>{-1, 0, 1, -1, 3, 2} << QList<int>{0, 1, 2, 5, 3, 4};
        QTest::newRow("no item one level up: top level")
            << QList<int>{0, 5, 4} << QList<int>{-1, 0, -1} << QList<int>{0, 1, 2};
        QTest::newRow("indented first line") << QList<int>{2, 2, 0} << QList<int>{-1, -1, -1} << QList<int>{0, 1, 2};
    }
    void nesting()
    {
        QFETCH(QList<int>, depths);
        QFETCH(QList<int>, parents);
        QFETCH(QList<int>, walk);
        const TreeScript tree = TreeScript::read(linesAtDepths(depths));
        QCOMPARE(parentsOf(tree), parents);
        QCOMPARE(tree.walk(), walk);
        for (const TreeItem& item : tree.items())
            QCOMPARE(item.level, item.parent < 0 ? 0 : tree.items().at(item.parent).level + 1);
    }

    // Lines alternating four and three TABs, 200,000 of them: each shallower line looks for an
    // item one level up. A search back through every earlier item made this quadratic (12.8 s for
    // such a tree, a hang at start-up for 400,000 lines); the test's ctest timeout (20 s, see
    // CMakeLists.txt) catches a return of that.
    void alternatingDepths_noItemOneLevelUp()
    {
        constexpr int kLines = 200000;
        QStringList lines;
        lines.reserve(kLines);
        for (int i = 0; i < kLines; ++i)
            lines << QString(i % 2 == 0 ? 4 : 3, QLatin1Char('\t')) + QStringLiteral("p.htm;x");
        const TreeScript tree = TreeScript::read(lines);
        QCOMPARE(tree.size(), kLines);
        // No item sits at level 2: each three-TAB line is a top-level item, the four-TAB line
        // after it its child; the first line is at the top too.
        for (int i = 0; i < kLines; ++i) {
            const int parent = i == 0 || i % 2 == 1 ? -1 : i - 1;
            if (tree.items().at(i).parent != parent)
                QFAIL(qPrintable(
                    QStringLiteral("item %1 has parent %2, not %3").arg(i).arg(tree.items().at(i).parent).arg(parent)));
        }
        QCOMPARE(tree.children(-1).size(), kLines / 2 + 1);
        QCOMPARE(tree.walk().size(), kLines);
        QCOMPARE(tree.walk().last(), kLines - 1);
    }

    // The same after a first chapter three levels deep: every three-TAB line goes under item 2,
    // however far back it lies, and every four-TAB line under the line before it.
    void alternatingDepths_parentFarBack()
    {
        constexpr int kLines = 200000;
        QStringList lines{"a.htm;A", "\tb.htm;B", "\t\tc.htm;C"};
        lines.reserve(kLines);
        for (int i = 3; i < kLines; ++i)
            lines << QString(i % 2 == 1 ? 4 : 3, QLatin1Char('\t')) + QStringLiteral("p.htm;x");
        const TreeScript tree = TreeScript::read(lines);
        QCOMPARE(tree.size(), kLines);
        for (int i = 3; i < kLines; ++i) {
            const TreeItem& item = tree.items().at(i);
            const int parent = i % 2 == 1 ? i - 1 : 2;
            if (item.parent != parent)
                QFAIL(qPrintable(QStringLiteral("item %1 has parent %2, not %3").arg(i).arg(item.parent).arg(parent)));
            QCOMPARE(item.level, i % 2 == 1 && i > 3 ? 4 : 3);
        }
        QCOMPARE(tree.children(2).size(), (kLines - 3 + 1) / 2);
        QCOMPARE(tree.walk().size(), kLines);
    }

    void lineFields_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("caption");

        QTest::newRow("plain") << "glava1.htm;Глава 1"
                               << "glava1.htm"
                               << "Глава 1";
        QTest::newRow("spaces trimmed") << "\t  glava1.htm ;  Глава 1  "
                                        << "glava1.htm"
                                        << "Глава 1";
        QTest::newRow("caption ends at the next ;") << "a.htm;Глава;лишнее"
                                                    << "a.htm"
                                                    << "Глава";
        QTest::newRow("no caption") << "a.htm"
                                    << "a.htm"
                                    << "";
        QTest::newRow("heading without a page") << ";Приложения"
                                                << ""
                                                << "Приложения";
        QTest::newRow("Windows folder") << "html\\Glava1.htm;Глава"
                                        << "html/Glava1.htm"
                                        << "Глава";
    }
    void lineFields()
    {
        QFETCH(QString, line);
        QFETCH(QString, link);
        QFETCH(QString, caption);
        const TreeScript tree = TreeScript::read({line});
        QCOMPARE(tree.size(), 1);
        QCOMPARE(tree.items().at(0).link, link);
        QCOMPARE(tree.items().at(0).caption, caption);
    }

    void blankLinesMakeNoItems()
    {
        const TreeScript tree = TreeScript::read({"", "a.htm;A", "", "\t", "\tb.htm;B", " "});
        QCOMPARE(tree.size(), 2);
        QCOMPARE(tree.items().at(1).parent, 0);
    }

    void chapterSteps_data()
    {
        QTest::addColumn<int>("focused");
        QTest::addColumn<int>("next");
        QTest::addColumn<int>("previous");
        QTest::addColumn<QString>("nextHint");
        QTest::addColumn<QString>("previousHint");

        QTest::newRow("nothing focused") << -1 << 0 << 0 << "Глава 1"
                                         << "Первый раздел";
        QTest::newRow("first item") << 0 << 1 << 0 << "Глава 1"
                                    << "Первый раздел";
        QTest::newRow("chapter skips its section on the same page") << 1 << 3 << 0 << "Глава 1 : Масло"
                                                                    << "Введение";
        QTest::newRow("section on the chapter's page") << 2 << 3 << 0 << "Глава 1 : Масло"
                                                       << "Введение";
        QTest::newRow("heading without a page skipped") << 3 << 5 << 2 << "Приложения : Ссылки"
                                                        << "Глава 1 : Осмотр";
        QTest::newRow("last item stays") << 6 << 6 << 5 << "Последний раздел"
                                         << "Приложения : Ссылки";
    }
    void chapterSteps()
    {
        QFETCH(int, focused);
        QFETCH(int, next);
        QFETCH(int, previous);
        QFETCH(QString, nextHint);
        QFETCH(QString, previousHint);
        const TreeScript tree = TreeScript::read(kChapters);
        QCOMPARE(tree.NextChapter(focused), next);
        QCOMPARE(tree.PrevChapter(focused), previous);
        QCOMPARE(tree.nextChapterHint(focused), nextHint);
        QCOMPARE(tree.prevChapterHint(focused), previousHint);
    }

    void chapterStepsFollowTheWalk()
    {
        // Item 5 goes under item 2, before items 3 and 4 of the script.
        const TreeScript tree = TreeScript::read(linesAtDepths({0, 1, 2, 0, 5, 3}));
        QCOMPARE(tree.walk(), (QList<int>{0, 1, 2, 5, 3, 4}));
        QCOMPARE(tree.NextChapter(2), 5);
        QCOMPARE(tree.NextChapter(5), 3);
        QCOMPARE(tree.PrevChapter(3), 5);
        QCOMPARE(tree.PrevChapter(5), 2);
    }

    void emptyTreeFindsNothing()
    {
        const TreeScript tree = TreeScript::read({});
        QCOMPARE(tree.NextChapter(-1), -1);
        QCOMPARE(tree.PrevChapter(-1), -1);
        QCOMPARE(tree.nextChapterHint(-1), QStringLiteral("Последний раздел"));
        QCOMPARE(tree.prevChapterHint(-1), QStringLiteral("Первый раздел"));
        QCOMPARE(tree.findCaption("a", -1), -1);
        QCOMPARE(tree.findPage("a.htm"), -1);
        QVERIFY(treeToJson(tree.items()).isEmpty());
    }

    void findCaption_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("focused");
        QTest::addColumn<int>("found");

        QTest::newRow("nothing focused: from the first") << "масл" << -1 << 1;
        QTest::newRow("after the focused item") << "масл" << 1 << 2;
        QTest::newRow("wraps round") << "масл" << 2 << 1;
        QTest::newRow("focused item's own caption") << "МАСЛО ДВИГАТЕЛЯ" << 1 << 1;
        QTest::newRow("no match") << "тормоз" << 0 << -1;
    }
    void findCaption()
    {
        QFETCH(QString, text);
        QFETCH(int, focused);
        QFETCH(int, found);
        const TreeScript tree =
            TreeScript::read({"a.htm;Осмотр", "b.htm;Масло двигателя", "\tc.htm;Масляный фильтр", "d.htm;Шины"});
        QCOMPARE(tree.findCaption(text, focused), found);
    }

    void findPage_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("found");

        QTest::newRow("fragment removed, case folded") << "glava2.htm#p3" << 1;
        QTest::newRow("folder ignored") << "/media/cd/html/Glava2.HTM" << 1;
        QTest::newRow("Windows folder ignored") << "c:\\book\\GLAVA2.htm" << 1;
        QTest::newRow("spaces") << "  glava2.htm  " << 1;
        QTest::newRow("Cyrillic spelt alike") << "Глава3.htm" << 2;
        QTest::newRow("Cyrillic case not folded") << "глава3.htm" << -1;
        QTest::newRow("no file name") << "#top" << -1;
        QTest::newRow("empty") << "" << -1;
    }
    void findPage()
    {
        QFETCH(QString, page);
        QFETCH(int, found);
        const TreeScript tree = TreeScript::read({"intro.htm;Введение", " GLAVA2.HTM ;Глава 2", "Глава3.htm;Глава 3"});
        QCOMPARE(tree.findPage(page), found);
    }

    void jsonKeepsNestingAndLineOrder()
    {
        const TreeScript tree = TreeScript::read({"a.htm;A", "\tb.htm;B", "\t\tc.htm;C", "\td.htm;D", "e.htm;E"});
        const QJsonDocument expected = QJsonDocument::fromJson(R"([
            {"caption": "A", "link": "a.htm", "children": [
                {"caption": "B", "link": "b.htm", "children": [
                    {"caption": "C", "link": "c.htm", "children": []}]},
                {"caption": "D", "link": "d.htm", "children": []}]},
            {"caption": "E", "link": "e.htm", "children": []}])");
        QCOMPARE(QJsonDocument(treeToJson(tree.items())), expected);
    }

    void jsonText_isTheCompactJson()
    {
        const TreeScript tree = TreeScript::read({"a.htm;A \"quoted\" \\ back", "\tb.htm;Б\x01\x1b[31m",
                                                  "\t\tc\\d.htm;C", "\td.htm", ";E", "\t\t\tf.htm;F"});
        QCOMPARE(treeToJsonText(tree.items()), QJsonDocument(treeToJson(tree.items())).toJson(QJsonDocument::Compact));
        QCOMPARE(treeToJsonText({}), QByteArray("[]"));
    }

    // 100,000 levels: no recursion to overflow (QJsonDocument overflows the stack past some 15,000),
    // and text in proportion to the items (indented, 3,000 levels took 216 MB, growing with the
    // depth squared).
    void jsonText_ofADeepTree()
    {
        constexpr int kDepth = 100000;
        QList<TreeItem> items(kDepth);
        for (int i = 0; i < kDepth; ++i) {
            items[i].caption = QStringLiteral("c");
            items[i].link = QStringLiteral("l");
            items[i].parent = i - 1;
        }
        const QByteArray text = treeToJsonText(items);
        QCOMPARE(text.size(),
                 qsizetype(kDepth) * QByteArrayView(R"({"caption":"c","children":[],"link":"l"})").size() + 2);
        QVERIFY(text.startsWith(R"([{"caption":"c","children":[{"caption":"c","children":[)"));
        QVERIFY(text.endsWith(R"("link":"l"}],"link":"l"}])"));
        QCOMPARE(text.count(R"("children":[],"link":"l"})"), 1); // the deepest item
    }
};

QTEST_GUILESS_MAIN(TestTreeScript)
#include "tst_treescript.moc"
