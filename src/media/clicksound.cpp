#include "clicksound.h"

#include "mpvlibrary.h"

#include <QDeadlineTimer>
#include <QFileInfo>

#include <mpv/client.h>

#include <clocale>

namespace {

void setOption(mpv_handle* mpv, const char* name, const char* value)
{
    // An option this build of the player does not know is simply left out.
    MpvLibrary::get()->setOptionString(mpv, name, value);
}

// The playlist entry that a loadfile command created, or 0 when the player does not report it.
qint64 EntryId(const mpv_node& result)
{
    if (result.format != MPV_FORMAT_NODE_MAP)
        return 0;
    const mpv_node_list* map = result.u.list;
    for (int i = 0; i < map->num; ++i) {
        if (qstrcmp(map->keys[i], "playlist_entry_id") == 0 && map->values[i].format == MPV_FORMAT_INT64)
            return map->values[i].u.int64;
    }
    return 0;
}

} // namespace

ClickSound::ClickSound(QObject* parent) : QObject(parent)
{
    // libmpv refuses to start under a locale whose decimal separator is not '.'.
    std::setlocale(LC_NUMERIC, "C");
    m_api = MpvLibrary::get();
    m_mpv = m_api ? m_api->createQuietPlayer() : nullptr;
    if (!m_mpv)
        return;
    setOption(m_mpv, "vo", "null");
    setOption(m_mpv, "vid", "no");
    if (m_api->initialize(m_mpv) < 0) {
        m_api->terminateDestroy(m_mpv);
        m_mpv = nullptr;
        return;
    }
    // The player's news arrive on its own thread; they are read on ours.
    m_api->setWakeupCallback(
        m_mpv,
        [](void* self) {
            auto* sound = static_cast<ClickSound*>(self);
            QMetaObject::invokeMethod(
                sound, [sound] { sound->drainEvents(); }, Qt::QueuedConnection);
        },
        this);
}

ClickSound::~ClickSound()
{
    if (!m_mpv)
        return;
    m_api->setWakeupCallback(m_mpv, nullptr, nullptr);
    m_api->terminateDestroy(m_mpv);
}

void ClickSound::play(const QString& file)
{
    if (!m_mpv || isPlaying())
        return;
    start(file);
}

bool ClickSound::playToEnd(const QString& file, int maxWaitMs)
{
    if (!m_mpv)
        return false;
    drainEvents();
    // Loading replaces whatever still plays; the end of that sound is not the one we wait for.
    if (!start(file))
        return false;
    const QDeadlineTimer deadline(std::max(maxWaitMs, 0));
    while (m_playing) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0)
            return false;
        const mpv_event* event = m_api->waitEvent(m_mpv, double(left) / 1000.0);
        if (event->event_id != MPV_EVENT_NONE)
            handleEvent(*event);
    }
    return m_lastCompleted;
}

bool ClickSound::isPlaying() const
{
    if (m_playing)
        const_cast<ClickSound*>(this)->drainEvents(); // only reads news the player already has
    return m_playing;
}

bool ClickSound::start(const QString& file)
{
    if (!QFileInfo(file).isFile())
        return false;
    const QByteArray path = file.toUtf8();
    const char* command[] = {"loadfile", path.constData(), "replace", nullptr};
    mpv_node result{};
    if (m_api->commandRet(m_mpv, command, &result) < 0)
        return false;
    m_entry = EntryId(result);
    m_api->freeNodeContents(&result);
    m_playing = true;
    m_lastCompleted = false;
    ++m_started;
    Q_EMIT soundStarted(file);
    return true;
}

void ClickSound::drainEvents()
{
    if (m_mpv)
        m_api->drainEvents(m_mpv, [this](const mpv_event& event) { handleEvent(event); });
}

void ClickSound::handleEvent(const mpv_event& event)
{
    if (event.event_id != MPV_EVENT_END_FILE || !m_playing)
        return;
    const auto* end = static_cast<const mpv_event_end_file*>(event.data);
    if (m_entry != 0 && end->playlist_entry_id != m_entry)
        return; // a sound that playToEnd cut off
    m_playing = false;
    m_lastCompleted = end->reason == MPV_END_FILE_REASON_EOF;
    Q_EMIT soundFinished(m_lastCompleted);
}
