#include "contenterror.h"
#include "scriptcodec.h"

#include <QTest>

class TestScriptCodec : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tinyAndEmptyScripts()
    {
        QCOMPARE(DecodeScript(nullptr, 0, false), QStringList());
        QCOMPARE(DecodeScript("x", -1, false), QStringList());
        QCOMPARE(DecodeScript("x", 0, false), QStringList());
        QCOMPARE(DecodeScript("x", 1, false), QStringList{QString()});
        QCOMPARE(DecodeScript("xy", 2, false).size(), 1);
    }

    // A stored script worked out by hand from the decoding rule (running sum with a doubling
    // addend, odd positions read backwards), independent of our writer.
    void knownStoredBytes_decode()
    {
        const QByteArray stored("\x10\x20\x30\x40\x50\x60\x70\x80\x90\xA0\xB0", 11);
        QCOMPARE(DecodeScript(stored, false), QStringList{QStringLiteral(u"eµҐн;")});
    }

    void linesSurviveARoundTrip_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("one empty line") << QStringList{QString()};
        QTest::newRow("cyrillic header") << QStringList{QStringLiteral(u"title=Руководство по ремонту"),
                                                        QStringLiteral("icon=car.ico")};
        QTest::newRow("empty lines and a trailing one") << QStringList{"a", "", "b", ""};
        QTest::newRow("lone CR and LF stay inside lines") << QStringList{"a\rb", "c\n", "\nd", "e\r"};
        QTest::newRow("long") << QStringList(300, QStringLiteral("button vx=10;vy=20;fn1=btn.bmp"));
        QTest::newRow("every byte") << QStringList{[] {
            QString all;
            for (int b = 1; b < 256; ++b)
                if (b != '\r')
                    all += QChar(b < 0x80 ? b : 0x20);
            return all;
        }()};
    }

    void linesSurviveARoundTrip()
    {
        QFETCH(QStringList, lines);
        bool lossless = false;
        const QByteArray stored = encodeScript(lines, &lossless);
        QVERIFY(lossless);
        QCOMPARE(DecodeScript(stored, false), lines);
    }

    void storedBytesDoNotShowTheText()
    {
        const QByteArray stored = encodeScript({QStringLiteral("title=Velbrook manual")});
        QVERIFY(!stored.contains("Velbrook"));
        QVERIFY(!stored.contains("kcorbleV"));
    }

    void lowerCase_touchesOnlyAsciiLetters()
    {
        const QByteArray stored = encodeScript({QStringLiteral(u"Title=Руководство ABC-Ёж 12")});
        QCOMPARE(DecodeScript(stored, true), QStringList{QStringLiteral(u"title=Руководство abc-Ёж 12")});
    }

    void writer_refusesWhatCannotBeStored()
    {
        QVERIFY_THROWS_EXCEPTION(ContentError, encodeScript({QStringLiteral("a\r\nb")}));
        bool lossless = true;
        encodeScript({QStringLiteral(u"图")}, &lossless);
        QVERIFY(!lossless);
        QCOMPARE(encodeScript({}), QByteArray());
    }
};

QTEST_APPLESS_MAIN(TestScriptCodec)
#include "tst_scriptcodec.moc"
