#include "aboutbox.h"
#include "readbin.h"
#include "scriptcodec.h"

#include <QApplication>
#include <QBuffer>
#include <QFontMetrics>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QByteArray png(QSize size, QColor color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

const QStringList kScript = {
    QStringLiteral("picture=bg.png"),
    QStringLiteral("text: vx=10; vy=10"),
    QStringLiteral("font=dejavu sans; size=10; style=bold; color=255,255,255"),
    QStringLiteral("value=Руководство"),
    QStringLiteral("idenf=label"),
    QStringLiteral("text: vx=10; vy=40"),
    QStringLiteral("font=dejavu sans; size=10; style=underline; color=255,200,0"),
    QStringLiteral("value=https://example.org"),
    QStringLiteral("idenf=url"),
    QStringLiteral("text: vx=10; vy=70"),
    QStringLiteral("font=dejavu sans; size=10; style=underline; color=255,200,0"),
    QStringLiteral("value=info@example.org?subject=velbrook"),
    QStringLiteral("idenf=url"),
    QStringLiteral("text: vx=10; vy=100"),
    QStringLiteral("font=dejavu sans; size=10; style=underline; color=255,200,0"),
    QStringLiteral("value=www.example.org"),
    QStringLiteral("idenf=url"),
    QStringLiteral("button: vx=100; vy=150"),
    QStringLiteral("fn1=ok_up.png; fn2=ok_mv.png"),
    QStringLiteral("hint=Закрыть окно; wav=sounds\\click.wav"),
    QStringLiteral("button: vx=200; vy=150"),
    QStringLiteral("fn1=ok_up.png; fn2=ok_mv.png"),
    QStringLiteral("hint=Тихо; wav=no"),
};

} // namespace

class TestAboutBox : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        ContainerWriter writer;
        writer.add(QStringLiteral("About.cfs"), encodeScript(kScript));
        writer.add(QStringLiteral("bg.png"), png(QSize(300, 200), Qt::darkBlue));
        writer.add(QStringLiteral("ok_up.png"), png(QSize(40, 20), Qt::gray));
        writer.add(QStringLiteral("ok_mv.png"), png(QSize(40, 20), Qt::white));
        writer.write(m_dir.filePath(QStringLiteral("Kel.dhl")));
        m_container.Open(m_dir.filePath(QStringLiteral("Kel.dhl")));
        QVERIFY(TAboutBox::available(m_container));
    }

    void build_readsButtonsAndLinks()
    {
        TAboutBox box(m_container, folders(), services());
        QCOMPARE(box.size(), QSize(300, 200));
        const QList<TAboutBox::Button>& buttons = box.buttons();
        QCOMPARE(buttons.size(), 5);
        QCOMPARE(buttons[0].rect, QRect(100, 150, 40, 20));
        QCOMPARE(box.background().pixelColor(110, 160), QColor(Qt::gray)); // the up picture painted in
        QCOMPARE(buttons[2].address, QStringLiteral("https://example.org"));
        QCOMPARE(buttons[3].address, QStringLiteral("mailto:info@example.org?subject=velbrook"));
        // An address without a scheme is a web address, not a file of that name.
        QCOMPARE(buttons[4].address, QStringLiteral("http://www.example.org"));
        // The mail link shows only its part before "?", but the whole value stays clickable.
        QFont font(QStringLiteral("dejavu sans"));
        font.setPointSize(10);
        font.setUnderline(true);
        QCOMPARE(buttons[3].rect.width(),
                 QFontMetrics(font).horizontalAdvance(QStringLiteral("info@example.org?subject=velbrook")));
        const int shownEnd = 10 + QFontMetrics(font).horizontalAdvance(QStringLiteral("info@example.org"));
        for (int x = shownEnd + 4; x < buttons[3].rect.right(); x += 3) {
            for (int y = buttons[3].rect.top(); y <= buttons[3].rect.bottom(); ++y)
                QCOMPARE(box.background().pixelColor(x, y), QColor(Qt::darkBlue));
        }
    }

    void press_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("sound");
        QTest::addColumn<bool>("closed");
        QTest::newRow("web link") << QPoint(15, 45) << QStringLiteral("https://example.org") << QString() << false;
        QTest::newRow("mail link") << QPoint(15, 75) << QStringLiteral("mailto:info@example.org?subject=velbrook")
                                   << QString() << false;
        QTest::newRow("web link without a scheme")
            << QPoint(15, 105) << QStringLiteral("http://www.example.org") << QString() << false;
        QTest::newRow("button with a sound")
            << QPoint(110, 160) << QString() << m_dir.path() + QStringLiteral("/sounds/click.wav") << true;
        QTest::newRow("button without sound") << QPoint(210, 160) << QString() << QString() << true;
        QTest::newRow("edge of a button is outside") << QPoint(100, 160) << QString() << QString() << false;
    }
    void press()
    {
        QFETCH(QPoint, point);
        QFETCH(QString, opened);
        QFETCH(QString, sound);
        QFETCH(bool, closed);
        m_opened.clear();
        m_played.clear();
        TAboutBox box(m_container, folders(), services());
        box.setResult(-1);
        box.pressAt(point);
        QCOMPARE(m_opened, opened.isEmpty() ? QStringList() : QStringList{opened});
        QCOMPARE(m_played, sound.isEmpty() ? QStringList() : QStringList{sound});
        QCOMPARE(box.result() == QDialog::Accepted, closed);
    }

    // The demo's about window: every line of text stands whole inside the window's outline, none
    // cut off at its edge.
    void demoAboutWindow_showsEveryLineWhole()
    {
        const QString demo = QStringLiteral(VELBROOK_DEMO_DIR) + QLatin1Char('/');
        TReadBin container;
        container.Open(demo + QStringLiteral("Kel.dhl"));
        TAboutBox box(container, {QStringLiteral("/"), demo}, services());
        const QRegion outline = box.mask().isEmpty() ? QRegion(box.rect()) : box.mask();
        QVERIFY(!box.textRects().isEmpty());
        for (const QRect& text : box.textRects())
            QVERIFY2((QRegion(text) - outline).isEmpty(),
                     qPrintable(QStringLiteral("a text at %1,%2 of width %3 leaves the window, %4 wide")
                                    .arg(text.x())
                                    .arg(text.y())
                                    .arg(text.width())
                                    .arg(box.width())));
    }

    // Shown, the window fades in; Enter closes it as Escape does.
    void keys_close_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }
    void keys_close()
    {
        QFETCH(int, key);
        TAboutBox box(m_container, folders(), services());
        bool fadingAtShow = false;
        QTimer::singleShot(0, &box, [&] {
            fadingAtShow = box.fadeRunning();
            QTest::keyClick(&box, Qt::Key(key));
        });
        box.showAbout();
        QVERIFY(box.isVisible());
        QVERIFY(box.isModal());
        QTRY_VERIFY(!box.isVisible());
        QVERIFY(fadingAtShow);
    }

private:
    ProgramFolders folders() const { return {QStringLiteral("/"), m_dir.path() + QLatin1Char('/')}; }
    TAboutBox::Services services()
    {
        TAboutBox::Services s;
        s.openUrl = [this](const QUrl& url) { m_opened.append(url.toString()); };
        s.playSound = [this](const QString& file) { m_played.append(file); };
        return s;
    }

    QTemporaryDir m_dir;
    TReadBin m_container;
    QStringList m_opened;
    QStringList m_played;
};

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
