#include "readbin.h"
#include "skinpictures.h"
#include "skinscript.h"

#include <QTemporaryDir>
#include <QTest>

#include <climits>

namespace {

const ProgramFolders kFolders{QStringLiteral("/cd/"), QStringLiteral("/cd/book/")};

SkinScript readMain(const QStringList& lines)
{
    SkinScript script(kFolders);
    script.read(lines);
    return script;
}

QStringList buttonGoes(const SkinScreen& screen)
{
    QStringList goes;
    for (const RBtn& button : screen.buttons)
        goes.append(button.go);
    return goes;
}

} // namespace

class TestSkinScript : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void header_isReadWhereverItsKeysStand()
    {
        const SkinScript script = readMain({
            "title=руководство по ремонту",
            "codec=indeo5,mpegaudio;rolic=video\\rolic.avi",
            "helpwin vw=600;vh=400",
            "fn=dop\\pomosh.htm",
            "background=black;icon=car.ico",
            "bgsounddef=[music\\a.mp3;",
            "music\\b.mp3]",
            "vertexmain=[0,0;740,0;740,540;0,540]",
            "minimize vx=700;vy=5;fn1=min1.bmp;fn2=min2.bmp;fn3=min3.bmp;hint=Свернуть;wav=no",
            "close vx=720;vy=5;fn1=x1.bmp;fn2=x2.bmp;fn3=x3.bmp;hint=Выход;wav=sounds\\exit.wav",
        });
        const SkinHeader& h = script.header;
        QCOMPARE(h.title, QStringLiteral(u"Руководство по ремонту"));
        QCOMPARE(h.codec, QStringLiteral("indeo5,mpegaudio"));
        QCOMPARE(h.rolic, QStringLiteral("video\\rolic.avi"));
        QCOMPARE(h.helpwin, QStringLiteral("/cd/book/dop/pomosh.htm"));
        QCOMPARE(h.helpwinVw, 600);
        QCOMPARE(h.background, QStringLiteral("black"));
        QCOMPARE(h.icon, QStringLiteral("car.ico"));
        QCOMPARE(h.bgsounddef, (QStringList{"/cd/book/music/a.mp3", "", "/cd/book/music/b.mp3"}));
        QCOMPARE(h.vertexmain.size(), 4);
        QVERIFY(h.hasMinimize && h.hasClose);
        QCOMPARE(h.minimize.go, QStringLiteral("minimize"));
        QCOMPARE(h.minimize.hint, QStringLiteral(u"Свернуть"));
        QCOMPARE(h.close.go, QStringLiteral("exit"));
        QCOMPARE(h.close.wav, QStringLiteral("sounds\\exit.wav"));
        QVERIFY(script.hasStartClip());
    }

    void headerButtonsJoinEachScreenWhereItsLineStands()
    {
        const SkinScript script = readMain({
            "minimize vx=1;vy=1;fn1=a;fn2=b;fn3=c;hint=h;wav=no",
            "close vx=2;vy=2;fn1=a;fn2=b;fn3=c;hint=h;wav=no",
            "button 1 vx=0;vy=0;fn1=a;fn2=b;fn3=c;go=before;hint=;wav=no",
            "_screen=fon1.bmp",
            "button 1 vx=0;vy=0;fn1=a;fn2=b;fn3=c;go=after;hint=;wav=no",
            "_screen=fon3.bmp",
        });
        QCOMPARE(script.screens.size(), 3);
        QCOMPARE(buttonGoes(script.screens[0]), (QStringList{"before", "minimize", "exit", "after"}));
        QCOMPARE(script.screens[0].background, QStringLiteral("fon1.bmp"));
        // Screens 1 and 2 exist because screen 3 was named; only screen 3 has the header buttons.
        QVERIFY(script.screens[1].buttons.isEmpty());
        QCOMPARE(buttonGoes(script.screens[2]), (QStringList{"minimize", "exit"}));
    }

    void buttonCommandMinimize_isAlsoReadAsTheHeaderKey()
    {
        const SkinScript script = readMain({
            "button 1 vx=5;vy=6;fn1=m1.bmp;fn2=m2.bmp;fn3=m3.bmp;go=minimize;hint=Свернуть;wav=no",
        });
        QVERIFY(script.header.hasMinimize);
        QCOMPARE(script.header.minimize.fn1, QStringLiteral("m1.bmp"));
        QCOMPARE(script.screens[0].buttons.size(), 1);
    }

    void elements_keyTablesAndOptionalKeys()
    {
        const SkinScript script = readMain({
            "button 2 vx=10;vy=20",
            "textcaption=Назад;texttx=2;textty=3;textbx=60;textby=20;textfontname=arial;textfontsize=9",
            "textfontstyleup=bold;textfontcolorup=255,0,0",
            "fn1=b1.bmp;fn2=b2.bmp;fn3=b3.bmp;go=back;hint=Назад;wav=sounds\\click.wav",
            "switchone 2 vx=1;vy=2;fn1=a;fn2=b;fn3=c;fn4=d;state=on;store=on;goup=offtree;godown=ontree;hint=;wav=no",
            "switchgrp 2 vx=1;vy=2;fn1=a;fn2=b;fn3=c;fn4=d;state=off;store=on;group=3;go=tree=tree1;hint=;wav=no",
            "_html 2 vx=33;vy=90;vw=706;vh=511;fn=intro.htm;number=1",
            "_findtxt 2 vx=1;vy=2;vw=3;vh=4;frame=main;nofiles=[a.htm;b.htm];number=1;hint=Поиск",
            "_path 2 vx=1;vy=2;vw=3;vh=4;pathdef=c:\\velbrook\\;hint=Папка",
            "_clip 3 vx=1;vy=2;vw=3;vh=4;bgcolor=0,0,0;html=0",
            "_text 2 vx=1;vy=2;vw=3;font=arial;size=10;style=bold;color=1,2,3;value=;ident=caption;number=1",
            "_image 3 vx=1;vy=2;vw=3;vh=4;dir=slides\\",
            "_popup 2 xfon=1;yfon=2;fnfon=p.bmp;xbtn=3;ybtn=4",
            "fnbtnup=[u.bmp]",
            "fnbtnmove=[m.bmp]",
            "fnbtndown=[d.bmp]",
            "fontup=arial;sizeup=9;styleup=bold;colorup=0,0,0;fontmv=arial;sizemv=9;stylemv=;colormv=1,1,1",
            "caption=[Один;Два]",
            "go=[html1=a.htm;exit];parent=;type=favorite",
            "vertex=[]",
            "_popup 2 xfon=1;yfon=2;fnfon=p.bmp;xbtn=3;ybtn=4;fnbtnup=[];fnbtnmove=[];fnbtndown=[];fontup=;sizeup=0",
            "styleup=;colorup=0,0,0;fontmv=;sizemv=0;stylemv=;colormv=0,0,0;caption=[x];go=[];parent=;type=2",
            "vertex=[]",
        });
        QCOMPARE(script.screens.size(), 3);
        const RBtn& back = script.screens[1].buttons.first();
        QCOMPARE(back.vx, 10);
        QCOMPARE(back.textcaption, QStringLiteral(u"Назад"));
        QCOMPARE(back.textbx, 60);
        QCOMPARE(back.styleup, FontStyles(FontStyle::Bold));
        QCOMPARE(back.colorup, 255);
        QCOMPARE(back.go, QStringLiteral("back"));

        const RSwthOne& one = script.screens[1].switchone.first();
        QVERIFY(one.state && one.store);
        QCOMPARE(one.godown, QStringLiteral("ontree"));
        const RSwthGrp& grp = script.screens[1].switchgrp.first();
        QCOMPARE(grp.group, 3);
        QVERIFY(!grp.state);
        QCOMPARE(grp.go, QStringLiteral("tree=tree1"));

        QCOMPARE(script.html.first().fn, QStringLiteral("/cd/book/intro.htm"));
        QCOMPARE(script.html.first().screen, 1);
        QCOMPARE(script.findtxt.first().nofiles, (QStringList{"/cd/book/a.htm", "/cd/book/b.htm"}));
        QCOMPARE(script.path.first().pathdef, QStringLiteral("c:\\velbrook\\"));
        QCOMPARE(script.clip.first().screen, 2);
        QCOMPARE(script.text.first().ident, QStringLiteral("caption"));
        QCOMPARE(script.image.first().dir, QStringLiteral("/cd/book/slides/"));
        QCOMPARE(script.screens[1].popups.size(), 2);
        QCOMPARE(script.screens[1].popups[0].type, int(PopupFavorite));
        QCOMPARE(script.screens[1].popups[0].go, (QStringList{"html1=/cd/book/a.htm", "exit"}));
        QCOMPARE(script.screens[1].popups[0].fnbtnmove, QStringList{"/cd/book/m.bmp"}); // list items are expanded
        // A list is read from the first '[' of its line: two lists on one line read alike.
        QCOMPARE(script.screens[1].popups[1].type, 2);
        QCOMPARE(script.screens[1].popups[1].go, QStringList{"x"});
        QVERIFY(script.problems.isEmpty());
    }

    void firstKindWordDecidesTheElement()
    {
        // "button" is tested before "_text", so a button whose hint mentions _text stays a button.
        const SkinScript script = readMain({"button 1 _text vx=1;vy=1;fn1=a;fn2=b;fn3=c;go=x;hint=;wav=no"});
        QCOMPARE(script.screens[0].buttons.size(), 1);
        QVERIFY(script.text.isEmpty());
    }

    void badScreenNumbersAndUnfinishedElements_areDropped()
    {
        const SkinScript script = readMain({
            "button", // no number on the kind line
            "vx=1;vy=1;fn1=a;fn2=b;fn3=c;go=x;hint=;wav=no", "button 0 vx=1;vy=1;fn1=a;fn2=b;fn3=c;go=x;hint=;wav=no",
            "button 9999999 vx=1;vy=1;fn1=a;fn2=b;fn3=c;go=x;hint=;wav=no",
            "button 1 vx=1;vy=1;fn1=a", // the script ends first
        });
        QCOMPARE(script.problems.size(), 4);
        for (const SkinScreen& screen : script.screens)
            QVERIFY(screen.buttons.isEmpty());
    }

    void numbers_areKeptInTheRangeTheLayoutUses()
    {
        // Numbers at the int limits: sums and differences of two of them overflowed later on.
        const SkinScript script = readMain({
            "minimize vx=-2147483648;vy=2147483647;fn1=a;fn2=b;fn3=c;hint=;wav=no",
            "button -2147483648 vx=1;vy=1;fn1=a;fn2=b;fn3=c;go=x;hint=;wav=no",
            "button 1 vx=-2147483648;vy=2147483647",
            "textcaption=x;texttx=-2147483648;textty=2147483647;textbx=2147483647;textby=-2147483648",
            "textfontsize=2147483647",
            "fn1=a;fn2=b;fn3=c;go=x;hint=;wav=no",
            "switchgrp 1 vx=2147483647;vy=-5;fn1=a;fn2=b;fn3=c;fn4=d;state=off;store=off;group=-2147483648",
            "texttx=-2147483648",
            "go=x;hint=;wav=no",
            "_html 1 vx=-2147483648;vy=0;vw=2147483647;vh=10;fn=a.htm;number=2147483647",
            "_text 1 vx=1;vy=2;vw=3;font=a;size=-2147483648;style=;color=0,0,0;value=;ident=x;number=1",
            "_popup 1 xfon=2147483647;yfon=0;fnfon=p.bmp;xbtn=-2147483648;ybtn=0;fnbtnup=[];fnbtnmove=[]",
            "fnbtndown=[];fontup=;sizeup=2147483647;styleup=;colorup=0,0,0;fontmv=;sizemv=0;stylemv=",
            "colormv=0,0,0;caption=[x];go=[];parent=;type=-2147483648;vertex=[]",
        });
        constexpr int far = kMaxSkinCoordinate;
        QCOMPARE(script.header.minimize.vx, -far);
        QCOMPARE(script.header.minimize.vy, far);
        // The button of screen -2147483648 is dropped with a problem that names its number.
        QCOMPARE(script.screens.size(), 1);
        QVERIFY(script.problems.first().contains("-2147483648"));
        const RBtn& b = script.screens[0].buttons.first();
        QCOMPARE(b.vx, -far);
        QCOMPARE(b.vy, far);
        QCOMPARE(b.texttx, -far);
        QCOMPARE(b.textbx, far);
        QCOMPARE(b.textby, -far);
        QCOMPARE(b.textfontsize, kMaxSkinFontSize);
        const RSwthGrp& g = script.screens[0].switchgrp.first();
        QCOMPARE(g.vx, far);
        QCOMPARE(g.vy, -5); // numbers within the range stay as they are
        QCOMPARE(g.group, -far);
        QCOMPARE(g.texttx, -far);
        QCOMPARE(script.html.first().vx, -far);
        QCOMPARE(script.html.first().vw, far);
        QCOMPARE(script.html.first().number, far);
        QCOMPARE(script.text.first().size, 0);
        const RPopupData& p = script.screens[0].popups.first();
        QCOMPARE(p.xfon, far);
        QCOMPARE(p.xbtn, -far);
        QCOMPARE(p.sizeup, kMaxSkinFontSize);
        QCOMPARE(p.type, -far);
    }

    void pictureSizes_keepEdgesWithinTheIntRange()
    {
        // A bitmap header may declare a width up to 2^31 - 1; the edge from vx stays an int.
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QByteArray huge("BM");
        huge.append(12, '\0');
        const auto put32 = [&huge](qint32 v) {
            for (int i = 0; i < 4; ++i)
                huge.append(char((quint32(v) >> (8 * i)) & 0xFF));
        };
        put32(40);
        put32(INT_MAX);
        put32(INT_MAX);
        huge.append(32, '\0');
        ContainerWriter kel;
        kel.add("huge.bmp", huge);
        kel.write(dir.filePath("Kel.dhl"));
        TReadBin container;
        container.Open(dir.filePath("Kel.dhl"));

        SkinScript script = readMain({"button 1 vx=100000;vy=-5;fn1=huge.bmp;fn2=b;fn3=c;go=x;hint=;wav=no"});
        applyPictureSizes(script, container);
        const RBtn& b = script.screens[0].buttons.first();
        QCOMPARE(b.right, INT_MAX);
        QCOMPARE(b.bottom, INT_MAX - 5);
    }

    void elementsPerScreen_areCapped_withOneProblemPerScreenAndKind()
    {
        QStringList lines{"minimize vx=1;vy=1;fn1=a;fn2=b;fn3=c;hint=;wav=no"};
        const int many = SkinScript::kMaxElementsPerScreen + 100;
        for (int i = 0; i < many; ++i) {
            lines << "button 2 vx=1;vy=1;fn1=a;fn2=b;fn3=c;go=x;hint=;wav=no"
                  << "_html 2 vx=1;vy=2;vw=3;vh=4;fn=a.htm;number=1"
                  << "_screen=fon3.bmp"; // the header button joins screen 3 at every line
        }
        lines << "_html 1 vx=1;vy=2;vw=3;vh=4;fn=a.htm;number=1";
        const SkinScript script = readMain(lines);
        QCOMPARE(script.screens.size(), 3);
        QCOMPARE(script.screens[1].buttons.size(), SkinScript::kMaxElementsPerScreen);
        QCOMPARE(script.screens[2].buttons.size(), SkinScript::kMaxElementsPerScreen);
        QCOMPARE(script.html.size(), SkinScript::kMaxElementsPerScreen + 1); // and one of screen 1
        QCOMPARE(script.problems, (QStringList{"screen 2: 100 _html elements beyond the first 500 are dropped",
                                               "screen 2: 100 button elements beyond the first 500 are dropped",
                                               "screen 3: 100 button elements beyond the first 500 are dropped"}));
    }

    void problems_areListedUpToALimit()
    {
        QStringList lines;
        for (int i = 0; i < 1000; ++i)
            lines << "button 0 vx=1;vy=1;fn1=a;fn2=b;fn3=c;go=x;hint=;wav=no";
        const SkinScript script = readMain(lines);
        QCOMPARE(script.problems.size(), SkinScript::kMaxProblems + 1);
        QVERIFY(script.problems.last().contains("not listed"));
    }

    void thesaurusVariant_readsFewerKeysAndKinds()
    {
        SkinScript script(kFolders, SkinScript::Variant::Thesaurus);
        script.read({
            "title=словарь;codec=indeo5",
            "button 1 vx=1;vy=1;fn1=a;fn2=b;fn3=c;go=exit;hint=;wav=no;textcaption=Нет",
            "_html 1 vx=1;vy=2;vw=3;vh=4;fn=ignored.htm;number=1",
            "_clip 1 vx=1;vy=2;vw=3;vh=4;bgcolor=0,0,0;html=0",
            "_screen=fon1.bmp",
        });
        QCOMPARE(script.header.title, QStringLiteral(u"Тезаурус"));
        QVERIFY(script.header.codec.isEmpty());
        QVERIFY(script.screens[0].buttons.first().textcaption.isEmpty());
        QVERIFY(script.html.first().fn.isEmpty());
        QVERIFY(script.clip.isEmpty());
        QCOMPARE(script.screens[0].background, QStringLiteral("fon1.bmp"));
    }
};

QTEST_APPLESS_MAIN(TestSkinScript)
#include "tst_skinscript.moc"
