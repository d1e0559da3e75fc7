#include "settingskeys.h"
#include "settingsstore.h"
#include "skinscript.h"
#include "switchstates.h"

#include <QFile>
#include <QStandardPaths>
#include <QTest>

// Two screens; on each, one single switch and one group switch that are stored and one of each
// that is not.
static SkinScript scriptWithSwitches(bool state)
{
    SkinScript script(ProgramFolders{});
    script.screens.resize(2);
    for (SkinScreen& screen : script.screens) {
        for (bool store : {true, false}) {
            RSwthOne one;
            one.store = store;
            one.state = state;
            one.hover = true;
            screen.switchone.append(one);
            RSwthGrp group;
            group.store = store;
            group.state = state;
            group.hover = true;
            screen.switchgrp.append(group);
        }
    }
    return script;
}

// A title whose settings file from an earlier run is gone.
static QString freshTitle(const QString& title)
{
    QString path;
    {
        const SettingsStore probe(title);
        path = probe.fileName();
    }
    QFile::remove(path);
    return title;
}

class TestSwitchStates : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // A stored switch comes back as it was left; an unstored one is neither written nor read,
    // and comes back as the script declares it.
    void savedStates_comeBackOnlyForStoredSwitches()
    {
        const QString title = freshTitle(QStringLiteral(u"Переключатели"));
        {
            SettingsStore store(title);
            SkinScript left = scriptWithSwitches(false);
            left.screens[1].switchone[0].state = true;
            left.screens[0].switchgrp[0].state = true;
            left.screens[1].switchone[1].state = true; // not stored
            saveSwitchStates(left, store);
            QVERIFY(!store.readBool(SettingsKeys::singleSwitch(1, 1)).has_value());
            QVERIFY(!store.readBool(SettingsKeys::groupSwitch(0, 1)).has_value());
        }
        SettingsStore store(title);
        SkinScript next = scriptWithSwitches(false);
        restoreSwitchStates(next, store);
        QCOMPARE(next.screens[1].switchone[0].state, true);
        QCOMPARE(next.screens[0].switchgrp[0].state, true);
        QCOMPARE(next.screens[0].switchone[0].state, false);
        QCOMPARE(next.screens[1].switchone[1].state, false);
        for (const SkinScreen& screen : std::as_const(next.screens)) {
            for (const RSwthOne& one : screen.switchone)
                QVERIFY(!one.hover);
            for (const RSwthGrp& group : screen.switchgrp)
                QVERIFY(!group.hover);
        }
    }

    // A value a user or an older copy left unreadable keeps the script's state.
    void unreadableValue_keepsTheScriptsState()
    {
        SettingsStore store(freshTitle(QStringLiteral(u"Переключатели испорченные")));
        store.writeString(SettingsKeys::singleSwitch(0, 0), QStringLiteral("maybe"));
        SkinScript script = scriptWithSwitches(true);
        restoreSwitchStates(script, store);
        QCOMPARE(script.screens[0].switchone[0].state, true);
    }
};

QTEST_GUILESS_MAIN(TestSwitchStates)
#include "tst_switchstates.moc"
