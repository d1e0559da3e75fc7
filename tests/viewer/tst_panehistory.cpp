// The history of a pane: which entry a loaded document takes, what falls off the end, the place
// each entry was read at, and the visited links. Each case is a run of steps: "file" or
// "file=title" is a document that finished loading, "@N" asks for entry N before the next load,
// "!Y" leaves the entry shown scrolled Y pixels down.

#include "panehistory.h"
#include "panesections.h"

#include <QTest>

class TestPaneHistory final : public QObject
{
    Q_OBJECT

    static PaneHistory run(const QStringList& steps)
    {
        PaneHistory history;
        for (const QString& step : steps) {
            if (step.startsWith(QLatin1Char('@'))) {
                history.setPending(step.mid(1).toInt());
                continue;
            }
            if (step.startsWith(QLatin1Char('!'))) {
                history.rememberPlace({step.mid(1).toInt(), QString()});
                continue;
            }
            const qsizetype equals = step.indexOf(QLatin1Char('='));
            const QString file = equals < 0 ? step : step.left(equals);
            history.loaded(file, equals < 0 ? file.toUpper() : step.mid(equals + 1));
        }
        return history;
    }

    static QStringList pages(int first, int last)
    {
        QStringList list;
        for (int i = first; i <= last; ++i)
            list << QStringLiteral("p%1.htm").arg(i);
        return list;
    }

private Q_SLOTS:
    void loaded_placesTheDocument_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<int>("index");
        const auto row = [](const char* name, const QStringList& steps, const QStringList& files,
                            const QStringList& titles,
                            int index) { QTest::newRow(name) << steps << files << titles << index; };
        row("nothing loaded", {}, {}, {}, 0);
        row("new pages come first", {"a.htm", "b.htm", "c.htm"}, {"c.htm", "b.htm", "a.htm"},
            {"C.HTM", "B.HTM", "A.HTM"}, 0);
        QStringList reversed = pages(3, 12);
        std::reverse(reversed.begin(), reversed.end());
        QStringList reversedTitles;
        for (const QString& page : reversed)
            reversedTitles << page.toUpper();
        row("past the limit the oldest go", pages(1, 12), reversed, reversedTitles, 0);
        row("a reload keeps the entry and takes the new title", {"a.htm=One", "b.htm=Two", "B.HTM=Three"},
            {"b.htm", "a.htm"}, {"Three", "One"}, 0);
        row("an asked-for entry becomes current", {"a.htm", "b.htm", "c.htm", "@2", "A.htm=Again"},
            {"c.htm", "b.htm", "a.htm"}, {"C.HTM", "B.HTM", "Again"}, 2);
        row("a new page after going back drops the entries stepped over",
            {"a.htm", "b.htm", "c.htm", "@1", "b.htm", "d.htm"}, {"d.htm", "b.htm", "a.htm"},
            {"D.HTM", "B.HTM", "A.HTM"}, 0);
        row("a reload after going back stays there", {"a.htm", "b.htm", "@1", "a.htm", "a.htm=New"}, {"b.htm", "a.htm"},
            {"B.HTM", "New"}, 1);
        row("another file than the asked-for entry is new", {"a.htm", "b.htm", "@1", "c.htm"},
            {"c.htm", "b.htm", "a.htm"}, {"C.HTM", "B.HTM", "A.HTM"}, 0);
        row("an entry out of range is no entry", {"a.htm", "@5", "b.htm", "@-1", "b.htm"}, {"b.htm", "a.htm"},
            {"B.HTM", "A.HTM"}, 0);
        row("the ask lasts one load", {"a.htm", "b.htm", "@1", "c.htm", "a.htm"}, {"a.htm", "c.htm", "b.htm", "a.htm"},
            {"A.HTM", "C.HTM", "B.HTM", "A.HTM"}, 0);
        row("an older file reached by a link comes again", {"a.htm", "b.htm", "a.htm"}, {"a.htm", "b.htm", "a.htm"},
            {"A.HTM", "B.HTM", "A.HTM"}, 0);
    }

    void loaded_placesTheDocument()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, files);
        QFETCH(QStringList, titles);
        QFETCH(int, index);
        const PaneHistory history = run(steps);
        QCOMPARE(history.files(), files);
        QCOMPARE(history.titles(), titles);
        QCOMPARE(history.index(), index);
    }

    void places_stayWithTheirEntries_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QList<int>>("places");
        QTest::newRow("each page keeps where it was left")
            << QStringList{"a", "!100", "b", "!50", "@1", "a"} << QList<int>{50, 100};
        QTest::newRow("a new page starts at its top; those stepped over go")
            << QStringList{"a", "!100", "b", "!50", "@1", "a", "c"} << QList<int>{0, 100};
        QTest::newRow("a reload keeps the place") << QStringList{"a", "!70", "a"} << QList<int>{70};
        QTest::newRow("past the limit the oldest place goes with its page")
            << (QStringList{"first", "!30"} + pages(1, 10)) << QList<int>(10, 0);
    }

    void places_stayWithTheirEntries()
    {
        QFETCH(QStringList, steps);
        QFETCH(QList<int>, places);
        const PaneHistory history = run(steps);
        QList<int> kept;
        for (int i = 0; i < history.files().size(); ++i)
            kept << history.place(i).y;
        QCOMPARE(kept, places);
    }

    void indexOf_ignoresCase_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("index");
        QTest::newRow("same") << QStringLiteral("/m/b.htm") << 1;
        QTest::newRow("other case") << QStringLiteral("/M/A.HTM") << 2;
        QTest::newRow("absent") << QStringLiteral("/m/d.htm") << -1;
    }

    void indexOf_ignoresCase()
    {
        QFETCH(QString, file);
        QFETCH(int, index);
        QCOMPARE(run({"/m/a.htm", "/m/b.htm", "/m/c.htm"}).indexOf(file), index);
    }

    void markVisited_keepsTheLatestFirst_data()
    {
        QTest::addColumn<QStringList>("marks");
        QTest::addColumn<QStringList>("visited");
        QTest::newRow("newest first") << QStringList{"a", "b"} << QStringList{"b", "a"};
        QTest::newRow("again moves to the front") << QStringList{"a", "b", "c", "a"} << QStringList{"a", "c", "b"};
        QStringList many;
        for (int i = 1; i <= 23; ++i)
            many << QString::number(i);
        QStringList kept;
        for (int i = 23; i >= 4; --i)
            kept << QString::number(i);
        QTest::newRow("past the limit the oldest go") << many << kept;
        QStringList repeated{"1"};
        for (int i = 20; i >= 2; --i)
            repeated << QString::number(i);
        QTest::newRow("a repeat at the limit drops nothing") << (many.mid(0, 20) << "1") << repeated;
    }

    void markVisited_keepsTheLatestFirst()
    {
        QFETCH(QStringList, marks);
        QFETCH(QStringList, visited);
        PaneHistory history;
        for (const QString& mark : marks)
            history.markVisited(mark);
        QCOMPARE(history.visited(), visited);
    }

    // The parts of the manual: "+page" is an "html" command naming page, anything else a page shown.
    void sections_followTheCommandsAndPages_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("sections");
        QTest::addColumn<QString>("start");
        QTest::newRow("pages before any command are not kept")
            << QStringList{"/m/a.htm", "/m/b.htm"} << QStringList{} << QString();
        QTest::newRow("pages join the part they were reached in")
            << QStringList{"+/m/A.htm", "/m/A.htm", "/m/B.htm"} << QStringList{"/m/A.htm; /m/b.htm"}
            << QStringLiteral("/m/A.htm");
        QTest::newRow("a second command starts a second part")
            << QStringList{"+/m/a.htm", "/m/a.htm", "/m/x.htm", "+/m/c.htm", "/m/c.htm", "/m/y.htm"}
            << QStringList{"/m/a.htm; /m/x.htm", "/m/c.htm; /m/y.htm"} << QStringLiteral("/m/c.htm");
        QTest::newRow("a page of an earlier part makes it current again")
            << QStringList{"+/m/a.htm", "/m/x.htm", "+/m/c.htm", "/m/x.htm"}
            << QStringList{"/m/a.htm; /m/x.htm", "/m/c.htm"} << QStringLiteral("/m/a.htm");
        QTest::newRow("a command naming a known page goes back to its part")
            << QStringList{"+/m/a.htm", "/m/x.htm", "+/m/c.htm", "+/m/x.htm", "/m/z.htm"}
            << QStringList{"/m/a.htm; /m/x.htm; /m/z.htm", "/m/c.htm"} << QStringLiteral("/m/a.htm");
        // Pages are kept lower-cased but named in the letters of their folder: they are compared
        // without case, so a page seen again finds its part and the part does not grow.
        QTest::newRow("start pages compared without case")
            << QStringList{"+/m/A.htm", "+/m/a.htm"} << QStringList{"/m/A.htm"} << QStringLiteral("/m/A.htm");
        QTest::newRow("a capitalised folder: pages seen again find their part")
            << QStringList{"+/CD/A.htm", "/CD/A.htm", "/CD/X.htm", "+/CD/C.htm", "/CD/C.htm", "/CD/X.htm", "/CD/X.htm"}
            << QStringList{"/CD/A.htm; /cd/x.htm", "/CD/C.htm"} << QStringLiteral("/CD/A.htm");
    }

    void sections_followTheCommandsAndPages()
    {
        QFETCH(QStringList, steps);
        PaneSections sections;
        for (const QString& step : std::as_const(steps)) {
            if (step.startsWith(QLatin1Char('+')))
                sections.add(step.mid(1));
            else
                sections.pageShown(step);
        }
        QTEST(sections.sections(), "sections");
        QTEST(sections.currentStartPage(), "start");
    }
};

QTEST_GUILESS_MAIN(TestPaneHistory)
#include "tst_panehistory.moc"
