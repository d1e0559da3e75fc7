// The text labels and the blinking status line, painted by a small window that does what the
// skinned window does: its background first, then the labels of its current screen.

#include "statusline.h"
#include "textmsg.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTest>
#include <QWidget>

namespace {

constexpr int kRed = 0x0000ff; // Windows colour values: red in the low byte
constexpr int kBlue = 0xff0000;

RText label(int vx, int vy, int screen, int number, const QString& ident, int color = kRed,
            const QString& value = QString())
{
    RText t;
    t.vx = vx;
    t.vy = vy;
    t.vw = vx + 200;
    t.font = QStringLiteral("DejaVu Sans");
    t.size = 14;
    t.style = QStringLiteral("bold");
    t.color = color;
    t.value = value;
    t.number = number;
    t.screen = screen;
    t.ident = ident;
    return t;
}

class Host final : public QWidget
{
public:
    int screen = 0;
    int paints = 0;
    QRegion repainted; // what the paints since the last reset covered
    TTextMsg* texts = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        ++paints;
        repainted += event->region();
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        if (texts)
            texts->PaintTexts(painter);
    }
};

// Whether any pixel of rect is mostly color.
bool hasColor(const QImage& image, const QRect& rect, QColor color)
{
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - color.red()) < 60 && std::abs(c.green() - color.green()) < 60 &&
                std::abs(c.blue() - color.blue()) < 60)
                return true;
        }
    }
    return false;
}

QImage paintOn(TTextMsg& texts, TTextMsg::Owner owner)
{
    QImage image(400, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    texts.PaintTexts(painter, owner);
    return image;
}

} // namespace

class TestTextMsg : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void paint_drawsOnlyTheCurrentScreensLabelsOfTheOwner()
    {
        int screen = 0;
        TTextMsg texts(nullptr,
                       {label(10, 10, 0, 1, "", kRed, "MMMM"), label(10, 60, 1, 2, "", kBlue, "MMMM"),
                        label(10, 110, 0, TTextMsg::kDialogNumber, "", kBlue, "MMMM")},
                       [&screen] { return screen; });
        const QRect first(10, 10, 150, 40), second(10, 60, 150, 40), dialog(10, 110, 150, 40);

        QImage image = paintOn(texts, TTextMsg::Owner::MainWindow);
        QVERIFY(hasColor(image, first, Qt::red));
        QVERIFY(!hasColor(image, second, Qt::blue));
        QVERIFY(!hasColor(image, dialog, Qt::blue));

        image = paintOn(texts, TTextMsg::Owner::Dialog);
        QVERIFY(hasColor(image, dialog, Qt::blue));
        QVERIFY(!hasColor(image, first, Qt::red));

        screen = 1;
        image = paintOn(texts, TTextMsg::Owner::MainWindow);
        QVERIFY(!hasColor(image, first, Qt::red));
        QVERIFY(hasColor(image, second, Qt::blue));
        QVERIFY(!texts.labels()[1].rect.isEmpty()); // the extent of the drawn text
        QCOMPARE(texts.labels()[1].rect.topLeft(), QPoint(10, 60));
    }

    void setText_selectsByNumberOrStatusLineIdent_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QList<bool>>("changed");
        // Labels: 1 "statusline", 1 "StatusLine", 2 "STATUSLINE", 3 "statusline2", 4 "ſtatusline".
        QTest::newRow("first label with the number") << 1 << QList<bool>{true, false, false, false, false};
        QTest::newRow("other number") << 3 << QList<bool>{false, false, false, true, false};
        QTest::newRow("missing number") << 7 << QList<bool>{false, false, false, false, false};
        QTest::newRow("status line, ASCII case only")
            << int(TTextMsg::kStatusLine) << QList<bool>{true, true, true, false, false};
    }

    void setText_selectsByNumberOrStatusLineIdent()
    {
        QFETCH(int, number);
        QFETCH(QList<bool>, changed);
        TTextMsg texts(nullptr,
                       {label(0, 0, 0, 1, "statusline"), label(0, 0, 0, 1, "StatusLine"),
                        label(0, 0, 0, 2, "STATUSLINE"), label(0, 0, 0, 3, "statusline2"),
                        label(0, 0, 0, 4, QStringLiteral(u"ſtatusline"))},
                       [] { return 0; });
        texts.SetText(QStringLiteral("new"), number, false);
        for (qsizetype i = 0; i < changed.size(); ++i)
            QCOMPARE(texts.labels()[i].text == QLatin1String("new"), changed[i]);
    }

    void setText_repaintsOnlyOnChangeAndClearsTheOldText()
    {
        Host host;
        host.resize(400, 100);
        TTextMsg texts(&host, {label(10, 10, 0, 1, "", kRed, "MMMMMMMMMM")}, [&host] { return host.screen; });
        host.texts = &texts;
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QTRY_VERIFY(host.paints > 0);
        const QRect tail(60, 10, 100, 20); // right of a one-letter text
        QVERIFY(hasColor(host.grab().toImage(), tail, Qt::red));

        QCoreApplication::processEvents();
        const int paints = host.paints;
        host.repainted = QRegion();
        texts.SetText(QStringLiteral("MMMMMMMMMM"), 1, true);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(host.paints, paints);

        texts.SetText(QStringLiteral("M"), 1, true);
        QTRY_VERIFY_WITH_TIMEOUT(host.paints > paints, 5000);
        // The repaint covers where the long text was, not only where the short one goes.
        QCOMPARE(host.repainted.intersected(tail), QRegion(tail));
        QVERIFY(!host.repainted.intersects(QRect(0, 50, 400, 50)));
        QVERIFY(!hasColor(host.grab().toImage(), tail, Qt::red));
    }

    void statusLine_blinksFor39TicksAndEndsEmpty()
    {
        TTextMsg texts(nullptr, {label(0, 0, 0, 5, "statusline")}, [] { return 0; });
        TStatusLine status(&texts);
        status.ShowMessage(QStringLiteral(u"Текст не найден"));
        QCOMPARE(texts.text(5), QStringLiteral(u"Текст не найден"));
        QVERIFY(status.isBlinking());
        QCOMPARE(status.interval(), 200);

        for (int tick = 1; tick <= 39; ++tick) {
            status.tick();
            QCOMPARE(texts.text(5).isEmpty(), tick % 2 == 1);
            QVERIFY(status.isBlinking());
        }
        QVERIFY(texts.text(5).isEmpty());
        status.tick();
        QVERIFY(!status.isBlinking());
        QVERIFY(texts.text(5).isEmpty());
    }

    void statusLine_newMessageRestartsTheBlinking()
    {
        TTextMsg texts(nullptr, {label(0, 0, 0, 5, "statusline")}, [] { return 0; });
        TStatusLine status(&texts);
        status.ShowMessage(QStringLiteral("first"));
        for (int tick = 0; tick < 30; ++tick)
            status.tick();
        status.ShowMessage(QStringLiteral("second"));
        QCOMPARE(texts.text(5), QStringLiteral("second"));
        for (int tick = 0; tick < 39; ++tick)
            status.tick();
        QVERIFY(status.isBlinking());
        status.tick();
        QVERIFY(!status.isBlinking());
    }

    void statusLine_clearStopsAndEmpties()
    {
        TTextMsg texts(nullptr, {label(0, 0, 0, 5, "statusline")}, [] { return 0; });
        TStatusLine status(&texts);
        status.ShowMessage(QStringLiteral("x"));
        status.tick();
        status.tick();
        status.ClearMessage();
        QVERIFY(!status.isBlinking());
        QVERIFY(texts.text(5).isEmpty());
        QVERIFY(status.message().isEmpty());
    }

    void statusLine_withoutLabels_doesNothing()
    {
        TStatusLine status(nullptr);
        status.ShowMessage(QStringLiteral("x"));
        QVERIFY(!status.isBlinking());
        status.tick();
        status.ClearMessage();
    }

    void statusLine_timerDrivesTheBlinkToItsEnd()
    {
        Host host;
        host.resize(300, 60);
        TTextMsg texts(&host, {label(10, 10, 0, 5, "statusline")}, [] { return 0; });
        host.texts = &texts;
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        TStatusLine status(&texts);
        status.ShowMessage(QStringLiteral("MMMM"));
        const QRect where(10, 10, 60, 20);
        QTRY_VERIFY_WITH_TIMEOUT(!hasColor(host.grab().toImage(), where, Qt::red), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(hasColor(host.grab().toImage(), where, Qt::red), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!status.isBlinking(), 30000);
        QVERIFY(texts.text(5).isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!hasColor(host.grab().toImage(), where, Qt::red), 5000);
    }
};

QTEST_MAIN(TestTextMsg)
#include "tst_textmsg.moc"
