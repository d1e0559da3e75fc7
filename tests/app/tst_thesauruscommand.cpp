// The "tesaurus" command: the thesaurus opens at its start page in the open thesaurus window when
// there is one, else in a new copy; without a thesaurus or its page nothing starts.

#include "appcontext.h"
#include "codepage.h"
#include "copydatareceiver.h"
#include "rawpack.h"
#include "testfiles.h"
#include "thesauruscommand.h"
#include "windowcaptions.h"
#include "windowdirectory.h"

#include <QTemporaryDir>
#include <QTest>

class TestThesaurusCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        qputenv("VELBROOK_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_root = m_dir->path() + QLatin1Char('/');
        m_context = std::make_unique<AppContext>(StartupValues::forContentFolder(m_dir->path()));
    }

    void failures_startNothing_data()
    {
        QTest::addColumn<QByteArray>("index");
        QTest::addColumn<bool>("pageExists");
        QTest::addColumn<int>("result");
        QTest::newRow("no tezaurus.idx") << QByteArray() << true << int(ThesaurusOpened::NoThesaurus);
        QTest::newRow("no start page in it") << QByteArray("\r\n") << true << int(ThesaurusOpened::NoThesaurus);
        QTest::newRow("start page missing")
            << toCp1251(u"тормоза ~ t\\brakes.htm#top\r\n"_qs) << false << int(ThesaurusOpened::NoStartPage);
    }

    void failures_startNothing()
    {
        QFETCH(QByteArray, index);
        QFETCH(bool, pageExists);
        QFETCH(int, result);
        if (!index.isNull())
            writeTestFile(m_root + "tezaurus.idx", index);
        if (pageExists)
            writeTestFile(m_root + "t/brakes.htm", "<p>x</p>");
        const QString marker = m_root + "started";
        QCOMPARE(int(openThesaurus(*m_context, starter(marker))), result);
        QVERIFY(!QFile::exists(marker));
        QVERIFY(!thesaurusFailureText(ThesaurusOpened(result)).isEmpty());
    }

    // A start page outside the manual's folder is no start page: no copy opens on it.
    void startPageOutsideTheManual_startsNothing()
    {
        const QString book = m_root + "book/";
        writeTestFile(m_root + "outside.htm", "<p>not the manual's</p>");
        writeTestFile(book + "tezaurus.idx", toCp1251(u"чужое ~ ..\\outside.htm\r\n"_qs));
        AppContext context(StartupValues::forContentFolder(book));
        const QString marker = m_root + "started";
        QCOMPARE(openThesaurus(context, starter(marker)), ThesaurusOpened::NoThesaurus);
    }

    // An index that is there but cannot be read gives the index files' warning, not "no thesaurus".
    void unreadableIndex_givesItsWarning()
    {
        RawPack raw;
        raw.entries.append({"TEZAURUS.IDX", 0, 4, 100, 1});
        raw.data = "junk";
        raw.folders = {{0, 1}};
        writeTestFile(m_root + "interface.dat", raw.bytes());
        QVERIFY(m_context->pack.OpenPack(m_root + "interface.dat"));
        m_context->pack.SetPackBase(m_context->values.contentDir);
        const QString marker = m_root + "started";
        const ThesaurusOpened result = openThesaurus(*m_context, starter(marker));
        QCOMPARE(result, ThesaurusOpened::IndexUnreadable);
        QCOMPARE(thesaurusFailureText(result), u"Индексный файл не найден (tezaurus.idx)"_qs);
        QVERIFY(!QFile::exists(marker));
    }

    // No thesaurus window: a copy starts with the start page and "/t".
    void noWindow_startsACopy()
    {
        writeTestFile(m_root + "tezaurus.idx", toCp1251(u"тормоза ~ t\\brakes.htm#top\r\n"_qs));
        writeTestFile(m_root + "t/brakes.htm", "<p>x</p>");
        const QString marker = m_root + "started";
        QCOMPARE(openThesaurus(*m_context, starter(marker)), ThesaurusOpened::CopyStarted);
        QTRY_VERIFY(QFile::exists(marker) && QFileInfo(marker).size() > 0);
        QFile file(marker);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()).trimmed(),
                 u"--content %1 %1t/brakes.htm#top /t"_qs.arg(m_context->values.programDir));
    }

    // An open thesaurus window gets the start page, each time, and no copy starts.
    void openWindow_isReused()
    {
        writeTestFile(m_root + "tezaurus.idx", toCp1251(u"тормоза ~ t\\brakes.htm#top\r\n"_qs));
        writeTestFile(m_root + "t/brakes.htm", "<p>x</p>");
        WindowEndpoint endpoint(WindowCaption::Thesaurus());
        QStringList shown;
        QObject owner;
        CopyDataTarget target;
        target.kind = CopyDataTarget::Kind::Thesaurus;
        target.programDir = m_context->values.programDir; // as the thesaurus copy's window has it
        target.hasPane = [] { return true; };
        target.showPage = [&shown](const QString& page) { shown.append(page); };
        receiveCopyData(endpoint, &owner, target);

        const QString marker = m_root + "started";
        const QString page = m_context->values.programDir + u"t/brakes.htm#top"_qs;
        QCOMPARE(openThesaurus(*m_context, starter(marker)), ThesaurusOpened::SentToOpenWindow);
        QTRY_COMPARE(shown, QStringList{page});
        QCOMPARE(openThesaurus(*m_context, starter(marker)), ThesaurusOpened::SentToOpenWindow);
        QTRY_COMPARE(shown, (QStringList{page, page}));
        QVERIFY(!QFile::exists(marker));
    }

private:
    // A program that writes its arguments into marker, standing in for the thesaurus copy.
    QString starter(const QString& marker)
    {
        const QString script = m_root + "starter.sh";
        writeTestFile(script, QStringLiteral("#!/bin/sh\necho \"$@\" > '%1'\n").arg(marker).toUtf8());
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return script;
    }

    QTemporaryDir m_runtime;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root;
    std::unique_ptr<AppContext> m_context;
};

QTEST_MAIN(TestThesaurusCommand)
#include "tst_thesauruscommand.moc"
