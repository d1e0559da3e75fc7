#include "panepage.h"

#include "linkrules.h"
#include "viewerlog.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace {

// Reports of our script begin with this; every other console line of a page is dropped.
constexpr QStringView kReportTag = u"\u0001velbrook:";

QString cssColor(int color)
{
    return FromWindowsColor(color).name(QColor::HexRgb);
}

QString jsonText(const QJsonValue& value)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
}

const char kPaneScript[] = R"JS(
(function () {
    'use strict';
    if (window !== window.top || window.__velbrookPane) return;
    const pane = window.__velbrookPane = { state: /*STATE*/ };
    // Taken before the page's own scripts run, which share this world and might replace them.
    const debug = console.debug.bind(console);
    const stringify = JSON.stringify;
    const send = (kind, data) => debug('\u0001velbrook:' + stringify(Object.assign({ kind: kind }, data)));
    /*CLASSIFY*/

    // The top document looks after itself and, as they load, the documents of its frames (all of
    // one origin): the engine runs this script only in the top document of a page.
    const documents = [];
    const documentPath = (doc) => decodeURIComponent(doc.location.pathname);

    function markVisited(doc) {
        const visited = new Set(pane.state.visited);
        for (const a of doc.querySelectorAll('a[href], area[href]'))
            a.classList.toggle('velbrook-visited', visited.has(linkFullPath(documentPath(doc), a.getAttribute('href')).toLowerCase()));
    }
    function applyStyle(doc) {
        const sheet = new doc.defaultView.CSSStyleSheet();
        sheet.replaceSync(pane.state.css);
        doc.adoptedStyleSheets = [sheet];
    }

    function attach(doc) {
        if (!doc || documents.includes(doc)) return;
        for (let i = documents.length - 1; i >= 0; --i) {
            if (!documents[i].defaultView) documents.splice(i, 1);
        }
        documents.push(doc);
        applyStyle(doc);

        doc.addEventListener('click', (event) => {
            if (event.button !== 0 || event.defaultPrevented || !event.target.closest)
                return;
            const a = event.target.closest('a[href], area[href]');
            if (!a)
                return;
            const link = a.getAttribute('href');
            const base = doc.querySelector('base[target]');
            const target = a.getAttribute('target') || (base ? base.getAttribute('target') : '') || '';
            const handled = classify(target, link, pane.state.archiveMode, documentPath(doc));
            if (handled)
                event.preventDefault();
            const report = { target: target, link: link, document: doc.location.href, handled: handled };
            if (link.toLowerCase().includes('copylist:')) {
                report.lists = Array.from(doc.querySelectorAll('select')).map((s) => ({
                    name: s.name || '',
                    selected: s.selectedIndex >= 0 ? s.options[s.selectedIndex].text : null,
                }));
            }
            send('click', report);
        }); // after the page's own handlers, which may cancel the click

        doc.addEventListener('mousedown', () => send('active', { document: doc.location.href }), true);

        let lastObject = null;
        doc.addEventListener('mousemove', (event) => {
            const element = event.target;
            let object = null;
            let kind = 'none';
            if (element.tagName === 'IMG') {
                object = element;
                kind = 'picture';
            } else if (element.closest && element.closest('input, select, textarea, button')) {
                object = element.closest('input, select, textarea, button');
                kind = 'control';
            }
            if (object === lastObject)
                return;
            lastObject = object;
            if (object && !objectIds.has(object))
                objectIds.set(object, ++objectCount);
            send('pointer', {
                object: kind,
                title: kind === 'picture' ? (object.title || '') : '',
                id: object ? String(objectIds.get(object)) : '',
            });
        }, true);
        doc.addEventListener('mouseleave', () => {
            lastObject = null;
            send('pointer', { object: 'none', title: '', id: '' });
        });

        // Frames: each document a frame loads is looked after as well.
        doc.addEventListener('load', (event) => {
            const frame = event.target;
            if (frame.tagName !== 'FRAME' && frame.tagName !== 'IFRAME')
                return;
            let child = null;
            try {
                child = frame.contentDocument;
            } catch (e) {
                return;
            }
            if (!child || child.location.href === 'about:blank')
                return;
            attach(child);
            markVisited(child);
            send('document', { document: child.location.href, title: child.title, top: false });
        }, true);
    }
    let objectCount = 0;
    const objectIds = new WeakMap();

    function command(message) {
        for (const doc of documents) {
            if (!doc.defaultView) continue;
            if (message.op === 'state') {
                pane.state = Object.assign(message.state, { visited: pane.state.visited });
                applyStyle(doc);
            } else if (message.op === 'visited') {
                pane.state.visited = message.visited;
                markVisited(doc);
            } else if (message.op === 'top' && (!message.document || message.document === documentPath(doc))) {
                doc.defaultView.scrollTo(0, 0);
                if (!message.document) break;
            }
        }
    }
    pane.command = command;

    attach(document);
    // The program sends the visited links once it hears of the load.
    window.addEventListener('load', () => {
        send('document', { document: location.href, title: document.title, top: true });
    });
})();
)JS";

} // namespace

QColor FromWindowsColor(int color)
{
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

QString PaneStyleSheet(const PaneFonts& fonts)
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
    object.insert(QStringLiteral("css"), PaneStyleSheet(state.fonts));
    return object;
}

QString PaneScriptSource(const PaneScriptState& state)
{
    const QJsonObject object = stateObject(state);
    QString source = QString::fromLatin1(kPaneScript);
    source.replace(QLatin1String("/*CLASSIFY*/"), QString::fromLatin1(kClassifyLinkScript));
    source.replace(QLatin1String("/*STATE*/"), QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
    return source;
}

PanePage::PanePage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent), m_scriptName(QStringLiteral("velbrook-pane"))
{
    setScriptState(PaneScriptState());
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
    script.setSourceCode(PaneScriptSource(state));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    scripts().insert(script);
    setBackgroundColor(FromWindowsColor(state.fonts.background));

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

void PanePage::runCommand(const QJsonObject& message)
{
    runJavaScript(QStringLiteral("window.__velbrookPane && window.__velbrookPane.command(%1);").arg(jsonText(message)),
                  QWebEngineScript::MainWorld);
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
    const QJsonObject report = QJsonDocument::fromJson(message.mid(kReportTag.size()).toUtf8()).object();
    const QString kind = report.value(QStringLiteral("kind")).toString();
    if (!kind.isEmpty())
        Q_EMIT scriptReport(kind, report);
}
