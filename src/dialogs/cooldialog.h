#pragma once

// The program's own message and search window: borderless, on top, drawn from the pictures of
// its script (Dialog.cfs), centred over the main window. Page 0 shows a message, page 1 the
// search panel with its boxes, switches, progress bar and result list, pages 2 and 3 the
// printer notices.

#include "dialogscript.h"

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <functional>

class AppContext;
class QListWidget;
class TEffBtnCar;
class TEffCar;
class TFindTxtHtml;
class TScaleBar;

class TCoolDialog final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kMessagePage = 0;
    static constexpr int kFindPage = 1;

    // Reads the switches' stored states from the settings.
    TCoolDialog(AppContext& context, DialogScript script, QWidget* mainWindow);
    ~TCoolDialog() override;

    // The search the find page drives, and the progress bar it shows; either may be missing.
    void setSearch(TFindTxtHtml* search) { m_search = search; }
    void setScaleBar(TScaleBar* bar) { m_scaleBar = bar; }
    // Plays a button's sound (a content path); none by default.
    void setSoundPlayer(std::function<void(const QString&)> play) { m_playSound = std::move(play); }
    // Paints over the page after its buttons and switches: the labels that belong to the dialog.
    void setOverlayPainter(std::function<void(QPainter&)> paint) { m_paintOverlay = std::move(paint); }

    // Composes page (text drawn into it, widening it when the text is wider than its box) and
    // shows the window, fading in. False when the page or its background picture is missing:
    // nothing is shown then.
    bool ShowDialogPage(int page, const QString& text);
    // The titles of the results in the list below the panel, or no list and the short height.
    void ShowResults(const QStringList& files, const QStringList& titles);
    void SetSearchHint(const QString& text);
    void RunDialogCommand(const QString& command, const QString& sound);
    // The switch whose command is command shows on, and the others of its group off, without
    // running it: the search's scope was set elsewhere (the main window's switch). The result
    // list of the find page follows it. True when a switch changed.
    bool showSwitchOn(const QString& command);
    // Hides the window: stops a search, stores the switches' states.
    void closeDialog();

    int currentPage() const { return m_page; }
    // The text the page shown was given (a message on page 0).
    QString pageText() const { return m_pageText; }
    // The pointer is not answered while the window fades in.
    bool isFading() const;
    int fullHeight() const { return m_fullHeight; }
    int extra() const { return m_extra; }
    const QImage& pagePicture() const { return m_picture; }
    QRect buttonRect(int index) const;
    QRect switchRect(int index) const;
    QString buttonHint(int index) const;
    bool switchOn(int index) const;
    QListWidget* resultList() const { return m_results; }

Q_SIGNALS:
    // The window was hidden (by a button, Escape or the program).
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct ShownButton
    {
        DialogButton record;
        QImage up;
        QImage hover;
        QImage down;
        QRect rect; // moved by its alignment
        bool hovered = false;
        bool pressed = false;
        TEffBtnCar* fade = nullptr; // the cross-fade between its pictures, owned by the dialog
    };
    struct ShownSwitch
    {
        QImage off;
        QImage offHover;
        QImage onHover;
        QImage on;
        QRect rect;
    };

    QImage picture(const QString& name) const;
    void drawSwitchCaption(QImage& image, const RSwthGrp& sw, bool on, bool hover) const;
    void crossFade(ShownButton& button, const QImage& from, const QImage& to);
    void clearButtons();
    int buttonAt(QPoint at) const;
    int switchAt(QPoint at) const;
    void pressSwitch(int index);
    QString storeKey(int page, int index) const;
    void saveSwitchStates();

    AppContext& m_context;
    DialogScript m_script;
    QPointer<QWidget> m_mainWindow;
    TFindTxtHtml* m_search = nullptr;
    TScaleBar* m_scaleBar = nullptr;
    std::function<void(const QString&)> m_playSound;
    std::function<void(QPainter&)> m_paintOverlay;
    TEffCar* m_fade;

    int m_page = 0;

    QString m_pageText;
    int m_extra = 0;
    int m_fullHeight = 0;
    QImage m_picture;
    QList<ShownButton> m_buttons;
    QList<ShownSwitch> m_switches;
    int m_hoverSwitch = -1;
    QListWidget* m_results = nullptr;
    QPoint m_dragFrom; // the press on the background that drags the window, in window coordinates
    bool m_dragging = false;
};
