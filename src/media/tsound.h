#pragma once

// TSound: the clip player. It plays single files on demand (a "clip" command, a sound dropped on
// the window or linked from a page) and serves the player commands; a video shows in the clip
// area of the current screen, a plain coloured area of the window that the skin declares per
// screen. A clip stops the background music; a dropped or linked sound brings it back when it
// ends (end action 5).

#include "skinrecords.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class TMPlayer;
class QWidget;

// What the clip player asks of the rest of the program.
struct ClipServices
{
    std::function<int()> currentScreen;
    std::function<void(int pane, const QString& page)> showPage;
    std::function<bool()> musicOn;
    // Stops the music without a fade and turns it off for the run.
    std::function<void()> stopMusicForClip;
    // Starts the music again and turns it on for the run.
    std::function<void()> resumeMusic;
    std::function<void()> installMpegDriver;
    std::function<void(bool busy)> setBusy;
    std::function<void(const QString& text)> showStatus;
    // The file on disk that a content path names (content was authored without regard to case);
    // the path itself when empty.
    std::function<QString(const QString& path)> resolve;
};

class TSound final : public QObject
{
    Q_OBJECT

public:
    // What happens when a clip ends.
    enum EndAction
    {
        EndNothing = 0,
        EndFromPage = 3, // PlayClip's action for a dropped or linked sound
        EndClose = 4,
        EndResumeMusic = 5,
    };

    // The areas are made as hidden children of window; hovering one takes the hover off the
    // window's buttons (pointerOff).
    TSound(QWidget* window, const TDynamicClipArray& clips, ClipServices services, std::function<void()> pointerOff);
    ~TSound() override;
    Q_DISABLE_COPY_MOVE(TSound)

    void PlayClip(const QString& file, const QString& page, int action);
    void ShowClipAreas();
    void StepForward();
    void StepBack();
    // "stop" and "pause" (with no notice for the pause).
    void stopCommand();
    void pauseCommand();

    TMPlayer& player() { return *m_player; }
    int endAction() const { return m_endAction; }
    QList<QWidget*> areas() const;
    int areaScreen(int index) const { return m_areas.at(index).screen; }

private:
    struct ClipArea
    {
        QWidget* widget = nullptr;
        int screen = 0;
        int pane = 0;
    };
    void clipEnded();

    ClipServices m_services;
    std::unique_ptr<TMPlayer> m_player;
    QList<ClipArea> m_areas;
    int m_previousScreen = -1;
    int m_endAction = EndNothing;
};
