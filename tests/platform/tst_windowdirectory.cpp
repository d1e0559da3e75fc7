#include "windowdirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdio>

namespace {

constexpr char kWindowOption[] = "--window";

// How every window of this test answers a record: "activate" brings it to the front of the Z
// order; anything else is answered with its length and sent back reversed, so a lost or changed
// byte shows.
void answerRecord(WindowEndpoint& endpoint, const QByteArray& record, int* answer, QByteArray* reply)
{
    if (record == "activate") {
        endpoint.markActivated();
        *answer = 1;
        return;
    }
    *answer = int(record.size());
    reply->resize(record.size());
    std::reverse_copy(record.cbegin(), record.cend(), reply->begin());
}

void connectAnswers(WindowEndpoint& endpoint)
{
    QObject::connect(&endpoint, &WindowEndpoint::recordReceived, &endpoint,
                     [&endpoint](const QByteArray& record, int* answer, QByteArray* reply) {
                         answerRecord(endpoint, record, answer, reply);
                     });
}

// Run as "tst_windowdirectory --window CAPTION": a window of another process. It reports the
// requests it gets on its standard output and leaves on a close request.
int runWindow(const QString& caption)
{
    WindowEndpoint endpoint(caption);
    connectAnswers(endpoint);
    const auto say = [](const char* line) {
        std::fputs(line, stdout);
        std::fflush(stdout);
    };
    QObject::connect(&endpoint, &WindowEndpoint::raiseRequested, [&] { say("raise\n"); });
    QObject::connect(&endpoint, &WindowEndpoint::closeRequested, [&] {
        say("close\n");
        QCoreApplication::quit();
    });
    say(endpoint.isListening() ? "ready\n" : "not listening\n");
    return QCoreApplication::exec();
}

// A window whose endpoint lives on a thread of its own, reached through its socket.
class ThreadedWindow
{
public:
    explicit ThreadedWindow(const QString& caption)
    {
        m_thread.start();
        m_context.moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            &m_context,
            [this, caption] {
                m_endpoint = new WindowEndpoint(caption);
                connectAnswers(*m_endpoint);
                QObject::connect(m_endpoint, &WindowEndpoint::recordReceived, m_endpoint,
                                 [this] { m_handledOn = QThread::currentThread(); });
            },
            Qt::BlockingQueuedConnection);
    }
    ~ThreadedWindow()
    {
        QThread* here = QThread::currentThread();
        QMetaObject::invokeMethod(
            &m_context,
            [this, here] {
                delete m_endpoint;
                m_context.moveToThread(here);
            },
            Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    QThread* thread() { return &m_thread; }
    QThread* handledOn() const { return m_handledOn; }

private:
    QThread m_thread;
    QObject m_context;
    WindowEndpoint* m_endpoint = nullptr;
    std::atomic<QThread*> m_handledOn{nullptr};
};

QByteArray requestRecord()
{
    QByteArray record(840, '\0');
    record[0] = 3;
    record[2] = 1;
    const QByteArray path = QStringLiteral(u"Рисунок 1.jpg").toUtf8();
    std::copy(path.cbegin(), path.cend(), record.begin() + 16);
    record[837] = char(0xFF);
    return record;
}

void writeSidecar(const QString& id, const QString& caption, qint64 pid)
{
    QJsonObject sidecar;
    sidecar.insert(QLatin1String("caption"), caption);
    sidecar.insert(QLatin1String("pid"), pid);
    sidecar.insert(QLatin1String("activated"), 1);
    QFile file(WindowDirectory::folder() + QLatin1Char('/') + id + QLatin1String(".win"));
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write the sidecar %s", qPrintable(file.fileName()));
    file.write(QJsonDocument(sidecar).toJson());
}

} // namespace

class TestWindowDirectory : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_runtime;

    // Another process with one window; returns its first line ("ready").
    QString startWindow(QProcess& process, const QString& caption)
    {
        process.start(QCoreApplication::applicationFilePath(), {QLatin1String(kWindowOption), caption});
        if (!process.waitForStarted() || !process.waitForReadyRead(10000))
            return QStringLiteral("no answer");
        return QString::fromUtf8(process.readLine()).trimmed();
    }

    static QString nextLine(QProcess& process)
    {
        if (!process.canReadLine() && !process.waitForReadyRead(10000))
            return QString();
        return QString::fromUtf8(process.readLine()).trimmed();
    }

    static QStringList idsOf(const QList<WindowEntry>& entries)
    {
        QStringList ids;
        for (const WindowEntry& entry : entries)
            ids.append(entry.id);
        return ids;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        qputenv("VELBROOK_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    }

    void lookups_compareCaptionsWithoutRegardToCase()
    {
        WindowEndpoint main(QStringLiteral(u"Тезаурус"));
        ThreadedWindow picture(QStringLiteral(u"Увеличенная картинка"));
        QProcess companion;
        QCOMPARE(startWindow(companion, QStringLiteral(u"Электросхема")), QStringLiteral("ready"));

        QVERIFY(WindowDirectory::exists(QStringLiteral(u"ТЕЗАУРУС")));
        QVERIFY(WindowDirectory::exists(QStringLiteral(u"увеличенная КАРТИНКА")));
        QVERIFY(WindowDirectory::exists(QStringLiteral(u"электросхема")));
        QVERIFY(!WindowDirectory::exists(QStringLiteral(u"Тезаурус ")));
        QVERIFY(!WindowDirectory::exists(QStringLiteral(u"Помощь")));
        QStringList captions = WindowDirectory::captions();
        captions.sort();
        QCOMPARE(captions, (QStringList{QStringLiteral(u"Тезаурус"), QStringLiteral(u"Увеличенная картинка"),
                                        QStringLiteral(u"Электросхема")}));

        // A window without a caption is not listed; a new caption is found at once.
        main.setCaption(QString());
        QVERIFY(!WindowDirectory::exists(QStringLiteral(u"Тезаурус")));
        main.setCaption(QStringLiteral(u"Помощь"));
        QVERIFY(WindowDirectory::exists(QStringLiteral(u"помощь")));

        QVERIFY(WindowDirectory::requestClose(QStringLiteral(u"ЭЛЕКТРОСХЕМА")));
        QCOMPARE(nextLine(companion), QStringLiteral("close"));
        QVERIFY(companion.waitForFinished());
        QVERIFY(!WindowDirectory::exists(QStringLiteral(u"Электросхема")));
    }

    void closeAndRaise_reachOnlyTheAskedWindow()
    {
        WindowEndpoint help(QStringLiteral(u"Помощь"));
        WindowEndpoint thesaurus(QStringLiteral(u"Тезаурус"));
        QSignalSpy helpClosed(&help, &WindowEndpoint::closeRequested);
        QSignalSpy helpRaised(&help, &WindowEndpoint::raiseRequested);
        QSignalSpy thesaurusClosed(&thesaurus, &WindowEndpoint::closeRequested);
        QSignalSpy thesaurusRaised(&thesaurus, &WindowEndpoint::raiseRequested);

        QVERIFY(WindowDirectory::requestClose(QStringLiteral(u"тезаурус")));
        // Like a posted close: it arrives from the event loop, not inside the request.
        QCOMPARE(thesaurusClosed.count(), 0);
        QTRY_COMPARE(thesaurusClosed.count(), 1);
        QVERIFY(WindowDirectory::requestRaise(QStringLiteral(u"ПОМОЩЬ")));
        QTRY_COMPARE(helpRaised.count(), 1);
        QCOMPARE(helpClosed.count(), 0);
        QCOMPARE(thesaurusRaised.count(), 0);

        QProcess other;
        QCOMPARE(startWindow(other, QStringLiteral(u"Помощь")), QStringLiteral("ready"));
        // The other process's window was activated last, so it is the first "Помощь".
        QVERIFY(WindowDirectory::requestRaise(QStringLiteral(u"Помощь")));
        QCOMPARE(nextLine(other), QStringLiteral("raise"));
        QCOMPARE(WindowDirectory::requestCloseAll(QStringLiteral(u"Помощь")), 2);
        QCOMPARE(nextLine(other), QStringLiteral("close"));
        QVERIFY(other.waitForFinished());
        QTRY_COMPARE(helpClosed.count(), 1);
        QCOMPARE(helpRaised.count(), 1);
    }

    void zOrder_isTheOrderOfLastActivation()
    {
        const QString caption = QStringLiteral(u"Увеличенная картинка");
        WindowEndpoint first(caption);
        WindowEndpoint second(caption);
        connectAnswers(first);
        connectAnswers(second);
        QProcess other;
        QCOMPARE(startWindow(other, caption), QStringLiteral("ready"));
        const QString otherId = WindowDirectory::windows(caption).first().id;
        QVERIFY(otherId != first.id() && otherId != second.id());

        first.markActivated();
        QCOMPARE(idsOf(WindowDirectory::windows(caption)), (QStringList{first.id(), otherId, second.id()}));
        QCOMPARE(WindowDirectory::sendRecord(caption, "activate", 5000), std::optional<int>(1)); // to `first`
        QCOMPARE(WindowDirectory::sendRecordTo(WindowDirectory::windows(caption).at(1), "activate", 5000)->answer, 1);
        QCOMPARE(idsOf(WindowDirectory::windows(caption)), (QStringList{otherId, first.id(), second.id()}));

        QSignalSpy firstClosed(&first, &WindowEndpoint::closeRequested);
        second.markActivated();
        QVERIFY(WindowDirectory::requestClose(caption));
        QVERIFY(WindowDirectory::requestClose(WindowDirectory::windows(caption).at(1)));
        QCOMPARE(nextLine(other), QStringLiteral("close"));
        QVERIFY(other.waitForFinished());
        QTest::qWait(50);
        QCOMPARE(firstClosed.count(), 0);
    }

    void records_travelByteForByteWithTheirAnswer_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("this thread") << QStringLiteral("thread");
        QTest::newRow("another thread") << QStringLiteral("other thread");
        QTest::newRow("another process") << QStringLiteral("process");
    }

    void records_travelByteForByteWithTheirAnswer()
    {
        QFETCH(QString, where);
        const QString caption = QStringLiteral(u"Тезаурус");
        std::unique_ptr<WindowEndpoint> local;
        std::unique_ptr<ThreadedWindow> threaded;
        QProcess process;
        if (where == QLatin1String("thread")) {
            local = std::make_unique<WindowEndpoint>(caption);
            connectAnswers(*local);
        } else if (where == QLatin1String("other thread")) {
            threaded = std::make_unique<ThreadedWindow>(caption);
        } else {
            QCOMPARE(startWindow(process, caption), QStringLiteral("ready"));
        }

        const QByteArray record = requestRecord();
        const std::optional<RecordReply> reply = WindowDirectory::sendRecordWithReply(caption, record, 5000);
        QVERIFY(reply);
        QCOMPARE(reply->answer, 840);
        QByteArray expected(record.size(), '\0');
        std::reverse_copy(record.cbegin(), record.cend(), expected.begin());
        QCOMPARE(reply->payload, expected);
        QCOMPARE(WindowDirectory::sendRecord(caption, QByteArray(), 5000), std::optional<int>(0));
        if (threaded)
            QCOMPARE(threaded->handledOn(), threaded->thread());

        if (process.state() != QProcess::NotRunning) {
            QVERIFY(WindowDirectory::requestClose(caption));
            QVERIFY(process.waitForFinished());
        }
    }

    void entriesOfDeadWindows_areIgnoredAndRemoved()
    {
        const QString caption = QStringLiteral(u"Призрак");
        QProcess crashed;
        QCOMPARE(startWindow(crashed, caption), QStringLiteral("ready"));
        QVERIFY(WindowDirectory::exists(caption));
        crashed.kill();
        QVERIFY(crashed.waitForFinished());
        // Sidecars without a socket, or that cannot be read.
        writeSidecar(QStringLiteral("1-1"), caption, 1);
        QFile garbage(WindowDirectory::folder() + QStringLiteral("/1-2.win"));
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write("{not json");
        garbage.close();
        const QDir folder(WindowDirectory::folder());
        QVERIFY(folder.entryList({QStringLiteral("*.win")}, QDir::Files).size() >= 3);

        QVERIFY(!WindowDirectory::exists(caption));
        QVERIFY(!WindowDirectory::requestClose(caption));
        QCOMPARE(WindowDirectory::sendRecord(caption, requestRecord(), 5000), std::nullopt);
        WindowDirectory::captions();
        QCOMPARE(folder.entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot), QStringList());
    }

    void sendersWithoutAListener_returnWithoutAnAnswer()
    {
        QCOMPARE(WindowDirectory::sendRecord(QStringLiteral(u"Никого нет"), requestRecord(), 5000), std::nullopt);
        QVERIFY(!WindowDirectory::requestRaise(QStringLiteral(u"Никого нет")));
        QCOMPARE(WindowDirectory::requestCloseAll(QStringLiteral(u"Никого нет")), 0);

        // A window that takes the connection but never answers: the sender gives up at its bound.
        QLocalServer silent;
        QVERIFY(silent.listen(WindowDirectory::folder() + QStringLiteral("/1-3.sock")));
        writeSidecar(QStringLiteral("1-3"), QStringLiteral(u"Занят"), 1);
        QVERIFY(WindowDirectory::exists(QStringLiteral(u"занят")));
        QCOMPARE(WindowDirectory::sendRecord(QStringLiteral(u"Занят"), requestRecord(), 300), std::nullopt);
        QFile::remove(WindowDirectory::folder() + QStringLiteral("/1-3.win"));
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], kWindowOption) == 0)
        return runWindow(QString::fromLocal8Bit(argv[2]));
    TestWindowDirectory test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowdirectory.moc"
