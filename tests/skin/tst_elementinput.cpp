#include "elementinput.h"

#include <QTest>

Q_DECLARE_METATYPE(ElementKind)
Q_DECLARE_METATYPE(ElementCommand)

namespace {

// States written as letters: h hovered, p pressed, o on; "-" for none of them.
ElementState state(const char* letters)
{
    const QByteArray text(letters);
    ElementState s;
    s.hover = text.contains('h');
    s.pressed = text.contains('p');
    s.on = text.contains('o');
    return s;
}

QByteArray letters(const ElementState& s)
{
    QByteArray text;
    if (s.hover)
        text += 'h';
    if (s.pressed)
        text += 'p';
    if (s.on)
        text += 'o';
    return text.isEmpty() ? QByteArray("-") : text;
}

// The result of a step in one line: state, fade, command and flags, so that a row states it all.
QByteArray describe(const ElementStep& step)
{
    QByteArray text = letters(step.state);
    if (step.fades())
        text += ' ' + QByteArray::number(step.fadeFrom) + '>' + QByteArray::number(step.fadeTo);
    if (step.command != ElementCommand::None)
        text += QByteArray(" run:") + elementCommandName(step.command);
    if (step.repaint)
        text += " repaint";
    if (step.clearGroup)
        text += " clear-group";
    if (step.moveAgain)
        text += " move-again";
    if (step.stop)
        text += " stop";
    return text;
}

enum class Event
{
    Move,
    Press,
    Release
};

} // namespace

Q_DECLARE_METATYPE(Event)

class TestElementInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pointerStep_data()
    {
        QTest::addColumn<Event>("event");
        QTest::addColumn<ElementKind>("kind");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<bool>("hit");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<bool>("blocked");
        QTest::addColumn<QByteArray>("after");
        using K = ElementKind;
        const auto row = [](const char* name, Event event, K kind, const char* before, bool hit, const char* after,
                            bool shift = false, bool blocked = false) {
            QTest::newRow(name) << event << kind << QByteArray(before) << hit << shift << blocked << QByteArray(after);
        };
        const Event move = Event::Move, press = Event::Press, release = Event::Release;

        // Buttons: up (0), hover (1), down (2).
        row("button hovered", move, K::Button, "-", true, "h 0>1");
        row("button stays hovered", move, K::Button, "h", true, "h");
        row("button left", move, K::Button, "h", false, "- 1>0");
        row("button left while held is let go", move, K::Button, "hp", false, "- 1>0");
        row("button far away", move, K::Button, "-", false, "-");
        row("button pressed", press, K::Button, "h", true, "hp 1>2 stop");
        row("button held passes the press on", press, K::Button, "hp", true, "hp");
        row("button missed", press, K::Button, "h", false, "h");
        row("button released runs", release, K::Button, "hp", true, "h 2>1 run:Go");
        row("button released unheld fades to up", release, K::Button, "h", true, "h 2>0");
        row("button release elsewhere", release, K::Button, "hp", false, "hp");

        // Single switches: off (0), off hovered (1), on hovered (2), on (3).
        row("single off hovered", move, K::SingleSwitch, "-", true, "h 0>1");
        row("single on hovered", move, K::SingleSwitch, "o", true, "ho 3>2");
        row("single off left", move, K::SingleSwitch, "h", false, "- 1>0");
        row("single on left", move, K::SingleSwitch, "ho", false, "o 2>3");
        row("single blocked stops the move", move, K::SingleSwitch, "-", true, "- stop", false, true);
        row("single turned on", press, K::SingleSwitch, "h", true, "ho 1>2 run:Down stop");
        row("single turned off", press, K::SingleSwitch, "ho", true, "h 2>1 run:Up stop");
        row("single with shift runs nothing", press, K::SingleSwitch, "h", true, "ho 1>2 stop", true);
        row("single blocked keeps its state", press, K::SingleSwitch, "h", true, "h stop", false, true);
        row("single missed", press, K::SingleSwitch, "h", false, "h");
        row("single release does nothing", release, K::SingleSwitch, "ho", true, "ho");

        // Group switches repaint from their state instead of fading.
        row("group hovered", move, K::GroupSwitch, "-", true, "h repaint");
        row("group left", move, K::GroupSwitch, "ho", false, "o repaint");
        row("group unchanged", move, K::GroupSwitch, "h", true, "h");
        row("group turned on", press, K::GroupSwitch, "h", true, "ho run:Go repaint clear-group stop");
        row("group with shift rests on", press, K::GroupSwitch, "h", true, "o repaint clear-group stop", true);
        row("group on is not turned off", press, K::GroupSwitch, "ho", true, "ho stop");
        row("group missed", press, K::GroupSwitch, "h", false, "h");
        row("group released looks again", release, K::GroupSwitch, "ho", true, "o move-again");
        row("group release elsewhere", release, K::GroupSwitch, "ho", false, "ho");
    }

    void pointerStep()
    {
        QFETCH(Event, event);
        QFETCH(ElementKind, kind);
        QFETCH(QByteArray, before);
        QFETCH(bool, hit);
        QFETCH(bool, shift);
        QFETCH(bool, blocked);
        QFETCH(QByteArray, after);
        const ElementState s = state(before.constData());
        const ElementStep step = event == Event::Move    ? pointerMoveStep(kind, s, hit, blocked)
                                 : event == Event::Press ? pointerPressStep(kind, s, hit, shift, blocked)
                                                         : pointerReleaseStep(kind, s, hit);
        QCOMPARE(describe(step), after);
    }

    // A button whose command leaves the screen stays down when released: the screen changes
    // under it.
    void releasedButtonFadesBackUnlessItLeaves_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("fadesBack");
        QTest::newRow("html") << QStringLiteral("html1=a.htm") << true;
        QTest::newRow("another screen by number") << QStringLiteral("3") << true;
        QTest::newRow("screen2") << QStringLiteral("screen2=glava1.htm") << false;
        QTest::newRow("screen3") << QStringLiteral("screen3=x") << true;
        QTest::newRow("start screen") << QStringLiteral("1") << false;
        QTest::newRow("exit") << QStringLiteral("exit") << false;
        QTest::newRow("exit with more") << QStringLiteral("exit2") << false;
    }

    void releasedButtonFadesBackUnlessItLeaves()
    {
        QFETCH(QString, command);
        QFETCH(bool, fadesBack);
        QCOMPARE(releaseFadesBack(command), fadesBack);
        const ElementStep step = pointerReleaseStep(ElementKind::Button, state("hp"), true, fadesBack);
        QCOMPARE(step.command, ElementCommand::Go);
        QCOMPARE(step.fades(), fadesBack);
    }
};

QTEST_APPLESS_MAIN(TestElementInput)
#include "tst_elementinput.moc"
