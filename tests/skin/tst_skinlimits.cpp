// Skins made to hurt: pictures that decode to gigabytes, thousands of elements, outlines at the
// int limits. The window ends each with a bounded result and one line in the velbrook.skin
// category, never a crash, a hang or gigabytes of memory.

#include "appcontext.h"
#include "hotarea.h"
#include "mainform.h"
#include "picturecache.h"
#include "readbin.h"
#include "scriptcodec.h"
#include "settingsstore.h"
#include "skinlog.h"
#include "testpictures.h"

#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// A container in a folder of its own, and the window over it, as the program makes them.
class Skin
{
public:
    explicit Skin(const QList<std::pair<QString, QByteArray>>& entries)
    {
        ContainerWriter kel;
        for (const auto& [name, bytes] : entries)
            kel.add(name, bytes);
        kel.write(m_dir.filePath("Kel.dhl"));
        context = std::make_unique<AppContext>(StartupValues::forContentFolder(m_dir.path()));
        context->container.Open(m_dir.filePath("Kel.dhl"));
    }

    TMainForm& open()
    {
        script = std::make_unique<SkinScript>(context->folders());
        script->read(DecodeScript(*context->container.Read("Struct.cfs"), true));
        context->values.appTitle = script->header.title;
        context->userSettings = UserSettings::Load(context->openSettings(), false);
        form = std::make_unique<TMainForm>(*context, *script);
        form->buildFirstScreen();
        return *form;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<SkinScript> script;
    std::unique_ptr<TMainForm> form;
};

QString button(int screen, int x, int y, const QString& picture, const QString& caption = {})
{
    QString line = QStringLiteral("button %1 vx=%2;vy=%3;fn1=%4;fn2=%4;fn3=%4;go=x;hint=;wav=no")
                       .arg(screen)
                       .arg(x)
                       .arg(y)
                       .arg(picture);
    if (!caption.isEmpty())
        line += QStringLiteral(";textcaption=%1;texttx=0;textty=0;textbx=30;textby=20").arg(caption);
    return line;
}

} // namespace

class TestSkinLimits : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        qputenv("VELBROOK_AUDIO_OUTPUT", "null");
    }

    void category_isVelbrookSkin() { QCOMPARE(QByteArray(lcSkin().categoryName()), QByteArray("velbrook.skin")); }

    void cache_decodesAPictureOnce_forEveryName()
    {
        Skin skin({{"a.bmp", testBitmap({30, 20}, Qt::red)}, {"b.bmp", testBitmap({30, 20}, Qt::blue)}});
        PictureCache cache(skin.context->container);
        const QImage first = cache.picture("a.bmp");
        QCOMPARE(first.size(), QSize(30, 20));
        QCOMPARE(first.format(), QImage::Format_RGB32);
        QCOMPARE(first.pixelColor(0, 0), QColor(Qt::red));
        // The same shared picture, whatever the case of the name.
        QCOMPARE(cache.picture("A.BMP").cacheKey(), first.cacheKey());
        QCOMPARE(cache.spent(), first.sizeInBytes());
        QVERIFY(cache.picture("b.bmp").cacheKey() != first.cacheKey());
        QCOMPARE(cache.spent(), 2 * first.sizeInBytes());
        QVERIFY(cache.picture("missing.bmp").isNull());
        QVERIFY(cache.picture(QString()).isNull());
    }

    void cache_refusesAPictureBomb_beforeDecodingIt()
    {
        // 5600 x 5600 in a few hundred bytes: 120 MiB once decoded, 3.7 GB when every element
        // that named it decoded its own.
        const QByteArray bomb = testRleBitmap({5600, 5600}, Qt::green, 1);
        QVERIFY(bomb.size() < 1024);
        Skin skin({{"bomb.bmp", bomb}});
        QVERIFY(PictureCache::check(bomb).contains("5600x5600"));
        PictureCache cache(skin.context->container);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^picture bomb.bmp: 5600x5600 pixels is larger"));
        QTest::failOnWarning(QRegularExpression(".*"));
        QVERIFY(cache.picture("bomb.bmp").isNull());
        QVERIFY(cache.picture("BOMB.bmp").isNull()); // said once
        QCOMPARE(cache.spent(), 0);

        // Within the limits the same kind of picture decodes.
        const QByteArray fine = testRleBitmap({300, 200}, Qt::green);
        QVERIFY(PictureCache::check(fine).isEmpty());
        const QImage decoded = PictureCache::Decode(fine);
        QCOMPARE(decoded.size(), QSize(300, 200));
        QCOMPARE(decoded.pixelColor(299, 199), QColor(Qt::green));
    }

    void cache_staysWithinItsBudget()
    {
        Skin skin({{"a.bmp", testBitmap({100, 100}, Qt::red)},
                   {"b.bmp", testBitmap({100, 100}, Qt::green)},
                   {"c.bmp", testBitmap({100, 100}, Qt::blue)}});
        PictureLimits limits;
        limits.budget = 2 * 100 * 100 * 4 + 10;
        PictureCache cache(skin.context->container, limits);
        QVERIFY(!cache.picture("a.bmp").isNull());
        QVERIFY(!cache.picture("b.bmp").isNull());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^the pictures of one screen need more than"));
        QTest::failOnWarning(QRegularExpression(".*"));
        QVERIFY(cache.picture("c.bmp").isNull());
        QVERIFY(!cache.reserve(100)); // said once
        QVERIFY(cache.reserve(10));
        QVERIFY(!cache.picture("a.bmp").isNull()); // decoded pictures stay
    }

    void window_tenButtonsOnAPictureBomb_leaveItOutWithOneLine()
    {
        QStringList script{"title=бомба", "_screen=fon1.bmp"};
        for (int i = 0; i < 10; ++i)
            script << button(1, 10, 10 + 30 * i, "bomb.bmp", "x");
        script << button(1, 200, 10, "up.bmp");
        Skin skin({{"Struct.cfs", encodeScript(script)},
                   {"fon1.bmp", testBitmap({400, 400}, Qt::darkGray)},
                   {"up.bmp", testBitmap({40, 30}, Qt::gray)},
                   {"bomb.bmp", testRleBitmap({5600, 5600}, Qt::green, 1)}});
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^picture bomb.bmp: 5600x5600 pixels is larger"));
        QTest::failOnWarning(QRegularExpression("bomb"));
        TMainForm& form = skin.open();
        // The bomb is an empty picture, as a missing one is: its buttons have no size; the
        // other button has its picture.
        const QList<HotArea*> areas = form.hotAreas();
        QCOMPARE(areas.size(), 11);
        for (int i = 0; i < 10; ++i)
            QVERIFY(areas[i]->geometry().isEmpty());
        QCOMPARE(areas[10]->geometry(), QRect(200, 10, 40, 30));
        QCOMPARE(form.composedBackground().size(), QSize(400, 400));
        QCOMPARE(form.composedBackground().pixelColor(20, 20), QColor(Qt::darkGray));
    }

    void window_thousandsOfButtons_keepTheFirstFiveHundred()
    {
        QStringList script{"title=много кнопок", "_screen=fon1.bmp"};
        for (int i = 0; i < 3000; ++i)
            script << button(1, i % 300, i % 200, "up.bmp");
        Skin skin({{"Struct.cfs", encodeScript(script)},
                   {"fon1.bmp", testBitmap({400, 300}, Qt::darkGray)},
                   {"up.bmp", testBitmap({40, 30}, Qt::gray)}});
        TMainForm& form = skin.open();
        QCOMPARE(form.hotAreas().size(), SkinScript::kMaxElementsPerScreen);
        QCOMPARE(skin.script->problems, QStringList{"screen 1: 2500 button elements beyond the first 500 are dropped"});
    }

    void window_numbersAtTheIntLimits_giveBoundedElements()
    {
        // vx + the picture's width and textbx - texttx overflowed (found by UBSan).
        Skin skin(
            {{"Struct.cfs", encodeScript({"title=края", "_screen=fon1.bmp",
                                          "button 1 vx=2147483647;vy=-2147483648;fn1=up.bmp;fn2=up.bmp;fn3=up.bmp",
                                          "textcaption=Край;texttx=-2147483648;textty=-2147483648;textbx=2147483647",
                                          "textby=2147483647;textfontsize=2147483647", "go=x;hint=;wav=no"})},
             {"fon1.bmp", testBitmap({200, 100}, Qt::darkGray)},
             {"up.bmp", testBitmap({40, 30}, Qt::gray)}});
        TMainForm& form = skin.open();
        QCOMPARE(form.hotAreas().size(), 1);
        QCOMPARE(form.hotAreas().first()->geometry(), QRect(kMaxSkinCoordinate, -kMaxSkinCoordinate, 40, 30));
    }

    void window_outlineAtTheIntLimits_opens()
    {
        // QRegion over this polygon failed with SIGFPE while the window was made.
        Skin skin(
            {{"Struct.cfs",
              encodeScript({"title=контур", "vertexmain=[-2147483648,-2147483648;2147483647,-2147483648;0,2147483647]",
                            "_screen=fon1.bmp"})},
             {"fon1.bmp", testBitmap({200, 100}, Qt::darkGray)}});
        TMainForm& form = skin.open();
        QCOMPARE(skin.script->header.vertexmain.size(), 3);
        QCOMPARE(form.composedBackground().size(), QSize(200, 100));
    }
};

QTEST_MAIN(TestSkinLimits)
#include "tst_skinlimits.moc"
