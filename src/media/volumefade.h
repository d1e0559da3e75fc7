#pragma once

// The volume fade of the background music. FadeLevels is the arithmetic of one fade (pure, so
// the step table is tested without a clock); VolumeFade runs it on a worker thread that ticks
// every millisecond and hands each level to a setter (the player's own volume: the system's mixer
// is never touched). A fade-out that reaches 0 releases finished(), the "Adj_Volume" signal the
// music waits for with a bound. A fade started while another runs stops the running one first.

#include <QSemaphore>

#include <atomic>
#include <functional>
#include <thread>

struct FadeLevels
{
    static constexpr int kFullVolume = 65535;

    enum class Direction
    {
        In,
        Out,
    };

    // Start volumes of the two channels (a 0 is taken as 1), the louder one, their ratio.
    int left = kFullVolume;
    int right = kFullVolume;
    int max = kFullVolume;
    float ratio = 1.0f;
    int level = 0;
    Direction direction = Direction::In;

    static FadeLevels start(int left, int right, Direction direction);

    // The step after a level: small and fine near silence, coarse when loud.
    static int stepFor(int level);
    // The volumes set at the current level: the louder channel (right when equal) takes the
    // level, the other the level divided by the rounded ratio.
    int leftVolume() const;
    int rightVolume() const;
    // Moves one step; true when the fade has reached its end.
    bool advance();
};

class VolumeFade final
{
public:
    // setVolume gets the left and right volume (0..65535) from the worker thread.
    explicit VolumeFade(std::function<void(int left, int right)> setVolume);
    ~VolumeFade();
    Q_DISABLE_COPY_MOVE(VolumeFade)

    // Starts a fade from the start volumes; a running fade is stopped first. At the end of a
    // fade-in the start volumes are set again; at the end of a fade-out 0 is set and finished()
    // is released.
    void start(int left, int right, FadeLevels::Direction direction);
    void stop();
    bool isRunning() const { return m_running; }

    // The end of a fade-out (an auto-reset event: one wait takes one release).
    QSemaphore& finished() { return m_finished; }

private:
    std::function<void(int, int)> m_setVolume;
    std::thread m_worker;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_running{false};
    QSemaphore m_finished;
};
