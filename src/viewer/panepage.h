#pragma once

// The web page behind a pane. A script of ours runs in the top document of it and looks after the
// documents of its frames: it gives the program the clicks on links (and keeps the engine from
// following the ones the program takes), the documents as they load, the picture under the
// pointer, and applies the pane's default font and colours and its visited links. It talks to the
// program through the console. It runs beside the manual's own scripts, in their world: a world
// of its own would cost every page a tenth more time to show, and the manual's scripts are part of
// the content we show anyway; the script keeps its state in a closure and takes the console before
// any page script can replace it.

#include "panereports.h"

#include <QColor>
#include <QJsonArray>
#include <QJsonObject>
#include <QRect>
#include <QStringList>
#include <QWebEnginePage>

#include <functional>
#include <optional>

// The default look of the panes, as the settings keep it: colours are Windows colour values (red
// in the low byte).
struct PaneFonts
{
    QString name = QStringLiteral("Arial");
    int color = 0;
    int size = 8; // points
    int linkColor = 13158;
    int background = 16777215;

    bool operator==(const PaneFonts&) const = default;
};

QColor fromWindowsColor(int color);

// What the pane script knows of its pane from the start of each document.
struct PaneScriptState
{
    PaneFonts fonts;
    bool archiveMode = false;

    bool operator==(const PaneScriptState&) const = default;
};

// The default style sheet of a pane: it gives way to every rule of the page itself.
QString paneStyleSheet(const PaneFonts& fonts);
// The pane script (js/pane.js) called with the state and the link rules (js/linkrules.js).
QString paneScriptSource(const PaneScriptState& state);

class PanePage final : public QWebEnginePage
{
    Q_OBJECT
public:
    PanePage(QWebEngineProfile* profile, QObject* parent);

    // Gives every document from now on the new state, and the ones shown now too.
    void setScriptState(const PaneScriptState& state);
    // Marks the links to these full paths (lower-cased) in the documents shown now; sent again
    // after every load, so that changing the list does not touch the script of later documents.
    void setVisited(const QStringList& visited);
    // Runs a command of the pane script in the top document, which hands it on to its frames.
    // document limits it to the frame that shows that file; empty means the top document.
    void sendCommand(const QString& op, const QString& document = QString());
    // Calls a function of the pane script with the arguments; answer gets what it returned (null
    // when the document has no pane script).
    void callScript(const QString& function, const QJsonArray& arguments, std::function<void(const QVariant&)> answer);
    // Scrolls the document of a place to y pixels from its top: the frame that shows document,
    // or the page itself (in a frame set, its largest frame) when document is empty or not shown.
    void scrollTo(int y, const QString& document = QString());
    // Scrolls the engine's find's active match (active of count, counted from 1) out from under
    // avoid, a rectangle in the view's coordinates, as far as the page lets it. where gets the
    // match's rectangle in the view's coordinates afterwards, or an empty one when it was not found.
    void revealMatch(const QString& text, bool matchCase, int active, int count, const QRect& avoid,
                     std::function<void(QRect)> where);
    // Between the start of a load and its end; a load that another one replaced ends without a
    // word.
    bool isLoading() const { return m_loading; }
    // A load was asked for: the page counts as loading from now on, before the engine says it
    // has started.
    void loadRequested() { m_loading = true; }

Q_SIGNALS:
    // A load of another document started; the page shown until now is still there.
    void loadStarting();
    // A load ended: the page shows (ok), or could not be loaded.
    void loadEnded(bool ok);
    // What the pane script reports. Documents are files of the content, as ContentPath gives them.
    // A click on a link, whether or not the page kept it from the engine.
    void linkClicked(const LinkClick& click);
    // A document finished loading: the page itself (top) or the document of one of its frames.
    void documentLoaded(const QString& document, const QString& title, bool top);
    // A mouse button went down in a document, or the reader scrolled one: the document the
    // reader works in now.
    void documentActivated(const QString& document);
    // A frame's document is scrolled y pixels down (reported as it loads and as it scrolls).
    void documentScrolled(const QString& document, int y);
    // The pointer came onto another object, or left them all.
    void pointerMoved(const PointerObject& object);

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
                                  const QString& sourceID) override;

private:
    void runCommand(const QJsonObject& message);
    void report(const QJsonObject& report);

    QString m_scriptName;
    std::optional<PaneScriptState> m_state;
    bool m_loading = false;
};
