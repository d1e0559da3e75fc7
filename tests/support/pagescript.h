#pragma once

// Running a script in a page under test and waiting for its answer.

#include <QTest>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <memory>

// The script's value, or the text "<no answer>" when the page gives none within 10 s (an answer
// that comes later is dropped).
inline QVariant runPageScript(QWebEnginePage& page, const QString& script)
{
    struct Answer
    {
        QVariant value;
        bool done = false;
    };
    const auto answer = std::make_shared<Answer>();
    page.runJavaScript(script, QWebEngineScript::MainWorld, [answer](const QVariant& value) {
        answer->value = value;
        answer->done = true;
    });
    if (!QTest::qWaitFor([&] { return answer->done; }, 10000))
        return QStringLiteral("<no answer>");
    return answer->value;
}
