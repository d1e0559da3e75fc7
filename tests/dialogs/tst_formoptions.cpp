// The options dialog: a first run's defaults, what OK writes back (and what it clamps), Cancel,
// the period label's plural forms, and the interface variant that is never read back.

#include "settingskeys.h"
#include "settingsstore.h"
#include "tformoptions.h"
#include "usersettings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QSlider>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>

class TestFormOptions : public QObject
{
    Q_OBJECT

private:
    int m_title = 0;

    std::unique_ptr<SettingsStore> freshStore()
    {
        auto store = std::make_unique<SettingsStore>(QStringLiteral("options test %1").arg(++m_title));
        for (const QString& key :
             {SettingsKeys::Clip, SettingsKeys::Wav, SettingsKeys::BGSound, SettingsKeys::Animation, SettingsKeys::Hint,
              SettingsKeys::RunSlideShow, SettingsKeys::SlideShowTime, SettingsKeys::ImageSequence,
              SettingsKeys::SizeInterface})
            store->remove(key);
        return store;
    }

    static OptionsSetup everything()
    {
        OptionsSetup setup;
        setup.hasImageAreas = true;
        setup.startClipNamed = true;
        setup.clickSoundsNamed = true;
        return setup;
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void firstRunFillsTheDefaults_data()
    {
        QTest::addColumn<bool>("images");
        QTest::newRow("with picture areas") << true;
        QTest::newRow("without") << false;
    }
    void firstRunFillsTheDefaults()
    {
        QFETCH(bool, images);
        auto store = freshStore();
        const UserSettings settings = UserSettings::Load(*store, images);
        for (const QString& key : {SettingsKeys::Clip, SettingsKeys::Wav, SettingsKeys::BGSound,
                                   SettingsKeys::Animation, SettingsKeys::Hint})
            QCOMPARE(store->readBool(key), true);
        QCOMPARE(store->readBool(SettingsKeys::RunSlideShow), images ? std::optional(false) : std::nullopt);
        QCOMPARE(store->readInt(SettingsKeys::SlideShowTime), images ? std::optional(5) : std::nullopt);
        QCOMPARE(store->readInt(SettingsKeys::ImageSequence), images ? std::optional(0) : std::nullopt);
        QCOMPARE(settings.slideShowTime, 5);

        UserSettings editable = settings;
        OptionsSetup setup = everything();
        setup.hasImageAreas = images;
        TFormOptions dialog(nullptr, editable, *store, setup);
        QCOMPARE(dialog.windowTitle(), QStringLiteral(u"Настройки"));
        QCOMPARE(dialog.tabs()->isTabVisible(1), images);
        dialog.showOptions();
        QVERIFY(dialog.wavBox()->isChecked());
        QCOMPARE(dialog.variantGroup()->checkedId(), 0);
        QCOMPARE(dialog.periodLabel()->text(), QStringLiteral(u"5 секунд"));
    }

    void okClampsWhatTheControlsCannotShow()
    {
        auto store = freshStore();
        store->writeInt(SettingsKeys::SlideShowTime, 30);
        store->writeInt(SettingsKeys::ImageSequence, 2);
        UserSettings settings = UserSettings::Load(*store, true);
        QCOMPARE(settings.imageSequence, 2); // random order until the dialog says otherwise
        QList<int> periods;
        OptionsSetup setup = everything();
        setup.setSlideShowPeriod = [&periods](int seconds) { periods.append(seconds); };
        TFormOptions dialog(nullptr, settings, *store, setup);
        dialog.showOptions();
        QCOMPARE(dialog.periodSlider()->value(), 10);
        QCOMPARE(dialog.sequenceGroup()->checkedId(), 1);
        dialog.accept();
        QCOMPARE(store->readInt(SettingsKeys::SlideShowTime), 10);
        QCOMPARE(store->readInt(SettingsKeys::ImageSequence), 1);
        QCOMPARE(settings.slideShowTime, 10);
        QCOMPARE(periods, QList<int>{10}); // the running slide show takes it at once
        QVERIFY(!dialog.isVisible());
    }

    void disabledBoxesTurnTheirSettingsOff_data()
    {
        QTest::addColumn<bool>("startClip");
        QTest::addColumn<bool>("sounds");
        QTest::newRow("no start clip") << false << true;
        QTest::newRow("no button sounds") << true << false;
    }
    void disabledBoxesTurnTheirSettingsOff()
    {
        QFETCH(bool, startClip);
        QFETCH(bool, sounds);
        auto store = freshStore();
        UserSettings settings = UserSettings::Load(*store, false);
        OptionsSetup setup = everything();
        setup.startClipNamed = startClip;
        setup.clickSoundsNamed = sounds;
        TFormOptions dialog(nullptr, settings, *store, setup);
        dialog.showOptions();
        dialog.accept();
        QCOMPARE(store->readBool(SettingsKeys::Clip), startClip);
        QCOMPARE(store->readBool(SettingsKeys::Wav), sounds);
        QCOMPARE(settings.clip, startClip);
        QCOMPARE(settings.wav, sounds);
    }

    void okWritesChangesAndSwitchesTheSlideShow()
    {
        auto store = freshStore();
        UserSettings settings = UserSettings::Load(*store, true);
        QList<bool> running;
        OptionsSetup setup = everything();
        setup.setSlideShowRunning = [&running](bool on) { running.append(on); };
        TFormOptions dialog(nullptr, settings, *store, setup);
        dialog.showOptions();
        dialog.wavBox()->setChecked(false);
        dialog.slideShowBox()->setChecked(true);
        dialog.periodSlider()->setValue(2);
        QCOMPARE(dialog.periodLabel()->text(), QStringLiteral(u"2 секунды"));
        dialog.variantGroup()->button(2)->setChecked(true);
        dialog.accept();
        QCOMPARE(store->readBool(SettingsKeys::Wav), false);
        QCOMPARE(store->readBool(SettingsKeys::RunSlideShow), true);
        QCOMPARE(store->readInt(SettingsKeys::SlideShowTime), 2);
        QCOMPARE(store->readInt(SettingsKeys::SizeInterface), 2);
        QCOMPARE(running, QList<bool>{true});
        // The interface variant is not read back: the next run starts with the automatic choice.
        UserSettings next = UserSettings::Load(*store, true);
        TFormOptions again(nullptr, next, *store, everything());
        again.showOptions();
        QCOMPARE(again.variantGroup()->checkedId(), 0);
    }

    void cancelWritesNothing()
    {
        auto store = freshStore();
        UserSettings settings = UserSettings::Load(*store, true);
        TFormOptions dialog(nullptr, settings, *store, everything());
        dialog.showOptions();
        dialog.wavBox()->setChecked(false);
        dialog.periodSlider()->setValue(9);
        dialog.reject();
        QCOMPARE(store->readBool(SettingsKeys::Wav), true);
        QCOMPARE(store->readInt(SettingsKeys::SlideShowTime), 5);
        QVERIFY(settings.wav);
        QVERIFY(!store->readInt(SettingsKeys::SizeInterface).has_value());
    }

    void periodTextPluralForms_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("1") << 1 << QStringLiteral(u"1 секунда");
        QTest::newRow("2") << 2 << QStringLiteral(u"2 секунды");
        QTest::newRow("4") << 4 << QStringLiteral(u"4 секунды");
        QTest::newRow("5") << 5 << QStringLiteral(u"5 секунд");
        QTest::newRow("10") << 10 << QStringLiteral(u"10 секунд");
    }
    void periodTextPluralForms()
    {
        QFETCH(int, seconds);
        QTEST(TFormOptions::periodText(seconds), "text");
    }
};

QTEST_MAIN(TestFormOptions)
#include "tst_formoptions.moc"
