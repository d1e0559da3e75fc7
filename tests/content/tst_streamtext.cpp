#include "streamtext.h"

#include <QBuffer>
#include <QTest>

class TestStreamText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readStreamLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QByteArray>>("lines"); // every line read; the last one came with false
        QTest::newRow("CR LF then text") << QByteArray("a\r\nb") << QList<QByteArray>{"a", "b"};
        QTest::newRow("ends with CR LF") << QByteArray("a\r\n") << QList<QByteArray>{"a", ""};
        QTest::newRow("empty stream") << QByteArray() << QList<QByteArray>{""};
        QTest::newRow("LF alone is ignored") << QByteArray("a\nb\rc") << QList<QByteArray>{"ab", "c"};
        QTest::newRow("empty lines") << QByteArray("\r\n\r\nx") << QList<QByteArray>{"", "", "x"};
    }

    void readStreamLine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QByteArray>, lines);
        // The opener's buffers and any other device must read alike.
        for (bool viaBuffer : {true, false}) {
            QBuffer buffer(&bytes);
            QVERIFY(buffer.open(QIODevice::ReadOnly));
            // A QIODevice that is not a QBuffer takes the byte-by-byte road.
            struct Plain : QIODevice
            {
                QByteArray data;
                qint64 at = 0;
                qint64 readData(char* out, qint64 max) override
                {
                    const qint64 n = qMin(max, data.size() - at);
                    memcpy(out, data.constData() + at, size_t(n));
                    at += n;
                    return n;
                }
                qint64 writeData(const char*, qint64) override { return -1; }
            } plain;
            plain.data = bytes;
            plain.open(QIODevice::ReadOnly);
            QIODevice& device = viaBuffer ? static_cast<QIODevice&>(buffer) : plain;

            QByteArray line;
            for (qsizetype i = 0; i < lines.size(); ++i) {
                const bool more = ReadStreamLine(device, line);
                QCOMPARE(line, lines[i]);
                QCOMPARE(more, i + 1 < lines.size());
            }
        }
    }

    void splitText_data()
    {
        QTest::addColumn<QString>("delimiter");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("tilde") << "~"
                               << "word ~ page.htm" << QStringList{"word", " page.htm"};
        QTest::newRow("empty second field") << "~"
                                            << "word~" << QStringList{"word", ""};
        QTest::newRow("empty first field") << "~"
                                           << "~page" << QStringList{"page"};
        QTest::newRow("doubled delimiter") << "~"
                                           << "a~~b" << QStringList{"a", "b"};
        QTest::newRow("three numbers") << ":"
                                       << "1:2:3" << QStringList{"1", "2", "3"};
        QTest::newRow("blanks before colon") << ":"
                                             << "1 : 2" << QStringList{"1", " 2"};
        QTest::newRow("empty text") << ":"
                                    << "" << QStringList{};
        QTest::newRow("no delimiter") << ":"
                                      << " 7 " << QStringList{" 7 "};
        QTest::newRow("long delimiter") << "#:#"
                                        << "a.htm#:#Title #1" << QStringList{"a.htm", "Title #1"};
        QTest::newRow("trailing empty after two") << ":"
                                                  << "1:2:" << QStringList{"1", "2"};
    }

    void splitText()
    {
        QFETCH(QString, delimiter);
        QFETCH(QString, text);
        QFETCH(QStringList, fields);
        QCOMPARE(SplitText(delimiter, text), fields);
        QList<QByteArray> bytes;
        for (const QString& field : fields)
            bytes.append(field.toLatin1());
        QCOMPARE(SplitText(delimiter.toLatin1(), text.toLatin1()), bytes);
    }
};

QTEST_GUILESS_MAIN(TestStreamText)
#include "tst_streamtext.moc"
