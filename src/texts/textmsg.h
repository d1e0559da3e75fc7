#pragma once

// The text labels of the skin script: drawn over the window's background for the current screen,
// each replaceable at run time by its number. Labels numbered 1000 belong to the skinned dialog
// window; the labels whose ident is "statusline" together form the status line.

#include "skinrecords.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QPointer>
#include <QRect>
#include <QString>

#include <functional>

class QPainter;
class QWidget;

class TTextMsg final
{
public:
    // The number of labels drawn on the skinned dialog window.
    static constexpr int kDialogNumber = 1000;
    // SetText's number for every status-line label.
    static constexpr int kStatusLine = -1;

    enum class Owner
    {
        MainWindow,
        Dialog,
    };

    struct Label
    {
        QFont font;
        QColor color;
        QRect rect; // left and top from the script; the size is the extent of the text last drawn
        int screen = 0;
        int number = 0;
        QString text;
        bool statusLine = false;
    };

    TTextMsg(QWidget* window, const TDynamicTextArray& texts, std::function<int()> currentScreen);
    Q_DISABLE_COPY_MOVE(TTextMsg)

    // The skinned dialog window, or null while there is none: labels numbered 1000 are drawn
    // there and skipped without it.
    void setDialogWindow(QWidget* dialog);

    // Draws every label of the current screen that belongs to owner; the owner's paint event
    // calls it after painting its background.
    void PaintTexts(QPainter& painter, Owner owner = Owner::MainWindow);

    // Replaces the text of the first label with number (number >= 0) or of every status-line
    // label (kStatusLine). A label that already shows text is left alone; with redraw, the owner
    // window repaints where the old text was and where the new one goes.
    void SetText(const QString& text, int number, bool redraw);

    // The text of the first label with number, empty when there is none.
    QString text(int number) const;
    const QList<Label>& labels() const { return m_labels; }

private:
    QWidget* ownerOf(const Label& label) const;
    void setLabelText(Label& label, const QString& text, bool redraw);

    QPointer<QWidget> m_window;
    QPointer<QWidget> m_dialog;
    std::function<int()> m_currentScreen;
    QList<Label> m_labels;
};
