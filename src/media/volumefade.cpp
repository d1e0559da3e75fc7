#include "volumefade.h"

#include <chrono>
#include <cmath>

FadeLevels FadeLevels::start(int left, int right, Direction direction)
{
    FadeLevels fade;
    fade.left = left == 0 ? 1 : left;
    fade.right = right == 0 ? 1 : right;
    fade.max = std::max(fade.left, fade.right);
    const int quieter = std::min(fade.left, fade.right);
    fade.ratio = float(fade.max) / float(quieter);
    fade.direction = direction;
    fade.level = direction == Direction::In ? 0 : fade.max;
    return fade;
}

int FadeLevels::stepFor(int level)
{
    if (level <= 100)
        return 3;
    if (level <= 4000)
        return 7;
    if (level <= 8000)
        return 15;
    if (level <= 32000)
        return 25;
    return 50;
}

namespace {

int quieterShare(int level, float ratio)
{
    // Rounded to the nearest integer, ties to even.
    const auto divisor = int(std::nearbyint(ratio));
    return divisor > 0 ? level / divisor : level;
}

} // namespace

int FadeLevels::leftVolume() const
{
    return right >= left ? quieterShare(level, ratio) : level;
}

int FadeLevels::rightVolume() const
{
    return right >= left ? level : quieterShare(level, ratio);
}

bool FadeLevels::advance()
{
    const int step = stepFor(level);
    if (direction == Direction::In) {
        level += step;
        return level >= max;
    }
    level -= step;
    return level <= 0;
}

VolumeFade::VolumeFade(std::function<void(int, int)> setVolume) : m_setVolume(std::move(setVolume)) {}

VolumeFade::~VolumeFade()
{
    stop();
}

void VolumeFade::start(int left, int right, FadeLevels::Direction direction)
{
    stop();
    // An end that nobody waited for does not count for the next fade.
    while (m_finished.tryAcquire()) {
    }
    m_stop = false;
    m_running = true;
    m_worker = std::thread([this, fade = FadeLevels::start(left, right, direction)]() mutable {
        using namespace std::chrono_literals;
        for (;;) {
            if (m_stop)
                break;
            m_setVolume(fade.leftVolume(), fade.rightVolume());
            if (fade.advance()) {
                if (fade.direction == FadeLevels::Direction::In) {
                    m_setVolume(fade.left, fade.right);
                } else {
                    m_setVolume(0, 0);
                    m_finished.release();
                }
                break;
            }
            std::this_thread::sleep_for(1ms);
        }
        m_running = false;
    });
}

void VolumeFade::stop()
{
    m_stop = true;
    if (m_worker.joinable())
        m_worker.join();
    m_running = false;
}
