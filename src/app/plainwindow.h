#pragma once

// The plain window of a copy: a file shown on its own, outside the skin. A page link with target
// "_blank" starts a copy for an enlarged picture; a help link starts one with " /h" for a help
// page. The window is a toolbar with the print button over an HTML view of the file.

#include "engine.h"
#include "linkhandler.h"

#include <QRect>
#include <QSize>
#include <QString>
#include <QTimer>

class AppContext;
class QWebEngineView;

// Where the window of a copy that shows file opens: the scheme pictures (scheme.bmp,
// scheme_lux.bmp) at their fixed size, any other picture with room around it for the toolbar and
// margins, anything else (or a picture that could not be read: picture invalid) at the default
// size; at (40, 30), or at 0 on an axis where the window would pass the work area's size.
// The window never passes the work area: a larger picture gets scroll bars.
QRect plainWindowGeometry(const QString& file, QSize picture, QRect workArea);

class TPlainWindow final : public EngineWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TPlainWindow)

public:
    // file is a content path: the pack holds it or the disk does. A file that neither holds leaves
    // the view empty.
    TPlainWindow(const AppContext& context, const QString& file, QWidget* parent = nullptr);
    ~TPlainWindow() override;

    // True once the file has loaded and been drawn, or has failed to load: what a screenshot waits for.
    bool hasPainted() const override { return m_painted; }
    void showFile(const QString& file) override;
    QWebEngineView* view() const { return m_view; }

private:
    const AppContext& m_context;
    // The links of the shown page follow the same rules as in the skin's panes.
    TLinkHandler m_links;
    // The toolbar's "Печать".
    void print();
    // After the load: marks the page's second animation frame, then asks every 20 ms whether it
    // has come. One question is out at a time (asked again when its answer is lost); the first
    // "yes" ends the polling, and answers that come after it, or after the window has begun to
    // close, are dropped. No answer reaches a window that is gone.
    void waitForFrame();
    void askDrawn();
    void drawnAnswered(const QVariant& drawn);

    QWebEngineView* m_view = nullptr;
    QTimer m_poll;
    bool m_asking = false;  // a question about the frame has no answer yet
    int m_unanswered = 0;   // polls since that question
    bool m_closing = false; // the destructor has begun: nothing more is asked or done
    bool m_painted = false;
};
