#pragma once

// The about window: a borderless window drawn from the script "About.cfs" and pictures in the
// resource container: a background picture, optionally an outline, picture buttons that
// cross-fade to their hover picture and close the window, and text lines, some of them web or mail
// links. It fades in over the screen behind it each time it shows; Enter and Escape close it.

#include "scriptpaths.h"

#include <QDialog>
#include <QImage>
#include <QList>
#include <QUrl>

#include <functional>

class TEffBtnCar;
class TEffCar;
class TReadBin;

class TAboutBox final : public QDialog
{
    Q_OBJECT
public:
    struct Services
    {
        std::function<void(const QUrl&)> openUrl;           // a link; the desktop's when empty
        std::function<void(const QString& file)> playSound; // a button's sound, program folder + name
        bool hints = true;
    };

    struct Button
    {
        QRect rect;
        QString fn1; // "url" for a link
        QString fn2;
        QString hint;
        QString wav;
        QString address; // of a link
        bool link = false;
        QImage up;
        QImage hover;
        bool hovered = false;
        bool handShown = false;
        TEffBtnCar* fade = nullptr;
    };

    // Builds the window from container's "About.cfs"; exists() is false without it.
    TAboutBox(const TReadBin& container, const ProgramFolders& folders, Services services, QWidget* parent = nullptr);
    ~TAboutBox() override;

    static bool available(const TReadBin& container);

    // Resets the hover state, starts the fade-in and shows the window modally: the rest of the
    // program takes no input while it is open. It returns at once, without an event loop of its
    // own, so a scripted run of commands goes on (and ends) while the window shows.
    void showAbout();
    // The window's buttons, links among them, in the script's order.
    const QList<Button>& buttons() const { return m_buttons; }
    QImage background() const { return m_background; }
    // Where each text line of the script was drawn (what was drawn of it), in the script's order.
    const QList<QRect>& textRects() const { return m_textRects; }
    bool fadeRunning() const;
    // A press at point, as the mouse gives it: a sound, then a link opened or the window closed;
    // outside every button the window is dragged.
    void pressAt(QPoint point);
    void moveTo(QPoint point);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build(const TReadBin& container, const ProgramFolders& folders);

    Services m_services;
    QString m_programDir;
    QImage m_background;
    QList<Button> m_buttons;
    QList<QRect> m_textRects;
    TEffCar* m_fadeIn = nullptr;
    bool m_dragging = false;
    QPoint m_dragAnchor; // the point of the window that stays under the pointer
};
