#include "panepage.h"

#include "contentscheme.h"
#include "linkrules.h"
#include "viewerlog.h"
#include "viewerscripts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEngineLoadingInfo>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace {

// Reports of our script begin with this; every other console line of a page is dropped.
constexpr QStringView kReportTag = u"\u0001velbrook:";

QString cssColor(int color)
{
    return fromWindowsColor(color).name(QColor::HexRgb);
}

QString jsonText(const QJsonValue& value)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
}

} // namespace

QColor fromWindowsColor(int color)
{
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

QString paneStyleSheet(const PaneFonts& fonts)
{
    // :where() weighs nothing, so any rule or attribute of the page wins over these defaults.
    QString family = fonts.name;
    family.remove(QLatin1Char('"')).remove(QLatin1Char('\\'));
    return QStringLiteral(":where(html) { font-family: \"%1\"; font-size: %2pt; color: %3; }\n"
                          ":where(a:link), :where(a:visited) { color: %4; text-decoration: none; }\n"
                          ":where(a.velbrook-visited) { color: #800080; }\n"
                          ":where(a:hover), :where(a.velbrook-visited:hover) { color: #ff0000; }\n")
        .arg(family)
        .arg(fonts.size)
        .arg(cssColor(fonts.color), cssColor(fonts.linkColor));
}

static QJsonObject stateObject(const PaneScriptState& state)
{
    QJsonObject object;
    object.insert(QStringLiteral("archiveMode"), state.archiveMode);
    object.insert(QStringLiteral("visited"), QJsonArray());
    object.insert(QStringLiteral("css"), paneStyleSheet(state.fonts));
    return object;
}

QString paneScriptSource(const PaneScriptState& state)
{
    // The script is a function expression, called here with the state and the link rules.
    static const QString pane = viewerScript(QStringLiteral("pane.js"));
    static const QString rules = classifyLinkScript();
    const QString stateJson = QString::fromUtf8(QJsonDocument(stateObject(state)).toJson(QJsonDocument::Compact));
    return pane + u'(' + stateJson + u",\n" + rules + u");\n";
}

PanePage::PanePage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent), m_scriptName(QStringLiteral("velbrook-pane"))
{
    setScriptState(PaneScriptState());
    connect(this, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        switch (info.status()) {
        case QWebEngineLoadingInfo::LoadStartedStatus:
            Q_EMIT loadStarting();
            m_loading = true;
            break;
        case QWebEngineLoadingInfo::LoadSucceededStatus:
            m_loading = false;
            Q_EMIT loadEnded(true);
            break;
        case QWebEngineLoadingInfo::LoadFailedStatus:
            m_loading = false;
            Q_EMIT loadEnded(false);
            break;
        case QWebEngineLoadingInfo::LoadStoppedStatus:
            m_loading = false; // another load took its place
            break;
        }
    });
}

void PanePage::setScriptState(const PaneScriptState& state)
{
    if (m_state == state)
        return;
    m_state = state;
    for (const QWebEngineScript& old : scripts().find(m_scriptName))
        scripts().remove(old);
    QWebEngineScript script;
    script.setName(m_scriptName);
    script.setSourceCode(paneScriptSource(state));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    scripts().insert(script);
    setBackgroundColor(fromWindowsColor(state.fonts.background));

    QJsonObject message;
    message.insert(QStringLiteral("op"), QStringLiteral("state"));
    message.insert(QStringLiteral("state"), stateObject(state));
    runCommand(message);
}

void PanePage::setVisited(const QStringList& visited)
{
    QJsonObject message;
    message.insert(QStringLiteral("op"), QStringLiteral("visited"));
    message.insert(QStringLiteral("visited"), QJsonArray::fromStringList(visited));
    runCommand(message);
}

void PanePage::scrollTo(int y, const QString& document)
{
    QJsonObject message;
    message.insert(QStringLiteral("op"), QStringLiteral("scroll"));
    message.insert(QStringLiteral("y"), y);
    if (!document.isEmpty())
        message.insert(QStringLiteral("document"), document);
    runCommand(message);
}

void PanePage::revealMatch(const QString& text, bool matchCase, int active, int count, const QRect& avoid,
                           std::function<void(QRect)> where)
{
    QJsonObject area;
    area.insert(QStringLiteral("left"), avoid.left());
    area.insert(QStringLiteral("top"), avoid.top());
    area.insert(QStringLiteral("right"), avoid.left() + avoid.width());
    area.insert(QStringLiteral("bottom"), avoid.top() + avoid.height());
    QJsonObject message;
    message.insert(QStringLiteral("op"), QStringLiteral("reveal"));
    message.insert(QStringLiteral("text"), text);
    message.insert(QStringLiteral("matchCase"), matchCase);
    message.insert(QStringLiteral("active"), active);
    message.insert(QStringLiteral("count"), count);
    message.insert(QStringLiteral("avoid"), area);
    runJavaScript(
        QStringLiteral("window.__velbrookPane ? window.__velbrookPane.command(%1) : null;").arg(jsonText(message)),
        QWebEngineScript::MainWorld, [where = std::move(where)](const QVariant& answer) {
            const QVariantList box = answer.toList();
            if (box.size() != 4) {
                where(QRect());
                return;
            }
            where(QRectF(box[0].toDouble(), box[1].toDouble(), box[2].toDouble(), box[3].toDouble()).toAlignedRect());
        });
}

void PanePage::runCommand(const QJsonObject& message)
{
    runJavaScript(QStringLiteral("window.__velbrookPane && window.__velbrookPane.command(%1);").arg(jsonText(message)),
                  QWebEngineScript::MainWorld);
}

void PanePage::callScript(const QString& function, const QJsonArray& arguments,
                          std::function<void(const QVariant&)> answer)
{
    const QString call = QStringLiteral("(() => { const pane = window.__velbrookPane;"
                                        " return pane && pane.%1 ? pane.%1(...%2) : null; })()")
                             .arg(function, QString::fromUtf8(QJsonDocument(arguments).toJson(QJsonDocument::Compact)));
    runJavaScript(call, QWebEngineScript::MainWorld, std::move(answer));
}

void PanePage::sendCommand(const QString& op, const QString& document)
{
    QJsonObject message;
    message.insert(QStringLiteral("op"), op);
    if (!document.isEmpty())
        message.insert(QStringLiteral("document"), document);
    runCommand(message);
}

void PanePage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int, const QString&)
{
    if (!message.startsWith(kReportTag)) {
        qCDebug(lcViewer).noquote() << "page console line dropped:" << message.left(200);
        return;
    }
    report(QJsonDocument::fromJson(message.mid(kReportTag.size()).toUtf8()).object());
}

void PanePage::report(const QJsonObject& report)
{
    const QString kind = report.value(QStringLiteral("kind")).toString();
    const QString document = contentPath(QUrl(report.value(QStringLiteral("document")).toString()));
    if (kind == QLatin1String("click")) {
        LinkClick click;
        click.target = report.value(QStringLiteral("target")).toString();
        click.link = report.value(QStringLiteral("link")).toString();
        click.document = document;
        for (const QJsonValue& list : report.value(QStringLiteral("lists")).toArray()) {
            const QJsonObject object = list.toObject();
            if (!object.value(QStringLiteral("selected")).isNull())
                click.lists.append({object.value(QStringLiteral("name")).toString(),
                                    object.value(QStringLiteral("selected")).toString()});
        }
        Q_EMIT linkClicked(click);
    } else if (kind == QLatin1String("document")) {
        const bool top = report.value(QStringLiteral("top")).toBool();
        if (!top && report.contains(QStringLiteral("y")))
            Q_EMIT documentScrolled(document, report.value(QStringLiteral("y")).toInt());
        Q_EMIT documentLoaded(document, report.value(QStringLiteral("title")).toString(), top);
    } else if (kind == QLatin1String("scroll")) {
        // A frame the reader scrolls is the one worked in, as one clicked in is.
        Q_EMIT documentScrolled(document, report.value(QStringLiteral("y")).toInt());
        Q_EMIT documentActivated(document);
    } else if (kind == QLatin1String("active")) {
        Q_EMIT documentActivated(document);
    } else if (kind == QLatin1String("pointer")) {
        const QString object = report.value(QStringLiteral("object")).toString();
        PointerObject pointer;
        pointer.kind = object == QLatin1String("picture")   ? PointerObject::Picture
                       : object == QLatin1String("control") ? PointerObject::Control
                                                            : PointerObject::None;
        pointer.title = report.value(QStringLiteral("title")).toString();
        pointer.id = report.value(QStringLiteral("id")).toString();
        Q_EMIT pointerMoved(pointer);
    }
}
