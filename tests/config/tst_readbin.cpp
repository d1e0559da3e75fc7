#include "contenterror.h"
#include "readbin.h"
#include "testfiles.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

// A directory record written by hand, for containers our writer would never make.
QByteArray record(qint32 nameLength, const QByteArray& name, qint32 offset, qint32 size)
{
    QByteArray out(4, '\0');
    qToLittleEndian(nameLength, out.data());
    out += name;
    char raw[8];
    qToLittleEndian(offset, raw);
    qToLittleEndian(size, raw + 4);
    return out + QByteArray(raw, 8);
}

QByteArray count(quint16 n)
{
    char raw[2];
    qToLittleEndian(n, raw);
    return QByteArray(raw, 2);
}

} // namespace

class TestReadBin : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void writtenEntries_readBackByName()
    {
        ContainerWriter writer;
        writer.add(QStringLiteral("Struct.cfs"), QByteArray("script bytes"));
        writer.add(QStringLiteral(u"Фон.bmp"), QByteArray(3000, 'x'));
        writer.add(QStringLiteral("empty.bmp"), QByteArray());
        writer.add(QStringLiteral("STRUCT.CFS"), QByteArray("shadowed"));
        const QString path = save(writer.build());

        TReadBin container;
        container.Open(path);
        QCOMPARE(container.directory().size(), 4);
        QVERIFY(container.Exists(QStringLiteral("struct.CFS")));
        QVERIFY(container.Exists(QStringLiteral(u"фОН.BMP")));
        QVERIFY(!container.Exists(QStringLiteral("Struct")));

        QByteArray block;
        QCOMPARE(container.ReadToMemory(QStringLiteral("STRUCT.cfs"), block), 12);
        QCOMPARE(block, QByteArray("script bytes")); // the first of two equal names decides
        QCOMPARE(container.ReadToMemory(QStringLiteral(u"фон.bmp"), block), 3000);
        QCOMPARE(container.ReadToMemory(QStringLiteral("empty.bmp"), block), 0);
        QCOMPARE(container.ReadToMemory(QStringLiteral("missing.bmp"), block), -1);

        QBuffer stream;
        QVERIFY(container.ReadToStream(QStringLiteral("empty.bmp"), stream));
        QCOMPARE(stream.size(), 0);
        QVERIFY(container.ReadToStream(QStringLiteral("struct.cfs"), stream));
        QCOMPARE(stream.pos(), 0);
        QCOMPARE(stream.readAll(), QByteArray("script bytes"));
        QVERIFY(!container.ReadToStream(QStringLiteral("missing"), stream));
    }

    void emptyContainer_opensAndFindsNothing()
    {
        TReadBin container;
        container.Open(save(count(0)));
        QByteArray block;
        QBuffer stream;
        QVERIFY(!container.Exists(QStringLiteral("Struct.cfs")));
        QCOMPARE(container.ReadToMemory(QStringLiteral("Struct.cfs"), block), -1);
        QVERIFY(!container.ReadToStream(QStringLiteral("Struct.cfs"), stream));
    }

    void nameWithZeroByte_isKnownByItsFirstPart()
    {
        const qint32 dataOffset = 2 + 4 + 8 + 8;
        const QByteArray patched = count(1) + record(8, QByteArray("a.bmp\0zz", 8), dataOffset, 4) + "data";
        TReadBin container;
        container.Open(save(patched));
        QCOMPARE(container.directory().first().name, QStringLiteral("a.bmp"));
        QByteArray block;
        QCOMPARE(container.ReadToMemory(QStringLiteral("A.BMP"), block), 4);
        QCOMPARE(block, QByteArray("data"));
    }

    void malformedContainer_isRejectedWithAReason_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QByteArray good = record(5, "a.cfs", 0, 0);
        QTest::newRow("empty file") << QByteArray() << "entry count";
        QTest::newRow("count without records") << count(3) << "ends in record 1";
        QTest::newRow("count too large") << count(0xFFFF) + good << "ends in record 2";
        QTest::newRow("truncated record") << count(1) + good.left(7) << "ends in record 1";
        QTest::newRow("name length 0") << count(1) + record(0, "", 0, 0) << "name length of 0";
        QTest::newRow("name length 257") << count(1) + record(257, QByteArray(257, 'n'), 0, 0) << "name length of 257";
        QTest::newRow("negative name length") << count(1) + record(-1, "", 0, 0) << "name length of -1";
        QTest::newRow("huge name length") << count(1) + record(0x7FFFFFFF, "x", 0, 0) << "name length";
        QTest::newRow("offset past the end") << count(1) + record(5, "a.cfs", 1000, 1) << "outside the file";
        QTest::newRow("size past the end") << count(1) + record(5, "a.cfs", 0, 0x7FFFFFFF) << "outside the file";
        QTest::newRow("negative offset") << count(1) + record(5, "a.cfs", -4, 2) << "outside the file";
        QTest::newRow("negative size") << count(1) + record(5, "a.cfs", 0, -1) << "outside the file";
        // The message stays one line: the name's control characters are written as escapes.
        QTest::newRow("control characters in the name")
            << count(1) + record(10, "bad\nentry\x1b", 0, 1000) << "\"bad\\nentry\\x1b\" (offset 0";
    }

    void malformedContainer_isRejectedWithAReason()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        TReadBin container;
        try {
            container.Open(save(bytes));
            QFAIL("Open accepted a malformed container");
        } catch (const ContentError& error) {
            QVERIFY2(error.message().contains(reason), qPrintable(error.message()));
        }
        QVERIFY(container.directory().isEmpty());
    }

    void missingFile_raisesCannotOpen()
    {
        TReadBin container;
        QVERIFY_THROWS_EXCEPTION(ContentError, container.Open(m_dir.filePath(QStringLiteral("none.dhl"))));
    }

    void writer_refusesNamesItCannotStore_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << QString();
        QTest::newRow("257 bytes") << QString(257, QLatin1Char('n'));
        QTest::newRow("not in code page 1251") << QStringLiteral(u"图.bmp");
    }

    void writer_refusesNamesItCannotStore()
    {
        QFETCH(QString, name);
        ContainerWriter writer;
        writer.add(name, QByteArray("x"));
        QVERIFY_THROWS_EXCEPTION(ContentError, writer.build());
    }

private:
    QString save(const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("Kel%1.dhl").arg(m_next++));
        writeTestFile(path, bytes);
        return path;
    }

    QTemporaryDir m_dir;
    int m_next = 0;
};

QTEST_GUILESS_MAIN(TestReadBin)
#include "tst_readbin.moc"
