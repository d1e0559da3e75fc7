#include "codepage.h"

#include <QTest>

class TestCodePage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyByteSurvivesARoundTrip()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        for (const auto& [from, to] : {std::pair{&fromCp1251, &toCp1251}, std::pair{&fromCp866, &toCp866}}) {
            const QString text = from(all);
            QCOMPARE(text.size(), 256);
            bool lossless = false;
            QCOMPARE(to(text, &lossless), all);
            QVERIFY(lossless);
        }
    }

    void knownCharacters_data()
    {
        QTest::addColumn<bool>("cp866");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("1251 capitals") << false << QByteArray("\xC0\xC1\xDF") << QStringLiteral(u"АБЯ");
        QTest::newRow("1251 small") << false << QByteArray("\xE0\xFF") << QStringLiteral(u"ая");
        QTest::newRow("1251 yo") << false << QByteArray("\xA8\xB8") << QStringLiteral(u"Ёё");
        QTest::newRow("1251 signs") << false << QByteArray("\xB9\x96\x97\xAB\xBB\x85") << QStringLiteral(u"№–—«»…");
        QTest::newRow("866 letters") << true << QByteArray("\x80\x9F\xA0\xAF\xE0\xEF") << QStringLiteral(u"АЯапря");
        QTest::newRow("866 yo and box") << true << QByteArray("\xF0\xF1\xC4\xB3") << QStringLiteral(u"Ёё─│");
        QTest::newRow("ascii") << false << QByteArray("Kel.dhl") << QStringLiteral("Kel.dhl");
    }

    void knownCharacters()
    {
        QFETCH(bool, cp866);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(cp866 ? fromCp866(bytes) : fromCp1251(bytes), text);
        QCOMPARE(cp866 ? toCp866(text) : toCp1251(text), bytes);
    }

    void characterWithoutByte_becomesQuestionMark()
    {
        bool lossless = true;
        QCOMPARE(toCp1251(QStringLiteral(u"a€Ω字"), &lossless), QByteArray("a\x88??"));
        QVERIFY(!lossless);
        QCOMPARE(toCp866(QStringLiteral(u"Ђ"), &lossless), QByteArray("?"));
        QVERIFY(!lossless);
    }
};

QTEST_APPLESS_MAIN(TestCodePage)
#include "tst_codepage.moc"
