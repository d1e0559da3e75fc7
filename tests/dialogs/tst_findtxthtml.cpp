// The search behind the boxes: wrap round one page, page by page through all pages, blanks-only
// text, typing during a scan, stop, the index with its scan fallback, the thesaurus headword.

#include "appcontext.h"
#include "codepage.h"
#include "findtxthtml.h"
#include "indexbuilder.h"
#include "pagescan.h"
#include "rawpack.h"
#include "setbusy.h"
#include "testfiles.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

namespace {

// A pane that "shows" disk pages and finds in them as the engine does: the matches of the
// visible text, the next one selected on each find of the same text, round again after the last.
class FakePanes final : public HtmlPanesHooks
{
public:
    QString current;
    QStringList queries;
    QString lastText;
    int active = 0;

    void ShowPage(const QString& file) override
    {
        current = file;
        lastText.clear();
    }
    QString currentFile() const override { return current; }
    void findText(const QString& text, bool matchCase, std::function<void(int, int)> done) override
    {
        queries.append(text);
        QFile file(current);
        const QString visible = file.open(QIODevice::ReadOnly) ? visiblePageText(file.readAll()) : QString();
        const int matches = int(visible.count(text, matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive));
        active = matches == 0 ? 0 : (text == lastText ? active % matches + 1 : 1);
        lastText = text;
        done(matches, active);
    }
    bool isLoading() const override { return false; }
    // The headword of the article at anchor is selected (the fake page always has one).
    QStringList headwordAnchors;
    void selectHeadword(const QString& anchor, const QString&, std::function<void(const QString&)> done) override
    {
        headwordAnchors.append(anchor);
        done(QStringLiteral("Тормоз"));
    }

    void ShowHtmlElement(int, const QString&) override {}
    void ShowScreenPane() override {}
    void ScrollToTop() override {}
    void selectAll() override {}
    void printCurrentPage() override {}
    void CopyPageFiles() override {}
    bool archiveMode() const override { return false; }
    void setArchiveMode(bool) override {}
    void saveSettings() override {}
    void setTreeWidth(int) override {}
    bool currentVisible() const override { return true; }
    QStringList historyFiles() const override { return {}; }
    QStringList historyTitles() const override { return {}; }
    int historyIndex() const override { return 0; }
    void SetHistoryIndex(int) override {}
    QString currentTitle() const override { return {}; }
    int scrollPosition() const override { return 0; }
    void setScrollPosition(int) override {}
    void copySelection() override {}
    void AddSection(const QString&) override {}
    QString GoBackPage() override { return {}; }
    QString GoForwardPage() override { return {}; }
    void FillClient() override {}
    void RestoreBounds() override {}
};

} // namespace

class TestFindTxtHtml : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_root = m_dir->path() + QLatin1Char('/');
        writeTestFile(m_root + "a.htm", toCp1251(u"<title>А</title><p>Кузов и тормоз.</p>"_qs));
        writeTestFile(m_root + "html/b.htm", toCp1251(u"<title>Б</title><p>Колодки</p>"_qs));
        writeTestFile(m_root + "html/c.htm", toCp1251(u"<title>В</title><p>колодки, КОЛОДКИ</p>"_qs));
        writeTestFile(m_root + "html/d.htm", toCp1251(u"<title>Г</title><p>Диск</p>"_qs));
        m_context = std::make_unique<AppContext>(StartupValues::forContentFolder(m_dir->path()));
        m_panes = std::make_unique<FakePanes>();
        m_panes->current = m_root + "a.htm";
        m_status.clear();
        m_results.clear();
        m_busySeen = false;
        m_synced.clear();
        m_treeHas.clear();
    }

    void cleanup()
    {
        m_search.reset();
        m_parent.reset();
    }

    // With the all-pages flag clear a word that occurs once is found each time (the find wraps
    // round the page); a word not in the page says so.
    void pageSearch_wrapsRoundOnePage()
    {
        make();
        search(u"тормоз"_qs);
        search(u"тормоз"_qs);
        QCOMPARE(m_panes->active, 1);
        QCOMPARE(m_status, QStringList());
        QCOMPARE(m_panes->current, m_root + "a.htm");
        search(u"колодки"_qs);
        QCOMPARE(m_status, QStringList{u"Текст не найден"_qs});
        QCOMPARE(m_panes->current, m_root + "a.htm");
    }

    // All pages: each search shows the next match, page after page, each page once; at the end of
    // the round it says so, and the next search starts again from the shown page.
    void allPages_pageByPage()
    {
        make();
        m_search->SetAllPages(true);
        search(u"колодки"_qs);
        QCOMPARE(m_panes->current, m_root + "html/b.htm");
        search(u"колодки"_qs);
        QCOMPARE(m_panes->current, m_root + "html/c.htm");
        QCOMPARE(m_panes->active, 1);
        search(u"колодки"_qs);
        QCOMPARE(m_panes->current, m_root + "html/c.htm");
        QCOMPARE(m_panes->active, 2);
        QVERIFY(m_status.isEmpty());
        search(u"колодки"_qs);
        QCOMPARE(m_status, QStringList{u"Текст не найден"_qs});
        QVERIFY(m_busySeen);
        QVERIFY(!m_context->busy);
        // A new round: the shown page first, then the others.
        search(u"колодки"_qs);
        QVERIFY(m_status.isEmpty());
        QCOMPARE(m_panes->current, m_root + "html/c.htm");
        search(u"колодки"_qs);
        search(u"колодки"_qs);
        QCOMPARE(m_panes->current, m_root + "html/b.htm");
    }

    void blanksOnly_asksForAWord()
    {
        make();
        m_search->box(0)->setText(u"    "_qs);
        m_search->FindNext(1);
        QCOMPARE(m_status, QStringList{u"Введите слово для поиска"_qs});
        QCOMPARE(m_search->box(0)->text(), QString());
        QVERIFY(m_panes->queries.isEmpty());
        QVERIFY(!m_search->isRunning());
    }

    // While busy, keys in the box are swallowed and the search keeps its place.
    void typingWhileBusy_hasNoEffect()
    {
        make();
        m_search->box(0)->setText(u"колодки"_qs);
        SetBusy(*m_context, true);
        QTest::keyClicks(m_search->box(0), u"xyz"_qs);
        QTest::keyClick(m_search->box(0), Qt::Key_Return);
        QCOMPARE(m_search->box(0)->text(), u"колодки"_qs);
        QVERIFY(m_panes->queries.isEmpty());
        SetBusy(*m_context, false);
        QVERIFY(!m_context->busy);
    }

    // The stop ends the scan before its next page; the search is idle and the busy state over.
    void stop_endsTheScan()
    {
        for (int i = 0; i < 300; ++i)
            writeTestFile(m_root + QStringLiteral("many/p%1.htm").arg(i, 3, 10, QChar(u'0')), "<p>x</p>");
        make();
        m_search->SetAllPages(true);
        m_search->box(0)->setText(u"нигде"_qs);
        QSignalSpy finished(m_search.get(), &TFindTxtHtml::searchFinished);
        m_search->FindNext(1);
        QVERIFY(m_search->isRunning());
        QVERIFY(m_context->busy);
        m_search->StopSearch();
        QVERIFY(!m_search->isRunning());
        QTRY_VERIFY(!m_context->busy);
        QCOMPARE(m_panes->current, m_root + "a.htm");
    }

    // The index lists the pages of a word it knows; for one it does not know the pages are
    // scanned and listed with their titles from files.idx, and pages it does not list are left out.
    void indexSearch_withScanFallback()
    {
        writeFullTextIndex(buildFullTextIndex(m_root), m_root);
        writeTestFile(m_root + "html/e.htm", toCp1251(u"<p>колодки поздние</p>"_qs)); // not in files.idx
        make();
        m_search->setIndexMode();
        search(u"КОЛОДКИ"_qs);
        QCOMPARE(m_results, (QStringList{u"Б"_qs, u"В"_qs}));
        QCOMPARE(m_search->resultFiles().first(), m_root + "html/b.htm");

        search(u"олодк"_qs); // no keyword: the scan
        QVERIFY(m_busySeen);
        QCOMPARE(m_results, (QStringList{u"Б"_qs, u"В"_qs}));
        search(u"самолёт"_qs);
        QCOMPARE(m_results, QStringList());
        QCOMPARE(m_status.last(), u"Текст не найден"_qs);

        // Without index files the search says so and scans the pages all the same.
        QVERIFY(QFile::remove(m_root + "keywords.idx"));
        search(u"колодки"_qs);
        QCOMPARE(m_status, QStringList{u"Индескный(е) файл(ы) не найден"_qs});
        QCOMPARE(m_results, (QStringList{u"Б"_qs, u"В"_qs}));
    }

    // A result chosen in the list opens its page with the word selected there, and the tree follows.
    void chosenResult_opensItsPageWithTheWordSelected()
    {
        writeFullTextIndex(buildFullTextIndex(m_root), m_root);
        make();
        m_search->setIndexMode();
        search(u"колодки"_qs);
        QCOMPARE(m_results, (QStringList{u"Б"_qs, u"В"_qs}));
        m_panes->queries.clear();
        m_search->showResult(1);
        QTRY_VERIFY(!m_panes->queries.isEmpty() && !m_search->isRunning());
        QCOMPARE(m_panes->current, m_root + "html/c.htm");
        QCOMPARE(m_panes->queries, QStringList{u"колодки"_qs});
        QCOMPARE(m_panes->active, 1);
        QCOMPARE(m_synced, QStringList{QString()});
        QVERIFY(m_search->indexMode());
    }

    void treeMode_searchesTheCaptions()
    {
        make();
        m_search->setTreeMode();
        m_treeHas = u"Тормоза"_qs;
        search(u"тормоза"_qs);
        QVERIFY(m_status.isEmpty());
        search(u"кузов"_qs);
        QCOMPARE(m_status, QStringList{u"Текст не найден"_qs});
        QVERIFY(m_panes->queries.isEmpty());
    }

    // In the thesaurus copy the first search for a word looks for its headword first.
    void thesaurus_headwordFirst()
    {
        writeTestFile(m_root + "t.htm", toCp1251(u"<p>в тексте тормоз</p><p>~ Тормоз: устройство</p>"_qs));
        m_context->setRunMode(RunMode::Thesaurus);
        make();
        m_panes->current = m_root + "t.htm";
        search(u"тормоз"_qs);
        QCOMPARE(m_panes->queries, QStringList{u"~ тормоз"_qs});
        search(u"тормоз"_qs);
        QCOMPARE(m_panes->queries.last(), u"тормоз"_qs);
    }

    // In the thesaurus window a word that the page shown does not hold is looked up in
    // tezaurus.idx, and its article opens with the headword selected.
    void thesaurus_wordNotInThePage_opensItsArticle_data()
    {
        QTest::addColumn<QByteArray>("index"); // tezaurus.idx on disk; null for none
        QTest::addColumn<bool>("unreadable");  // a packed tezaurus.idx that cannot be unpacked
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("page"); // shown afterwards, relative to the content folder
        QTest::addColumn<QStringList>("headwords");
        QTest::addColumn<QStringList>("status");

        const QByteArray index = toCp1251(u"тормоз ~ t\\brakes.htm#top\r\nмасло ~ t\\oil.htm\r\n"_qs);
        QTest::newRow("article with an anchor")
            << index << false << u"Тормоза"_qs << u"t/brakes.htm#top"_qs << QStringList{u"top"_qs} << QStringList();
        QTest::newRow("article without one")
            << index << false << u"масло"_qs << u"t/oil.htm"_qs << QStringList{QString()} << QStringList();
        QTest::newRow("word not in the thesaurus")
            << index << false << u"кузов"_qs << u"t.htm"_qs << QStringList() << QStringList{u"Текст не найден"_qs};
        QTest::newRow("no tezaurus.idx") << QByteArray() << false << u"масло"_qs << u"t.htm"_qs << QStringList()
                                         << QStringList{u"Текст не найден"_qs};
        QTest::newRow("tezaurus.idx unreadable") << QByteArray() << true << u"масло"_qs << u"t.htm"_qs << QStringList()
                                                 << QStringList{u"Индексный файл не найден (tezaurus.idx)"_qs};
    }
    void thesaurus_wordNotInThePage_opensItsArticle()
    {
        QFETCH(QByteArray, index);
        QFETCH(bool, unreadable);
        QFETCH(QString, word);
        writeTestFile(m_root + "t.htm", toCp1251(u"<p>~ Тезаурус: слова руководства</p>"_qs));
        if (!index.isNull())
            writeTestFile(m_root + "tezaurus.idx", index);
        if (unreadable) {
            RawPack raw;
            raw.entries.append({"TEZAURUS.IDX", 0, 4, 100, 1});
            raw.data = "junk";
            raw.folders = {{0, 1}};
            writeTestFile(m_root + "interface.dat", raw.bytes());
            QVERIFY(m_context->pack.OpenPack(m_root + "interface.dat"));
            m_context->pack.SetPackBase(m_context->values.contentDir);
        }
        m_context->setRunMode(RunMode::Thesaurus);
        make();
        m_panes->current = m_root + "t.htm";
        search(word);
        QFETCH(QString, page);
        QCOMPARE(m_panes->current, m_root + page);
        QTEST(m_panes->headwordAnchors, "headwords");
        QTEST(m_status, "status");
        QVERIFY(!m_context->busy);
    }

private:
    void make()
    {
        m_parent = std::make_unique<QWidget>();
        FindServices services;
        services.panes = [this]() -> HtmlPanesHooks* { return m_panes.get(); };
        services.showStatus = [this](const QString& text) { m_status.append(text); };
        services.clearStatus = [] {};
        services.setBusy = [this](bool busy) {
            m_busySeen = m_busySeen || busy;
            SetBusy(*m_context, busy);
        };
        services.showResults = [this](const QStringList&, const QStringList& titles) { m_results = titles; };
        services.currentScreen = [] { return 0; };
        services.syncTree = [this](const QString& page) { m_synced.append(page); };
        services.findInTree = [this](const QString& text) {
            return !m_treeHas.isEmpty() && m_treeHas.compare(text, Qt::CaseInsensitive) == 0;
        };
        RFindTxt element;
        element.number = 1;
        element.vw = 100;
        element.vh = 20;
        m_search = std::make_unique<TFindTxtHtml>(*m_context, TDynamicFindTxtArray{element}, m_parent.get(),
                                                  std::move(services));
    }

    // Types text (when it differs) and searches, waiting for the search to go idle.
    void search(const QString& text)
    {
        if (m_search->box(0)->text() != text)
            m_search->box(0)->setText(text);
        m_status.clear();
        m_search->FindNext(1);
        QTRY_VERIFY(!m_search->isRunning());
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root;
    std::unique_ptr<AppContext> m_context;
    std::unique_ptr<FakePanes> m_panes;
    std::unique_ptr<QWidget> m_parent;
    std::unique_ptr<TFindTxtHtml> m_search;
    QStringList m_status;
    QStringList m_results;
    bool m_busySeen = false;
    QStringList m_synced;
    QString m_treeHas;
};

QTEST_MAIN(TestFindTxtHtml)
#include "tst_findtxthtml.moc"
