#include "settingsstore.h"
#include "testfiles.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

// Each case uses a title of its own: QSettings shares open files within a process.
class TestSettingsStore : public QObject
{
    Q_OBJECT

private:
    int m_titles = 0;
    QString freshTitle() { return QStringLiteral(u"Руководство %1").arg(++m_titles); }

    // A settings file with the given INI text, as a user or an earlier version left it.
    QString titleWithFile(const QByteArray& ini)
    {
        const QString title = freshTitle();
        QString path;
        {
            const SettingsStore probe(title);
            path = probe.fileName();
        }
        writeTestFile(path, ini);
        return title;
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void writtenValues_readBackInTheirTypes()
    {
        const QString title = freshTitle();
        {
            SettingsStore store(title);
            store.writeBool(QStringLiteral("SwOne03"), true);
            store.writeBool(QStringLiteral("SwGrp10"), false);
            store.writeInt(QStringLiteral("SlideShowTime"), -7);
            store.writeString(QStringLiteral("FontName"), QStringLiteral(u"Times New Roman, Кириллица"));
            QVERIFY(store.sync());
            // Before and after the file is read again.
            QCOMPARE(store.readBool(QStringLiteral("SwOne03")), std::optional<bool>(true));
            QCOMPARE(store.readInt(QStringLiteral("SlideShowTime")), std::optional<int>(-7));
        }
        // The file as a later session reads it: text only (a changed file is parsed again).
        const QString path = SettingsStore(title).fileName();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        writeTestFile(path, file.readAll() + "\n");
        const SettingsStore store(title);
        QCOMPARE(store.readBool(QStringLiteral("SwOne03")), std::optional<bool>(true));
        QCOMPARE(store.readBool(QStringLiteral("SwGrp10")), std::optional<bool>(false));
        QCOMPARE(store.readInt(QStringLiteral("SlideShowTime")), std::optional<int>(-7));
        QCOMPARE(store.readString(QStringLiteral("FontName")),
                 std::optional<QString>(QStringLiteral(u"Times New Roman, Кириллица")));
        // Names are case-sensitive.
        QCOMPARE(store.readBool(QStringLiteral("swone03")), std::nullopt);
    }

    void valuesOfAnotherType_readAsMissing_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("isBool");
        QTest::addColumn<bool>("isInt");
        QTest::newRow("true") << QByteArray("true") << true << false;
        QTest::newRow("false") << QByteArray("false") << true << false;
        QTest::newRow("upper case") << QByteArray("TRUE") << false << false;
        QTest::newRow("one") << QByteArray("1") << false << true;
        QTest::newRow("negative") << QByteArray("-12") << false << true;
        QTest::newRow("text") << QByteArray("Arial") << false << false;
        QTest::newRow("number and text") << QByteArray("5px") << false << false;
        QTest::newRow("too large") << QByteArray("99999999999") << false << false;
        QTest::newRow("empty") << QByteArray("") << false << false;
        QTest::newRow("list") << QByteArray("a, b") << false << false;
    }

    void valuesOfAnotherType_readAsMissing()
    {
        QFETCH(QByteArray, value);
        QFETCH(bool, isBool);
        QFETCH(bool, isInt);
        const SettingsStore store(titleWithFile("[General]\nV=" + value + "\n"));
        QCOMPARE(store.readBool(QStringLiteral("V")).has_value(), isBool);
        QCOMPARE(store.readInt(QStringLiteral("V")).has_value(), isInt);
        QCOMPARE(store.readString(QStringLiteral("V")).has_value(), value != "a, b");
    }

    void readOrDefault_writesTheDefaultBackWhenMissingOrWrong()
    {
        const QString title = titleWithFile("[General]\nWav=false\nHint=yes\nSlideShowTime=abc\nImageSequence=2\n");
        {
            SettingsStore store(title);
            QCOMPARE(store.readBoolOrDefault(QStringLiteral("Wav"), true), false);
            QCOMPARE(store.readBoolOrDefault(QStringLiteral("Hint"), true), true);
            QCOMPARE(store.readBoolOrDefault(QStringLiteral("Clip"), true), true);
            QCOMPARE(store.readIntOrDefault(QStringLiteral("SlideShowTime"), 5), 5);
            QCOMPARE(store.readIntOrDefault(QStringLiteral("ImageSequence"), 0), 2);
            QVERIFY(store.sync());
        }
        QFile file(SettingsStore(title).fileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY2(text.contains("Hint=true"), text);
        QVERIFY2(text.contains("Clip=true"), text);
        QVERIFY2(text.contains("SlideShowTime=5"), text);
        QVERIFY2(text.contains("Wav=false"), text);
        QVERIFY2(text.contains("ImageSequence=2"), text);
    }

    void readOrDefault_givesTheDefaultWhenTheFileCannotBeWritten()
    {
        const QString title = freshTitle();
        const QString path = SettingsStore(title).fileName();
        // A folder where the file should be: nothing can be written, reads still work.
        QVERIFY(QDir().mkpath(path));
        SettingsStore store(title);
        QCOMPARE(store.readBoolOrDefault(QStringLiteral("Animation"), true), true);
        QCOMPARE(store.readIntOrDefault(QStringLiteral("SlideShowTime"), 5), 5);
        QVERIFY(!store.sync());
        QVERIFY(QDir(path).removeRecursively());
    }

    void detachedStore_keepsNothingUntilOpened_andCloseWritesWhatIsPending()
    {
        const QString title = titleWithFile("[General]\nClip=false\n");
        SettingsStore store;
        QVERIFY(!store.isOpen());
        QVERIFY(store.fileName().isEmpty());
        QCOMPARE(store.readBool(QStringLiteral("Clip")), std::nullopt);
        store.writeInt(QStringLiteral("TreeWidth"), 300);
        QCOMPARE(store.readInt(QStringLiteral("TreeWidth")), std::nullopt);
        QCOMPARE(store.readBoolOrDefault(QStringLiteral("Wav"), false), false);
        QVERIFY(store.sync());

        store.open(title);
        QVERIFY(store.isOpen());
        QCOMPARE(store.fileName(), SettingsStore(title).fileName());
        QCOMPARE(store.readBool(QStringLiteral("Clip")), std::optional<bool>(false));
        // Nothing written while detached reached the file.
        QCOMPARE(store.readInt(QStringLiteral("TreeWidth")), std::nullopt);
        QCOMPARE(store.readBool(QStringLiteral("Wav")), std::nullopt);
        // A second open keeps the first file.
        store.open(freshTitle());
        QCOMPARE(store.fileName(), SettingsStore(title).fileName());

        store.writeInt(QStringLiteral("TreeWidth"), 250);
        store.close();
        QVERIFY(!store.isOpen());
        QCOMPARE(store.readInt(QStringLiteral("TreeWidth")), std::nullopt);
        QCOMPARE(SettingsStore(title).readInt(QStringLiteral("TreeWidth")), std::optional<int>(250));
    }

    void titles_giveDistinctValidFileNames()
    {
        const QStringList titles = {QStringLiteral("A/B"), QStringLiteral("A:B"),     QStringLiteral("A_B"),
                                    QStringLiteral(".."),  QStringLiteral(""),        QStringLiteral("a\\b*?\"<>|"),
                                    QString(300, u'Ж'),    QString(299, u'Ж') + u'Я', QStringLiteral(u"Тезаурус")};
        QSet<QString> names;
        for (const QString& title : titles) {
            const QString name = titleFileName(title);
            QVERIFY2(!name.isEmpty() && name != QLatin1String(".") && name != QLatin1String(".."), qPrintable(name));
            QVERIFY2(!name.contains(u'/') && !name.contains(u'\\') && !name.contains(u':'), qPrintable(name));
            QVERIFY2(name.toUtf8().size() < 240, qPrintable(name));
            QVERIFY2(!names.contains(name), qPrintable(name));
            names.insert(name);
        }
        // Safe titles are used as they are, so the file is easy to find.
        QCOMPARE(titleFileName(QStringLiteral(u"Тезаурус")), QStringLiteral(u"Тезаурус"));

        // Two titles that differ only in an unsafe character keep their own values.
        {
            SettingsStore slash(QStringLiteral("Manual 1/2"));
            SettingsStore colon(QStringLiteral("Manual 1:2"));
            QCOMPARE(QFileInfo(slash.fileName()).absolutePath(), QFileInfo(colon.fileName()).absolutePath());
            QVERIFY(slash.fileName() != colon.fileName());
            slash.writeInt(QStringLiteral("X"), 1);
            colon.writeInt(QStringLiteral("X"), 2);
            QVERIFY(slash.sync());
            QVERIFY(colon.sync());
            QVERIFY(QFileInfo::exists(slash.fileName()));
        }
        QCOMPARE(SettingsStore(QStringLiteral("Manual 1/2")).readInt(QStringLiteral("X")), std::optional<int>(1));
        QCOMPARE(SettingsStore(QStringLiteral("Manual 1:2")).readInt(QStringLiteral("X")), std::optional<int>(2));
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
