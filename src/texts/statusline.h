#pragma once

// Short notices in the status-line labels: a message shows at once, then blinks every 200 ms
// for 39 ticks and ends cleared, about eight seconds after it was shown.

#include <QObject>
#include <QString>
#include <QTimer>

class TTextMsg;

class TStatusLine final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TStatusLine)
public:
    static constexpr int kInterval = 200; // ms between blinks
    static constexpr int kLastCount = 40; // the counter value at which the blinking stops

    // Without labels (texts null) messages go nowhere.
    explicit TStatusLine(TTextMsg* texts, QObject* parent = nullptr);

    // Shows text and starts the blinking from the beginning, also over a message still blinking.
    void ShowMessage(const QString& text);
    // Stops the blinking and empties the status line.
    void ClearMessage();

    bool isBlinking() const { return m_timer.isActive(); }
    QString message() const { return m_text; }
    int interval() const { return m_timer.interval(); }

    // One blink: the timer calls it every kInterval ms. Public so that a caller can step the
    // blinking without waiting for the timer.
    void tick();

private:
    TTextMsg* m_texts;
    QTimer m_timer;
    QString m_text;
    int m_counter = 1;
};
