#include "clicksound.h"
#include "testfiles.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cmath>

namespace {

// A mono 16-bit PCM WAV file with a 440 Hz tone.
QByteArray toneWav(int milliseconds)
{
    constexpr int kRate = 22050;
    const int samples = kRate * milliseconds / 1000;
    QByteArray data(samples * 2, Qt::Uninitialized);
    for (int i = 0; i < samples; ++i) {
        const auto value = qint16(8000 * std::sin(2 * M_PI * 440 * i / kRate));
        qToLittleEndian<qint16>(value, data.data() + 2 * i);
    }
    QByteArray wav;
    const auto u32 = [&wav](quint32 v) { wav.append(reinterpret_cast<const char*>(&v), 4); };
    const auto u16 = [&wav](quint16 v) { wav.append(reinterpret_cast<const char*>(&v), 2); };
    wav.append("RIFF");
    u32(quint32(36 + data.size()));
    wav.append("WAVEfmt ");
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(kRate);
    u32(kRate * 2);
    u16(2);
    u16(16);
    wav.append("data");
    u32(quint32(data.size()));
    return wav + data;
}

} // namespace

class TestClickSound : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_click;

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("VELBROOK_AUDIO_OUTPUT", "null");
        QVERIFY(m_dir.isValid());
        m_click = m_dir.filePath(QStringLiteral(u"щелчок.wav"));
        writeTestFile(m_click, toneWav(300));
        QVERIFY(ClickSound().isAvailable());
    }

    void click_playsWithoutWaitingAndDropsClicksWhilePlaying()
    {
        ClickSound sound;
        QSignalSpy finished(&sound, &ClickSound::soundFinished);
        sound.play(m_click);
        QVERIFY(sound.isPlaying());
        QCOMPARE(sound.startedCount(), 1);
        sound.play(m_click);
        QCOMPARE(sound.startedCount(), 1); // dropped, not queued
        QTRY_VERIFY(!sound.isPlaying());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toBool(), true);
        QTest::qWait(100);
        QCOMPARE(sound.startedCount(), 1);

        sound.play(m_click); // free again
        QCOMPARE(sound.startedCount(), 2);
        QTRY_VERIFY(!sound.isPlaying());
    }

    void exitSound_playsToItsEnd()
    {
        ClickSound sound;
        QVERIFY(sound.playToEnd(m_click, 10000));
        QVERIFY(!sound.isPlaying());

        // A click still playing is cut off; the exit sound is the one waited for.
        sound.play(m_click);
        QVERIFY(sound.isPlaying());
        QVERIFY(sound.playToEnd(m_click, 10000));
        QVERIFY(!sound.isPlaying());
        QCOMPARE(sound.startedCount(), 3);
        sound.play(m_click);
        QCOMPARE(sound.startedCount(), 4);
    }

    void unplayableFiles_failWithoutHanging_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("missing") << QStringLiteral("missing.wav") << QByteArray();
        QTest::newRow("garbage") << QStringLiteral("garbage.wav") << QByteArray(4096, '\x5a');
        QTest::newRow("broken header") << QStringLiteral("broken.wav") << toneWav(300).left(30);
        QTest::newRow("empty") << QStringLiteral("empty.wav") << QByteArray("");
        QTest::newRow("folder") << QStringLiteral("folder.wav") << QByteArray();
    }

    void unplayableFiles_failWithoutHanging()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        const QString path = m_dir.filePath(name);
        if (name == QLatin1String("folder.wav"))
            QDir().mkpath(path);
        else if (name != QLatin1String("missing.wav"))
            writeTestFile(path, bytes);

        ClickSound sound;
        // The bound is far beyond any test timeout: returning at all shows it did not wait for it.
        QVERIFY(!sound.playToEnd(path, 1000 * 1000));
        QVERIFY(!sound.isPlaying());
        sound.play(path);
        QTRY_VERIFY(!sound.isPlaying());
        // The player is still usable afterwards.
        QVERIFY(sound.playToEnd(m_click, 10000));
    }
};

QTEST_GUILESS_MAIN(TestClickSound)
#include "tst_clicksound.moc"
