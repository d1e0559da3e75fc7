#pragma once

// TSlideImage: the slide show. Each picture area of the skin shows the pictures of its folder
// (.bmp, then .jpg, then .jpeg), one at a time; "nextpic" and "prevpic" step through them, and a
// timer steps on its own while the slide show is switched on. One position serves all areas.

#include "skinrecords.h"

#include <QObject>
#include <QStringList>

#include <functional>

class QLabel;
class QTimer;
class QWidget;
struct UserSettings;

class TSlideImage final : public QObject
{
    Q_OBJECT

public:
    // The pictures of a folder in the order the slide show steps through them.
    static QStringList picturesOf(const QString& folder);

    TSlideImage(QWidget* window, const TDynamicImageArray& images, const UserSettings& settings,
                std::function<int()> currentScreen, std::function<void()> pointerOff);
    ~TSlideImage() override;

    void ShowSlidesForScreen();
    void NextPicture();
    void PrevPicture();
    // The options changed: the timer follows "RunSlideShow" and takes the new period.
    void setRunning(bool on);
    void setPeriod(int seconds);

    int SlidePosition() const { return m_position; }
    int CurrentSlideArea() const { return m_currentArea; }
    bool timerActive() const;
    int timerInterval() const;
    // The picture control of an area and the file it shows (empty for none).
    QLabel* control(int area) const { return m_areas.at(area).control; }
    QString shownFile(int area) const { return m_areas.at(area).shown; }
    QStringList files(int area) const { return m_areas.at(area).files; }

private:
    struct SlideElement
    {
        QLabel* control = nullptr;
        int screen = 0;
        QStringList files;
        QString shown;
    };
    void timerTick();
    // Loads the file at position into the area; false (picture unchanged) when it cannot.
    bool load(SlideElement& element, int position);

    const UserSettings& m_settings;
    std::function<int()> m_currentScreen;
    QList<SlideElement> m_areas;
    QTimer* m_timer = nullptr;
    int m_currentArea = 0;
    int m_position = 0;
    int m_previousScreen = -1;
};
