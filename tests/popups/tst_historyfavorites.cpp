// What the back and forward lists show for a pane's history, and the favorites: their stored
// form, the limit of ten, titles that are there already, deleting, and what a later run reads.

#include "historylists.h"
#include "htmlfavorite.h"
#include "settingskeys.h"
#include "settingsstore.h"

#include <QFile>
#include <QStandardPaths>
#include <QTest>

namespace {

// Slot by slot: the index of the entry a slot shows ("history=i"), -1 for an empty slot.
QList<int> entries(const HistorySlots& slots)
{
    QList<int> out;
    for (const std::optional<HistorySlot>& slot : slots)
        out.append(slot ? slot->command.section(QLatin1Char('='), 1).toInt() : -1);
    return out;
}

QStringList titles(int count)
{
    QStringList out;
    for (int i = 0; i < count; ++i)
        out.append(QStringLiteral("page %1").arg(i));
    return out;
}

// A title whose settings file from an earlier run is gone.
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

QStringList storedFavorites(const QString& title)
{
    const SettingsStore store(title);
    QStringList values;
    for (int i = 0; i < THtmlFavorite::kMaxFavorites; ++i)
        values.append(store.readString(SettingsKeys::favorite(i)).value_or(QStringLiteral("<absent>")));
    return values;
}

QString page(int i)
{
    return favoriteCommand(QStringLiteral("/disc/glava%1.htm").arg(i), 10 * i);
}

} // namespace

class TestHistoryFavorites : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void historyLists_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("index");
        QTest::addColumn<QList<int>>("back");
        QTest::addColumn<QList<int>>("forward");
        const int n = -1;
        QTest::newRow("newest of four") << 4 << 0 << QList{1, 2, 3, n, n, n, n, n} << QList{n, n, n, n, n, n, n, n};
        QTest::newRow("oldest of four") << 4 << 3 << QList{n, n, n, n, n, n, n, n} << QList{n, n, n, n, n, 2, 1, 0};
        QTest::newRow("middle of twenty")
            << 20 << 10 << QList{11, 12, 13, 14, 15, 16, 17, 18} << QList{9, 8, 7, 6, 5, 4, 3, 2};
        QTest::newRow("one page") << 1 << 0 << QList{n, n, n, n, n, n, n, n} << QList{n, n, n, n, n, n, n, n};
        QTest::newRow("empty history") << 0 << 0 << QList{n, n, n, n, n, n, n, n} << QList{n, n, n, n, n, n, n, n};
    }
    void historyLists()
    {
        QFETCH(int, count);
        QFETCH(int, index);
        QFETCH(QList<int>, back);
        QFETCH(QList<int>, forward);
        QCOMPARE(entries(historyBackSlots(titles(count), index)), back);
        QCOMPARE(entries(historyForwardSlots(titles(count), index)), forward);
    }

    void historyLists_captions()
    {
        const QString longTitle(400, QLatin1Char('x'));
        const HistorySlots slots = historyBackSlots({"shown", "", longTitle, "Глава 2"}, 0);
        QCOMPARE(slots[0]->caption, u"Без названия"_qs);
        QCOMPARE(slots[1]->caption, QString(kHistoryTitleLength, QLatin1Char('x')));
        QCOMPARE(slots[2]->caption, u"Глава 2"_qs);
        QCOMPARE(slots[2]->command, u"history=3"_qs);
    }

    // A list clicked after the history changed may name an entry that is gone.
    void historyCommand_outsideTheHistory_namesNoEntry()
    {
        QCOMPARE(historyCommandIndex(QStringLiteral("history=3"), 4), 3);
        QCOMPARE(historyCommandIndex(QStringLiteral("history=4"), 4), -1);
        QCOMPARE(historyCommandIndex(QStringLiteral("history=-1"), 4), -1);
        QCOMPARE(historyCommandIndex(QStringLiteral("history=x"), 4), -1);
        QCOMPARE(historyCommandIndex(QStringLiteral("history"), 4), -1);
    }

    void favoriteValues_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("command");
        QTest::newRow("as written") << u"{Глава 2}htmlpos=/d/glava2.htm=120"_qs << u"Глава 2"_qs
                                    << u"htmlpos=/d/glava2.htm=120"_qs;
        // A title may hold a brace; it still reads back whole.
        QTest::newRow("brace in the title")
            << u"{Схема {A} и }B}htmlpos=/d/a.htm=0"_qs << u"Схема {A} и }B"_qs << u"htmlpos=/d/a.htm=0"_qs;
        QTest::newRow("no braces") << u"htmlpos=/d/a.htm=0"_qs << QString() << u"htmlpos=/d/a.htm=0"_qs;
        QTest::newRow("closing brace only") << u"abc}htmlpos=/d/a.htm=0"_qs << QString() << u"htmlpos=/d/a.htm=0"_qs;
        QTest::newRow("other command") << u"{x}y}z"_qs << u"x"_qs << u"y}z"_qs;
    }
    void favoriteValues()
    {
        QFETCH(QString, value);
        QFETCH(QString, caption);
        QFETCH(QString, command);
        const RFavoriteCaption favorite = parseFavoriteValue(value);
        QCOMPARE(favorite.caption, caption);
        QCOMPARE(favorite.command, command);
        if (!caption.isEmpty())
            QCOMPARE(parseFavoriteValue(favoriteValue(favorite)).caption, caption);
    }

    void favoriteJump_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("position");
        QTest::newRow("page and place") << u"htmlpos=/d/glava2.htm=120"_qs << u"/d/glava2.htm"_qs << 120;
        QTest::newRow("'=' in the file name") << u"htmlpos=/d/a=b.htm=7"_qs << u"/d/a=b.htm"_qs << 7;
        QTest::newRow("no place") << u"htmlpos=/d/a.htm"_qs << u"/d/a.htm"_qs << 0;
        QTest::newRow("no page") << u"htmlpos==5"_qs << QString() << -1;
        QTest::newRow("another command") << u"run=/bin/sh"_qs << QString() << -1;
    }
    void favoriteJump()
    {
        QFETCH(QString, command);
        QFETCH(QString, file);
        QFETCH(int, position);
        const std::optional<FavoriteJump> jump = parseFavoriteJump(command);
        QCOMPARE(jump.has_value(), !file.isEmpty());
        if (jump) {
            QCOMPARE(jump->file, file);
            QCOMPARE(jump->position, position);
        }
    }

    void favorites_keepTheTenNewest_acrossRuns()
    {
        const QString title = freshTitle(QStringLiteral("favorites ten"));
        {
            SettingsStore store(title);
            THtmlFavorite favorites(store, nullptr);
            for (int i = 0; i < 11; ++i)
                QVERIFY(favorites.AddFavorite(QStringLiteral("Глава %1").arg(i), page(i)));
            QCOMPARE(favorites.favorites().size(), 10);
            QCOMPARE(favorites.favorites().first().caption, u"Глава 1"_qs);
            QCOMPARE(favorites.favorites().last().command, page(10));
        }
        QStringList expected;
        for (int i = 1; i <= 10; ++i)
            expected.append(QStringLiteral("{Глава %1}").arg(i) + page(i));
        QCOMPARE(storedFavorites(title), expected);

        SettingsStore store(title);
        THtmlFavorite again(store, nullptr);
        QCOMPARE(again.favorites().size(), 10);
        QCOMPARE(again.favorites()[3].caption, u"Глава 4"_qs);
        QCOMPARE(again.favorites()[3].command, page(4));
    }

    // A favorite is known by its title: another page of the same title (in any case) is not
    // added.
    void favorites_sameTitle_isNotAddedAgain()
    {
        SettingsStore store(freshTitle(QStringLiteral("favorites same title")));
        THtmlFavorite favorites(store, nullptr);
        QVERIFY(favorites.AddFavorite(u"Глава 2"_qs, page(2)));
        QVERIFY(!favorites.AddFavorite(u"ГЛАВА 2"_qs, page(3)));
        QCOMPARE(favorites.favorites().size(), 1);
        QCOMPARE(favorites.favorites().first().command, page(2));
    }

    void favorites_deletedToTheLast_leaveNoValues()
    {
        const QString title = freshTitle(QStringLiteral("favorites deleted"));
        {
            SettingsStore store(title);
            THtmlFavorite favorites(store, nullptr);
            for (int i = 0; i < 3; ++i)
                favorites.AddFavorite(QStringLiteral("p%1").arg(i), page(i));
            favorites.DeleteFavorite(1);
            QCOMPARE(favorites.favorites().size(), 2);
            QCOMPARE(favorites.favorites()[1].caption, u"p2"_qs);
            QCOMPARE(storedFavorites(title).mid(0, 3), (QStringList{"{p0}" + page(0), "{p2}" + page(2), "<absent>"}));
            favorites.DeleteFavorite(5); // no such favorite
            favorites.DeleteFavorite(0);
            favorites.DeleteFavorite(0);
            QVERIFY(favorites.favorites().isEmpty());
        }
        QCOMPARE(storedFavorites(title), QStringList(10, QStringLiteral("<absent>")));
    }

    // Values that are missing, empty or not text are passed over; the rest keep their order and
    // are written back without the gaps.
    void favorites_unreadableValues_areSkipped()
    {
        const QString title = freshTitle(QStringLiteral("favorites gaps"));
        {
            SettingsStore store(title);
            store.writeString(SettingsKeys::favorite(0), "{a}" + page(0));
            store.writeString(SettingsKeys::favorite(2), QString());
            store.writeString(SettingsKeys::favorite(4), "{b}" + page(4));
            store.writeInt(SettingsKeys::favorite(5), 7); // a number reads as text "7": a command
            store.writeString(SettingsKeys::favorite(9), "{c}" + page(9));
        }
        {
            SettingsStore store(title);
            THtmlFavorite favorites(store, nullptr);
            QStringList captions;
            for (const RFavoriteCaption& f : favorites.favorites())
                captions.append(f.caption);
            QCOMPARE(captions, (QStringList{"a", "b", "", "c"}));
        }
        QCOMPARE(storedFavorites(title).mid(0, 5),
                 (QStringList{"{a}" + page(0), "{b}" + page(4), "{}7", "{c}" + page(9), "<absent>"}));
    }
};

QTEST_GUILESS_MAIN(TestHistoryFavorites)
#include "tst_historyfavorites.moc"
