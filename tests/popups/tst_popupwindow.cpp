// The popup lists as windows: built from the skin's elements for the screen shown, filled with
// the pane's history and the favorites, laid out, opened on the desktop, and their items run.

#include "controlpopupwindow.h"
#include "htmlfavorite.h"
#include "popuplayout.h"
#include "popupwindow.h"
#include "settingskeys.h"
#include "settingsstore.h"
#include "skinscript.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

namespace {

constexpr int kMargin = 6;
constexpr QSize kBackground(200, 120);
constexpr QSize kItem(180, 20);

QByteArray bitmap(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

// The background: red rows, a green middle row and a blue bottom band of kMargin rows, so a fitted
// picture shows which rows it took.
QImage background()
{
    QImage image(kBackground, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (int x = 0; x < image.width(); ++x) {
        image.setPixel(x, kBackground.height() / 2, qRgb(0, 255, 0));
        for (int y = kBackground.height() - kMargin; y < kBackground.height(); ++y)
            image.setPixel(x, y, qRgb(0, 0, 255));
    }
    return image;
}

RPopupData element(int type, QStringList captions = {}, QStringList commands = {})
{
    RPopupData data;
    data.xfon = -1;
    data.yfon = -1;
    data.fnfon = QStringLiteral("pop_bg.bmp");
    data.xbtn = -1;
    data.ybtn = kMargin;
    // Lists name their pictures as paths; the container holds them by file name.
    data.fnbtnup = QStringList{QStringLiteral("/disc/item_up.bmp")};
    data.fnbtnmove = QStringList{QStringLiteral("/disc/item_mv.bmp")};
    data.fnbtndown = QStringList{QStringLiteral("/disc/item_dn.bmp")};
    data.fontup = data.fontmv = QStringLiteral("dejavu sans");
    data.sizeup = data.sizemv = 9;
    data.stylemv = QStringLiteral("bold");
    data.colorup = 0xFFFFFF;
    data.caption = captions;
    data.go = commands;
    data.type = type;
    return data;
}

class FakePanes final : public HtmlPanesHooks
{
public:
    QStringList files{"/disc/c.htm", "/disc/b.htm", "/disc/a.htm"};
    QStringList titles{"C", "", "A"};
    int index = 0;
    QString current = "/disc/c.htm";
    int scroll = 0;
    QStringList calls;

    void ShowHtmlElement(int number, const QString& page) override
    {
        calls.append(QStringLiteral("ShowHtmlElement %1 %2").arg(number).arg(page));
    }
    void ShowScreenPane() override {}
    void ShowPage(const QString& file) override { calls.append("ShowPage " + file); }
    QString currentFile() const override { return current; }
    void ScrollToTop() override {}
    void selectAll() override { calls.append("selectAll"); }
    void printCurrentPage() override { calls.append("print"); }
    void CopyPageFiles() override {}
    bool archiveMode() const override { return false; }
    void saveSettings() override {}
    void setTreeWidth(int) override {}
    bool currentVisible() const override { return true; }
    QStringList historyFiles() const override { return files; }
    QStringList historyTitles() const override { return titles; }
    int historyIndex() const override { return index; }
    void SetHistoryIndex(int i) override { calls.append(QStringLiteral("SetHistoryIndex %1").arg(i)); }
    QString currentTitle() const override { return titles.value(index); }
    int scrollPosition() const override { return scroll; }
    void setScrollPosition(int y) override { calls.append(QStringLiteral("scroll %1").arg(y)); }
    void copySelection() override { calls.append("copy"); }
    bool isLoading() const override { return false; }
    void AddSection(const QString&) override {}
    QString GoBackPage() override { return {}; }
    QString GoForwardPage() override { return {}; }
    void FillClient() override {}
    void RestoreBounds() override {}
    void findText(const QString&, bool, std::function<void(int, int)> done) override { done(0, 0); }
    void setArchiveMode(bool) override {}
};

class FakeTrees final : public TreesHooks
{
public:
    QStringList synced;
    void setPendingPage(const QString&) override {}
    void ShowTreeForScreen() override {}
    void chooseTree(int) override {}
    void showTrees() override {}
    void hideTrees() override {}
    void NextChapter() override {}
    void PrevChapter() override {}
    void SyncTreeWithPage(const QString& name) override { synced.append(name); }
    bool secondTreeExists() const override { return false; }
    bool bothHidden() const override { return false; }
};

QString freshTitle(const QString& title)
{
    QString path;
    {
        const SettingsStore probe(title);
        path = probe.fileName();
    }
    QFile::remove(path);
    return title;
}

} // namespace

class TestPopupWindow : public QObject
{
    Q_OBJECT

    // The window around the popups: screen 0 with a numbered menu, screen 1 with the history
    // lists, the favorites and the pane's menu.
    struct Fixture
    {
        SkinScript script{ProgramFolders{"/", "/disc/"}};
        SettingsStore settings;
        FakePanes panes;
        FakeTrees trees;
        int screen = 1;
        QStringList dispatched;
        QHash<QString, QByteArray> resources;
        std::unique_ptr<TControlPopupWindow> popups;

        explicit Fixture(const QString& title) : settings(freshTitle(title))
        {
            script.screens.resize(2);
            RPopupData menu = element(2, {"Глава 1", "Глава 2"}, {"html2=glava1.htm", "html2=glava2.htm"});
            menu.vertex = QStringList{"0,0", "100,0", "100,60", "0,60"};
            menu.xfon = 40;
            menu.yfon = 50;
            script.screens[0].popups = {menu};
            script.screens[1].popups = {
                element(PopupHistoryBack), element(PopupHistoryForward), element(PopupFavorite),
                element(PopupContextHtml,
                        {"Копировать", "Выделить всё", "В закладки", "Страница", "Глава 2", "Шрифт", "Печать"},
                        {"copyclipboardhtml", "selectallhtml", "addtofavorite", "html=page.htm", "html2=page.htm",
                         "deffonthtml", "printhtml"})};
            resources.insert("pop_bg.bmp", bitmap(background()));
            for (const char* name : {"item_up.bmp", "item_mv.bmp", "item_dn.bmp"}) {
                QImage item(kItem, QImage::Format_RGB32);
                item.fill(Qt::darkGray);
                resources.insert(name, bitmap(item));
            }
            make();
        }
        void make()
        {
            PopupServices services;
            services.currentScreen = [this] { return screen; };
            services.mapToGlobal = [](QPoint p) { return p + QPoint(1000, 2000); };
            services.runCommand = [this](const QString& c) { dispatched.append(c); };
            services.panes = [this] { return &panes; };
            services.trees = [this] { return &trees; };
            services.readResource = [this](const QString& name) -> std::optional<QByteArray> {
                if (resources.contains(name))
                    return resources.value(name);
                return std::nullopt;
            };
            services.desktop = [](QPoint) { return QRect(0, 0, 1280, 1024); };
            popups.reset(); // the favorites are written before they are read again
            popups = std::make_unique<TControlPopupWindow>(script, settings, ProgramFolders{"/", "/disc/"}, services);
        }
        TPopupWindow* open(int number, QPoint at = QPoint(100, 100))
        {
            popups->OpenPopup(number, at);
            TPopupWindow* window = popups->popup(number == -4 ? -3 : number);
            return window && window->isVisible() ? window : nullptr;
        }
        // Presses item index of an open popup and lets its command run.
        void press(TPopupWindow* window, int index)
        {
            QTest::mouseClick(window, Qt::LeftButton, {}, window->item(index).rect().center());
            QCoreApplication::processEvents();
        }
    };

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // With three entries and the newest shown, the back list holds two items, the nearest first;
    // the popup shrinks to them and the margins, and keeps its background's top and bottom band.
    void historyList_shrinksToItsItems_keepingTheBottomBand()
    {
        Fixture f(QStringLiteral("popups history"));
        f.popups->popup(PopupHistoryBack); // the screen's popups are made on first use
        f.popups->fillHistoryLists(f.panes.titles, 0);
        TPopupWindow* back = f.popups->popup(PopupHistoryBack);
        QCOMPARE(back->itemCount(), 8);
        QCOMPARE(back->visibleItemCount(), 2);
        QCOMPARE(back->item(0).caption(), u"Без названия"_qs);
        QCOMPARE(back->item(0).command, u"history=1"_qs);
        QCOMPARE(back->item(1).caption(), u"A"_qs);
        QCOMPARE(back->item(0).rect(), QRect(QPoint(10, kMargin), kItem));
        QCOMPARE(back->item(1).rect().top(), kMargin + kItem.height());
        QCOMPARE(back->size(), QSize(kBackground.width(), 2 * kItem.height() + 2 * kMargin));
        const QImage& fitted = back->background();
        QCOMPARE(fitted.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(fitted.pixel(0, fitted.height() - kMargin), qRgb(0, 0, 255));
        QCOMPARE(fitted.pixel(0, fitted.height() - kMargin - 1), qRgb(255, 0, 0));
        QCOMPARE(f.popups->popup(PopupHistoryForward)->visibleItemCount(), 0);

        // From the oldest page the forward list fills from its bottom slot, nearest first.
        f.popups->popup(PopupHistoryBack); // the screen's popups are made on first use
        f.popups->fillHistoryLists(f.panes.titles, 2);
        TPopupWindow* forward = f.popups->popup(PopupHistoryForward);
        QCOMPARE(forward->visibleItemCount(), 2);
        QCOMPARE(forward->item(6).command, u"history=1"_qs);
        QCOMPARE(forward->item(7).command, u"history=0"_qs);
        QVERIFY(forward->item(6).rect().top() < forward->item(7).rect().top());
        QCOMPARE(back->visibleItemCount(), 0);
    }

    // The lists follow the pane whatever it did since the last page change, and an item shows its
    // entry after the tree followed it.
    void historyList_opensWithThePanesHistory_andRunsItsEntry()
    {
        Fixture f(QStringLiteral("popups history run"));
        TPopupWindow* back = f.open(PopupHistoryBack, QPoint(500, 300));
        QVERIFY(back);
        // The list's top-right corner is at the point.
        QCOMPARE(back->geometry().topRight(), QPoint(500 - 1, 300));
        QVERIFY(!f.open(PopupHistoryForward));
        back = f.open(PopupHistoryBack, QPoint(500, 300));
        f.press(back, 1);
        QVERIFY(!back->isVisible());
        QCOMPARE(f.trees.synced, QStringList{"/disc/a.htm"});
        QCOMPARE(f.panes.calls, QStringList{"SetHistoryIndex 2"});

        // An entry that is gone by the time the list is clicked is not shown.
        f.panes.calls.clear();
        f.popups->runItemCommand(QStringLiteral("history=3"));
        QVERIFY(f.panes.calls.isEmpty());
    }

    void captionTooWide_isShortened_withTheWholeCaptionAsTooltip()
    {
        Fixture f(QStringLiteral("popups caption"));
        const QString longTitle = u"Глава 6. Ходовая часть и рулевое управление автомобиля"_qs;
        f.popups->popup(PopupHistoryBack); // the screen's popups are made on first use
        f.popups->fillHistoryLists({"shown", longTitle, "Short"}, 0);
        const TPopupWindow* back = f.popups->popup(PopupHistoryBack);
        QVERIFY(back->item(0).shownCaption().endsWith(QStringLiteral("...")));
        QCOMPARE(back->item(0).hint(), longTitle);
        QCOMPARE(back->item(1).shownCaption(), u"Short"_qs);
        QVERIFY(back->item(1).hint().isEmpty());
        // The caption is drawn into the item's picture.
        QVERIFY(back->item(0).bitmap(TItemsBtn::Normal) != back->item(1).bitmap(TItemsBtn::Normal));
    }

    void placement_data()
    {
        QTest::addColumn<int>("screen");
        QTest::addColumn<int>("number");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QPoint>("placed");
        QTest::addColumn<bool>("shaped");
        // The context menu is 7 items: 7 * 20 + 2 * 6 = 152 high, 200 wide.
        QTest::newRow("at the point") << 1 << int(PopupContextHtml) << QPoint(300, 400) << QPoint(300, 400) << false;
        QTest::newRow("near the bottom-right corner")
            << 1 << int(PopupContextHtml) << QPoint(1250, 1000) << QPoint(1080, 872) << false;
        QTest::newRow("above and left of the desktop")
            << 1 << int(PopupContextHtml) << QPoint(-30, -30) << QPoint(0, 0) << false;
        // A fixed place is in the main window's client area; the start screen's menus take their
        // outlines.
        QTest::newRow("fixed place, outlined") << 0 << 2 << QPoint(5, 5) << QPoint() << true;
    }
    void placement()
    {
        QFETCH(int, screen);
        QFETCH(int, number);
        QFETCH(QPoint, at);
        QFETCH(QPoint, placed);
        QFETCH(bool, shaped);
        Fixture f(QStringLiteral("popups placement"));
        f.screen = screen;
        f.popups->BuildPopups();
        if (shaped) {
            // The fixed place lies below the desktop: the popup is moved up onto it.
            placed = QPoint(1040, 1024 - f.popups->popup(number)->height());
        }
        TPopupWindow* window = f.open(number, at);
        QVERIFY(window);
        QCOMPARE(window->pos(), placed);
        QCOMPARE(!window->mask().isEmpty(), shaped);
        if (shaped)
            QCOMPARE(window->mask().boundingRect(), QRect(0, 0, 100, 60));
    }

    void unknownOrEmptyPopup_opensNothing()
    {
        Fixture f(QStringLiteral("popups unknown"));
        QVERIFY(!f.open(7));
        QVERIFY(!f.open(2));             // a menu of the other screen
        QVERIFY(!f.open(PopupFavorite)); // no favorites yet
        QVERIFY(!f.open(TControlPopupWindow::kDeleteFavorites));
        QVERIFY(!f.popups->hideAll());
        QVERIFY(f.open(PopupContextHtml));
        QVERIFY(f.popups->hideAll());
        QVERIFY(!f.popups->popup(PopupContextHtml)->isVisible());
    }

    void contextMenuItems_goToThePane_orToTheWindow_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<QStringList>("paneCalls");
        QTest::addColumn<QStringList>("synced");
        QTest::addColumn<QStringList>("dispatched");
        QTest::newRow("copy") << 0 << QStringList{"copy"} << QStringList() << QStringList();
        QTest::newRow("select all") << 1 << QStringList{"selectAll"} << QStringList() << QStringList();
        QTest::newRow("html= shows the page in the current pane and opens its tree item")
            << 3 << QStringList{"ShowPage /disc/page.htm"} << QStringList{""} << QStringList();
        QTest::newRow("html2= goes to the window")
            << 4 << QStringList() << QStringList() << QStringList{"html2=page.htm"};
        QTest::newRow("font dialog: none in this build") << 5 << QStringList() << QStringList() << QStringList();
        QTest::newRow("print") << 6 << QStringList{"print"} << QStringList() << QStringList();
    }
    void contextMenuItems_goToThePane_orToTheWindow()
    {
        QFETCH(int, item);
        QFETCH(QStringList, paneCalls);
        QFETCH(QStringList, synced);
        QFETCH(QStringList, dispatched);
        Fixture f(QStringLiteral("popups context"));
        TPopupWindow* menu = f.open(PopupContextHtml);
        QVERIFY(menu);
        f.press(menu, item);
        QVERIFY(!menu->isVisible());
        QCOMPARE(f.panes.calls, paneCalls);
        QCOMPARE(f.trees.synced, synced);
        QCOMPARE(f.dispatched, dispatched);
    }

    // Favorites added from the pane, opened at their place, deleted one by one in delete mode,
    // and read again when the popups are built anew.
    void favorites_addOpenDelete_andSurviveARebuild()
    {
        Fixture f(QStringLiteral("popups favorites"));
        f.panes.scroll = 340;
        f.popups->AddFavorite(); // "C"
        f.panes.index = 2;
        f.panes.current = "/disc/a.htm";
        f.panes.scroll = 0;
        TPopupWindow* menu = f.open(PopupContextHtml);
        f.press(menu, 2); // "addtofavorite" from the pane's menu: "A"
        f.panes.index = 1;
        f.panes.current = "/disc/b.htm";
        f.popups->AddFavorite(); // no title
        f.popups->AddFavorite(); // the same (empty) title again: not added

        TPopupWindow* list = f.open(PopupFavorite);
        QVERIFY(list);
        QCOMPARE(list->itemCount(), 3);
        QCOMPARE(list->item(2).caption(), u"Без названия"_qs);
        QCOMPARE(list->height(), 3 * kItem.height() + 2 * kMargin);
        f.panes.calls.clear();
        f.press(list, 0);
        QCOMPARE(f.trees.synced.last(), u"/disc/c.htm"_qs);
        QCOMPARE(f.panes.calls, (QStringList{"ShowPage /disc/c.htm", "scroll 340"}));

        // Delete mode: the second of three goes, the list stays open with two.
        list = f.open(TControlPopupWindow::kDeleteFavorites);
        QVERIFY(list && list->deleteMode());
        f.press(list, 1);
        QVERIFY(list->isVisible());
        QCOMPARE(list->itemCount(), 2);
        QCOMPARE(list->item(1).caption(), u"Без названия"_qs);
        QCOMPARE(list->height(), 2 * kItem.height() + 2 * kMargin);
        QCOMPARE(f.popups->favorites()->favorites().size(), 2);
        QCOMPARE(f.settings.readString(SettingsKeys::favorite(1)), QString("{}" + favoriteCommand("/disc/b.htm", 0)));
        QVERIFY(!f.settings.readString(SettingsKeys::favorite(2)));

        // Opened normally again, it leaves delete mode.
        f.popups->hideAll();
        QVERIFY(!f.open(PopupFavorite)->deleteMode());

        f.make();
        list = f.popups->popup(PopupFavorite);
        QCOMPARE(list->itemCount(), 2);
        QCOMPARE(list->item(0).caption(), u"C"_qs);
        QCOMPARE(list->item(0).command, favoriteCommand("/disc/c.htm", 340));

        // Deleting the last ones closes the list.
        list = f.open(TControlPopupWindow::kDeleteFavorites);
        f.press(list, 0);
        f.press(list, 0);
        QVERIFY(!list->isVisible());
        QCOMPARE(list->itemCount(), 0);
        for (int i = 0; i < 10; ++i)
            QVERIFY(!f.settings.readString(SettingsKeys::favorite(i)));
    }

    // The eleventh favorite pushes the oldest out of the list's first item.
    void favorites_eleventh_replacesTheOldestInTheList()
    {
        Fixture f(QStringLiteral("popups favorites ten"));
        for (int i = 0; i < 11; ++i) {
            f.panes.titles = QStringList{QStringLiteral("Страница %1").arg(i)};
            f.panes.current = QStringLiteral("/disc/p%1.htm").arg(i);
            f.popups->AddFavorite();
        }
        const TPopupWindow* list = f.popups->popup(PopupFavorite);
        QCOMPARE(list->itemCount(), 10);
        QCOMPARE(list->item(0).caption(), u"Страница 1"_qs);
        QCOMPARE(list->item(9).caption(), u"Страница 10"_qs);
        QCOMPARE(list->item(9).command, favoriteCommand("/disc/p10.htm", 0));
    }

    // A favorite only opens a page: a stored value with another command is listed, not run; and
    // with no page shown there is nothing to add.
    void favorites_otherCommands_areNotRun_andNoPageAddsNothing()
    {
        Fixture f(QStringLiteral("popups favorites foreign"));
        f.popups.reset(); // the favorites it holds are written back as it goes
        f.settings.writeString(SettingsKeys::favorite(0), QStringLiteral("{Программа}run=/bin/sh"));
        f.make();
        TPopupWindow* list = f.open(PopupFavorite);
        QVERIFY(list);
        f.press(list, 0);
        QVERIFY(f.dispatched.isEmpty());

        f.panes.current.clear();
        f.popups->AddFavorite();
        QCOMPARE(f.popups->favorites()->favorites().size(), 1);
    }

    // A damaged script whose list never closes turns every later line into an item: the popup
    // stops at the height no desktop exceeds, keeps its bottom band, and its first items stay
    // where they were. (Found by fuzz_windowscripts: the popup grew by every item, a picture of
    // tens of thousands of rows made again for each one.)
    void longScriptList_stopsAtTheDesktopHeight()
    {
        Fixture f(QStringLiteral("popups long list"));
        QStringList captions;
        for (int i = 0; i < 400; ++i)
            captions.append(QStringLiteral("строка %1").arg(i));
        RPopupData list = element(2, captions);
        list.ybtn = 1'000'000'000; // a margin past the int range twice over
        f.script.screens[0].popups = {element(2, captions), list};
        f.screen = 0;
        f.make();
        TPopupWindow* menu = f.popups->popup(2);
        QVERIFY(menu);
        QCOMPARE(menu->itemCount(), 400);
        QCOMPARE(menu->size(), QSize(kBackground.width(), kMaxPopupHeight));
        QCOMPARE(menu->item(1).rect(), QRect(QPoint(10, kMargin + kItem.height()), kItem));
        const QImage& fitted = menu->background();
        QCOMPARE(fitted.pixel(0, kMaxPopupHeight - 1), qRgb(0, 0, 255));
        QCOMPARE(fitted.pixel(0, kMaxPopupHeight - kMargin - 1), qRgb(0, 255, 0));
        QVERIFY(f.open(2));
    }

    // Missing pictures leave an empty look and a popup without a size, which does not open.
    void missingPictures_leaveThePopupClosed()
    {
        Fixture f(QStringLiteral("popups missing"));
        f.resources.clear();
        f.popups->BuildPopups();
        QVERIFY(f.popups->popup(PopupContextHtml));
        QVERIFY(!f.open(PopupContextHtml));
    }

    // Pointer over an item shows its hover look; leaving the popup returns it to its normal look.
    void hover_followsThePointer()
    {
        Fixture f(QStringLiteral("popups hover"));
        TPopupWindow* menu = f.open(PopupContextHtml);
        QTest::mouseMove(menu, menu->item(1).rect().center());
        QTRY_VERIFY(menu->item(1).hovered);
        QVERIFY(!menu->item(0).hovered);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(menu, &leave);
        QVERIFY(!menu->item(1).hovered);
    }
};

QTEST_MAIN(TestPopupWindow)
#include "tst_popupwindow.moc"
