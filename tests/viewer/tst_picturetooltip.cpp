// The picture tooltip stepped tick by tick: when it shows, when it goes, and when the same picture
// brings it back. Steps: "P<id>:<title>" the pointer on a picture, "C<id>" on a control, "N" on
// nothing, "t<n>" n ticks of the timer.

#include "picturetooltip.h"

#include <QApplication>
#include <QTest>

class TestPictureTooltip final : public QObject
{
    Q_OBJECT

    static void run(PictureTooltip& tooltip, const QStringList& steps)
    {
        for (const QString& step : steps) {
            PointerObject object;
            switch (step.at(0).toLatin1()) {
            case 't':
                for (int i = step.mid(1).toInt(); i > 0; --i) {
                    if (tooltip.ticking())
                        tooltip.tick();
                }
                continue;
            case 'P': {
                object.kind = PointerObject::Picture;
                const qsizetype colon = step.indexOf(QLatin1Char(':'));
                object.id = step.mid(1, colon - 1);
                object.title = step.mid(colon + 1);
                break;
            }
            case 'C':
                object.kind = PointerObject::Control;
                object.id = step.mid(1);
                break;
            default:
                break;
            }
            tooltip.pointerMoved(object);
        }
    }

private Q_SLOTS:
    void steps_showAndHideTheTitle_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("ticking");
        QTest::addColumn<QString>("text");
        const auto row = [](const char* name, const QStringList& steps, bool shown, bool ticking, const char* text) {
            QTest::newRow(name) << steps << shown << ticking << QString::fromUtf8(text);
        };
        row("one tick is too soon", {"P1:Engine", "t1"}, false, true, "");
        row("the second tick shows it", {"P1:Engine", "t2"}, true, true, "Engine");
        row("it stays to the twentieth", {"P1:Engine", "t20"}, true, true, "Engine");
        row("and goes after", {"P1:Engine", "t21"}, false, false, "Engine");
        row("a picture without a title starts nothing", {"P1:", "t5"}, false, false, "");
        row("a control starts nothing", {"C1", "t5"}, false, false, "");
        row("leaving for nothing hides it", {"P1:Engine", "t3", "N", "t1"}, false, false, "Engine");
        row("a control in between keeps it", {"P1:Engine", "t3", "C2", "t1"}, true, true, "Engine");
        row("the same picture does not start it again", {"P1:Engine", "t21", "P1:Engine", "t5"}, false, false,
            "Engine");
        row("after leaving it does", {"P1:Engine", "t21", "N", "P1:Engine", "t2"}, true, true, "Engine");
        row("another picture takes the running timer", {"P1:Engine", "t3", "P2:Wheel", "t1"}, true, true, "Wheel");
        row("another picture starts its twenty ticks afresh", {"P1:Engine", "t15", "P2:Wheel", "t18"}, true, true,
            "Wheel");
    }

    void steps_showAndHideTheTitle()
    {
        QFETCH(QStringList, steps);
        QFETCH(bool, shown);
        QFETCH(bool, ticking);
        QFETCH(QString, text);
        PictureTooltip tooltip;
        run(tooltip, steps);
        QCOMPARE(tooltip.shown(), shown);
        QCOMPARE(tooltip.ticking(), ticking);
        QCOMPARE(tooltip.text(), text);
    }
};

QTEST_MAIN(TestPictureTooltip)
#include "tst_picturetooltip.moc"
