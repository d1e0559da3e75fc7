// The engine module, loaded as the program loads it, shares the program's lower libraries: one
// copy of their process-wide state, not one in each binary.

#include "engine.h"
#include "windowdirectory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestEngineModule : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        qputenv("VELBROOK_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        QVERIFY(resolveEngineEntry(QStringLiteral(VELBROOK_ENGINE_MODULE), kEnginePartsSymbol));
        m_requestClose = reinterpret_cast<RequestClose>(
            resolveEngineEntry(QStringLiteral(VELBROOK_ENGINE_MODULE), kEngineRequestCloseSymbol));
        QVERIFY(m_requestClose);
    }

    // The window directory reaches a window of the asking thread through the registry of this
    // process's windows; through its socket the request would wait for this very thread and fail
    // at the time bound. A module with a registry of its own finds nothing there and fails so.
    void closeRequestFromModule_reachesWindowPublishedByProgram()
    {
        WindowEndpoint window(QStringLiteral(u"Увеличенная картинка"));
        QSignalSpy closed(&window, &WindowEndpoint::closeRequested);

        QElapsedTimer timer;
        timer.start();
        QVERIFY(m_requestClose(QStringLiteral(u"увеличенная КАРТИНКА")));
        QVERIFY(timer.elapsed() < WindowDirectory::kRequestTimeoutMs);
        QTRY_COMPARE(closed.count(), 1);
        QVERIFY(WindowDirectory::exists(QStringLiteral(u"Увеличенная картинка")));

        QVERIFY(!m_requestClose(QStringLiteral(u"Помощь")));
    }

private:
    using RequestClose = bool (*)(const QString&);

    QTemporaryDir m_runtime;
    RequestClose m_requestClose = nullptr;
};

QTEST_GUILESS_MAIN(TestEngineModule)
#include "tst_enginemodule.moc"
