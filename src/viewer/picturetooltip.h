#pragma once

// The title of a picture of a pane, shown as a tooltip below the pointer: it shows after the
// pointer rests on the picture for two ticks and goes after twenty, or when the pointer leaves
// the picture; the same picture shows it once until the pointer moves off it.

#include "panereports.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

class QLabel;

class PictureTooltip final : public QObject
{
    Q_OBJECT
public:
    static constexpr int kTick = 200; // ms

    PictureTooltip();
    ~PictureTooltip() override;
    Q_DISABLE_COPY_MOVE(PictureTooltip)

    // The object now under the pointer in the current pane.
    void pointerMoved(const PointerObject& object);
    void hide();

    bool shown() const { return m_shown; }
    QString text() const;

    // One step of the timer, which runs from a picture with a title until the tooltip goes; the
    // timer calls it every kTick, tests step through the rules with it.
    void tick();
    bool ticking() const { return m_timer.isActive(); }

private:
    PointerObject m_pointer;
    QString m_lastPicture;
    QTimer m_timer;
    int m_ticks = 0;
    QPointer<QLabel> m_hint;
    bool m_shown = false;
};
