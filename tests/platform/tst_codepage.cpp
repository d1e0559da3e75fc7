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

    // Text that names no character set: UTF-8 only when its bytes say so beyond doubt.
    void utf8Detection_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("utf8");
        QTest::newRow("Cyrillic in UTF-8") << u"Ключи зажигания"_qs.toUtf8() << true;
        QTest::newRow("byte order mark, then ASCII") << QByteArray("\xEF\xBB\xBFkeys") << true;
        QTest::newRow("four-byte sequence") << QByteArray("a \xF0\x9F\x94\x91 b") << true;
        QTest::newRow("Cyrillic in 1251") << toCp1251(u"Ключи зажигания"_qs) << false;
        QTest::newRow("1251 letters that pair like a lead and a continuation") << toCp1251(u"Ря"_qs) << false; // D0 FF
        QTest::newRow("ASCII only") << QByteArray("keys.txt") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << false;
        QTest::newRow("overlong three-byte form") << QByteArray("\xE0\x80\xAF") << false;
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false;
        QTest::newRow("beyond U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << false;
        QTest::newRow("continuation without a lead") << QByteArray("ab\x80") << false;
        QTest::newRow("sequence cut at the end") << (u"Ключ"_qs.toUtf8() + "\xD0") << false;
        QTest::newRow("valid, then one 1251 byte") << (u"Ключ"_qs.toUtf8() + toCp1251(u"и"_qs)) << false;
    }

    void utf8Detection()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, utf8);
        QCOMPARE(isUtf8Text(bytes), utf8);
    }
};

QTEST_APPLESS_MAIN(TestCodePage)
#include "tst_codepage.moc"
