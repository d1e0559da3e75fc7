#pragma once

// The progress bar of the text search, drawn on the search page of the skinned dialog window
// from two container pictures: the empty bar "status_up.bmp" and the full bar "status_dn.bmp".
// The bar fills one pixel column at a time, into the dialog's background picture and on screen.

#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QRect>

#include <functional>

class QWidget;
class TReadBin;

class TScaleBar final
{
public:
    static constexpr QPoint kPosition{33, 75}; // on the dialog window
    static constexpr int kScreen = 1;          // the main window's screen on which the bar works
    static constexpr const char* kEmptyPicture = "status_up.bmp";
    static constexpr const char* kFullPicture = "status_dn.bmp";

    TScaleBar(const TReadBin& container, std::function<int()> currentScreen, QPoint position = kPosition,
              int screen = kScreen);
    Q_DISABLE_COPY_MOVE(TScaleBar)

    // The skinned dialog window and its background picture, or null while there is none.
    void setDialog(QWidget* dialog, QImage* background);

    // On the bar's screen: loads the pictures (a missing one stays empty) and draws the empty bar.
    void ShowBar();
    // Empties the bar.
    void ResetBar();
    // Fills the next pixel column.
    void AdvanceBar();
    // Before document k (0-based) of n: fills the bar in proportion to the documents searched.
    void advanceTo(int k, int n);

    QRect barRect() const { return QRect(m_position, QPoint(m_right, m_bottom) - QPoint(1, 1)); }
    int fillPosition() const { return m_fill; }

private:
    bool onBarScreen() const { return m_currentScreen() == m_screen; }
    // Copies picture's columns from column on, starting at the fill position, into the background
    // and repaints them.
    void draw(const QImage& picture, int column, int width);

    const TReadBin& m_container;
    std::function<int()> m_currentScreen;
    QPoint m_position;
    int m_screen;
    int m_right;
    int m_bottom;
    int m_fill;
    QImage m_empty;
    QImage m_full;
    QPointer<QWidget> m_dialog;
    QImage* m_background = nullptr;
};
