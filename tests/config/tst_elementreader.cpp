#include "elementreader.h"

#include <QTest>

namespace {

struct Button
{
    int vx = -1;
    int vy = -1;
    QString fn1;
    QString go;
    QString caption;
};

// A button's key table, as a script reader declares it.
QList<ScriptKey> buttonKeys(Button& button)
{
    return {intKey(QStringLiteral("vx"), button.vx), intKey(QStringLiteral("vy"), button.vy),
            textKey(QStringLiteral("fn1"), button.fn1), textKey(QStringLiteral("go"), button.go)};
}

} // namespace

class TestElementReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keysAreReadInTableOrderOverLines()
    {
        const QStringList lines{"_button", "vx=10;vy=20", "fn1=back.bmp", "go=back", "_button", "vx=1;vy=2;fn1=a;go=b"};
        ElementReader reader(lines);
        Button first;
        Button second;
        QVERIFY(reader.read(buttonKeys(first)));
        QCOMPARE(reader.line(), 4);
        QVERIFY(reader.read(buttonKeys(second)));
        QCOMPARE(first.vx, 10);
        QCOMPARE(first.vy, 20);
        QCOMPARE(first.fn1, QStringLiteral("back.bmp"));
        QCOMPARE(first.go, QStringLiteral("back"));
        QCOMPARE(second.go, QStringLiteral("b"));
        QVERIFY(reader.atEnd());
    }

    void awaitedKeyIsFoundInsideAnEarlierValue()
    {
        // After fn1=logo.bmp the awaited key "go" is found inside "logo": its value is "bmp".
        const QStringList lines{"vx=1;vy=2;fn1=logo.bmp", "go=real"};
        ElementReader reader(lines);
        Button button;
        QVERIFY(reader.read(buttonKeys(button)));
        QCOMPARE(button.go, QStringLiteral("bmp"));
        QCOMPARE(reader.line(), 1);
    }

    void keyOutOfOrderIsPassedOver()
    {
        const QStringList lines{"vy=5", "vx=1", "fn1=a;vy=7", "go=x"};
        ElementReader reader(lines);
        Button button;
        QVERIFY(reader.read(buttonKeys(button)));
        QCOMPARE(button.vx, 1);
        QCOMPARE(button.vy, 7);
    }

    void optionalKeysAreTriedWhereTheAwaitedKeyIsMissing()
    {
        const QStringList lines{"vx=1;vy=2", "textcaption=Назад", "fn1=a", "go=b"};
        ElementReader reader(lines);
        Button button;
        const QList<ScriptKey> optional{textKey(QStringLiteral("textcaption"), button.caption)};
        QVERIFY(reader.read(buttonKeys(button), optional));
        QCOMPARE(button.caption, QStringLiteral(u"Назад"));
    }

    void scriptEndingEarly_dropsTheElement()
    {
        const QStringList lines{"vx=1;vy=2", "fn1=a"};
        ElementReader reader(lines);
        Button button;
        QVERIFY(!reader.read(buttonKeys(button)));
        QVERIFY(reader.atEnd());
        QVERIFY(!reader.read(buttonKeys(button)));
    }

    void listKeyMovesToTheLineOfItsBracket()
    {
        QStringList songs;
        int after = -1;
        const ProgramFolders folders{QStringLiteral("/cd/"), QStringLiteral("/cd/book/")};
        const QStringList lines{"bgsounddef=[a.mp3;", "b.mp3];next=7", "other"};
        ElementReader reader(lines);
        QVERIFY(reader.read(
            std::array{listKey(QStringLiteral("bgsounddef"), songs, folders), intKey(QStringLiteral("next"), after)}));
        QCOMPARE(songs, (QStringList{"/cd/book/a.mp3", "", "/cd/book/b.mp3"}));
        QCOMPARE(after, 7);
        QCOMPARE(reader.line(), 2);
    }
};

QTEST_APPLESS_MAIN(TestElementReader)
#include "tst_elementreader.moc"
