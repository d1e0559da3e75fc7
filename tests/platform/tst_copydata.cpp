// The request record between copies, byte for byte, and what cannot be sent.

#include "codepage.h"
#include "copydata.h"

#include <QTest>
#include <QtEndian>

class TestCopyData : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void record_layoutByteForByte()
    {
        CopyDataRecord record;
        record.kind = 1;
        record.strings = {{0, QStringLiteral(u"C:\\Печать\\лист.htm")}, {1, QStringLiteral("12")}, {2, "-3"}};
        const std::optional<QByteArray> bytes = record.encode();
        QVERIFY(bytes);
        QCOMPARE(bytes->size(), 840);
        const char* data = bytes->constData();
        QCOMPARE(qFromLittleEndian<quint16>(data), quint16(1));
        QCOMPARE(qFromLittleEndian<quint16>(data + 2), quint16(3));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(qFromLittleEndian<qint32>(data + 4 + 4 * i), i);
        const QByteArray first = toCp1251(record.strings[0].text);
        QCOMPARE(bytes->mid(16, first.size()), first);
        QCOMPARE(bytes->at(16 + first.size()), '\0');
        QCOMPARE(bytes->mid(16 + 274, 3), QByteArray("12\0", 3));
        QCOMPARE(bytes->mid(16 + 2 * 274, 3), QByteArray("-3\0", 3));
        QCOMPARE(bytes->mid(838, 2), QByteArray(2, '\0'));

        const std::optional<CopyDataRecord> back = CopyDataRecord::decode(*bytes);
        QVERIFY(back);
        QCOMPARE(back->kind, quint16(1));
        QCOMPARE(back->strings.size(), 3);
        QCOMPARE(back->strings[0].text, record.strings[0].text);
        QCOMPARE(back->strings[2].type, 2);
    }

    void unsendable_isRefused_data()
    {
        QTest::addColumn<QStringList>("strings");
        QTest::addColumn<bool>("sent");
        QTest::newRow("273 bytes fill a slot") << QStringList{QString(273, QLatin1Char('a'))} << true;
        QTest::newRow("273 Cyrillic letters are 273 bytes") << QStringList{QString(273, QChar(0x0416))} << true;
        QTest::newRow("274 bytes do not fit") << QStringList{QString(274, QLatin1Char('a'))} << false;
        QTest::newRow("no string") << QStringList{} << false;
        QTest::newRow("four strings") << QStringList{"a", "b", "c", "d"} << false;
        QTest::newRow("a character code page 1251 lacks") << QStringList{QStringLiteral(u"схема\u4E2D.bmp")} << false;
    }

    void unsendable_isRefused()
    {
        QFETCH(QStringList, strings);
        CopyDataRecord record;
        record.kind = 3;
        for (const QString& text : strings)
            record.strings.append({0, text});
        QTEST(record.encode().has_value(), "sent");
    }

    // What arrives from outside is read within the record's bounds, whatever it holds.
    void damagedRecord_readSafely()
    {
        QVERIFY(!CopyDataRecord::decode(QByteArray(839, '\0')));
        QVERIFY(!CopyDataRecord::decode(QByteArray(841, '\0')));
        QByteArray bytes(840, '\0');
        QVERIFY2(!CopyDataRecord::decode(bytes), "no string used");
        qToLittleEndian<quint16>(4, bytes.data() + 2);
        QVERIFY2(!CopyDataRecord::decode(bytes), "four strings used");
        // Slots full to their end without a closing zero.
        bytes.fill('x');
        qToLittleEndian<quint16>(3, bytes.data());
        qToLittleEndian<quint16>(3, bytes.data() + 2);
        const std::optional<CopyDataRecord> record = CopyDataRecord::decode(bytes);
        QVERIFY(record);
        QCOMPARE(record->strings.size(), 3);
        QCOMPARE(record->strings[2].text.size(), 274);
    }
};

QTEST_GUILESS_MAIN(TestCopyData)
#include "tst_copydata.moc"
