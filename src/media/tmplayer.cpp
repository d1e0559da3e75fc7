#include "tmplayer.h"

#include "medialog.h"
#include "mpvlibrary.h"
#include "videosurface.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QWidget>

#include <clocale>
#include <cmath>

namespace {

// The longest a command that finishes before it returns waits for the player: opening a file,
// seeking. A player that does not answer in time counts as a device that does not work.
constexpr int kOpenWaitMs = 10000;
constexpr int kSeekWaitMs = 3000;

qint64 entryId(const mpv_node& result)
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

// The media-control code for the reason libmpv gives for a file it could not load.
int errorForLoadFailure(int mpvError)
{
    switch (mpvError) {
    case MPV_ERROR_LOADING_FAILED:
        return TMPlayer::kFileRead;
    case MPV_ERROR_AO_INIT_FAILED:
    case MPV_ERROR_VO_INIT_FAILED:
        return TMPlayer::kCannotLoadDriver;
    default: // unknown format, nothing to play: no decoder takes the file
        return TMPlayer::kInvalidFile;
    }
}

} // namespace

TMPlayer::TMPlayer(QObject* parent, bool audioOnly) : QObject(parent), m_audioOnly(audioOnly) {}

TMPlayer::~TMPlayer()
{
    delete m_surface.data();
    if (!m_mpv)
        return;
    m_api->setWakeupCallback(m_mpv, nullptr, nullptr);
    if (m_render) {
        m_api->renderSetUpdateCallback(m_render, nullptr, nullptr);
        m_api->renderFree(m_render);
    }
    m_api->terminateDestroy(m_mpv);
}

bool TMPlayer::isAvailable()
{
    return ensurePlayer();
}

bool TMPlayer::ensurePlayer()
{
    if (m_mpv || m_triedCreate)
        return m_mpv != nullptr;
    m_triedCreate = true;
    // libmpv refuses to start under a locale whose decimal separator is not '.'.
    std::setlocale(LC_NUMERIC, "C");
    m_api = MpvLibrary::get();
    m_mpv = m_api ? m_api->createQuietPlayer() : nullptr;
    if (!m_mpv) {
        qCDebug(lcMedia) << "no media player: libmpv cannot be loaded";
        return false;
    }
    const auto option = [this](const char* name, const char* value) { m_api->setOptionString(m_mpv, name, value); };
    option("hwdec", "no");
    // A file that played to its end stays open at its end, as a media device does.
    option("keep-open", "yes");
    option("pause", "yes");
    if (m_audioOnly) {
        option("vid", "no");
        option("vo", "null");
    } else {
        option("vo", "libmpv");
    }
    if (m_api->initialize(m_mpv) < 0) {
        m_api->terminateDestroy(m_mpv);
        m_mpv = nullptr;
        qCDebug(lcMedia) << "no media player: libmpv does not start";
        return false;
    }
    m_api->observeProperty(m_mpv, 1, "eof-reached", MPV_FORMAT_FLAG);
    m_api->setWakeupCallback(
        m_mpv,
        [](void* self) {
            auto* player = static_cast<TMPlayer*>(self);
            QMetaObject::invokeMethod(
                player, [player] { player->drainEvents(); }, Qt::QueuedConnection);
        },
        this);
    if (!m_audioOnly) {
        char software[] = MPV_RENDER_API_TYPE_SW;
        mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, software}, {MPV_RENDER_PARAM_INVALID, nullptr}};
        if (m_api->renderCreate(&m_render, m_mpv, params) < 0) {
            m_render = nullptr;
            qCDebug(lcMedia) << "no video: the software renderer does not start";
        } else {
            m_api->renderSetUpdateCallback(
                m_render,
                [](void* self) {
                    auto* player = static_cast<TMPlayer*>(self);
                    QMetaObject::invokeMethod(
                        player, [player] { player->renderFrame(); }, Qt::QueuedConnection);
                },
                this);
        }
    }
    return true;
}

bool TMPlayer::requireOpen(const char* operation) const
{
    if (m_opened)
        return true;
    qCDebug(lcMedia) << operation << "dropped: no media device open";
    return false;
}

bool TMPlayer::waitFamilyNotify()
{
    const bool notify = m_overridePending && m_overrideValue;
    m_overridePending = false;
    return notify;
}

bool TMPlayer::noticeFamilyNotify(bool consume)
{
    const bool notify = !(m_overridePending && !m_overrideValue);
    if (consume)
        m_overridePending = false;
    return notify;
}

void TMPlayer::postNotice(NotifyValue value)
{
    // Like a posted window message: the handler runs later, on the interface thread.
    QMetaObject::invokeMethod(
        this,
        [this, value] {
            m_notifyValue = value;
            Q_EMIT notify();
        },
        Qt::QueuedConnection);
}

void TMPlayer::endPendingPlay(NotifyValue value)
{
    if (!m_playNotifyPending)
        return;
    m_playNotifyPending = false;
    postNotice(value);
}

bool TMPlayer::Open()
{
    if (m_opened)
        Close();
    m_error = 0;
    const QFileInfo info(m_fileName);
    if (m_fileName.isEmpty() || !info.isFile()) {
        m_error = kFileNotFound;
        qCDebug(lcMedia) << "media file not found:" << m_fileName;
        return false;
    }
    if (!info.isReadable()) {
        m_error = kFileRead;
        qCDebug(lcMedia) << "media file cannot be read:" << m_fileName;
        return false;
    }
    if (!ensurePlayer()) {
        m_error = kCannotLoadDriver;
        return false;
    }
    const bool notify = waitFamilyNotify();
    setPaused(true);
    const QByteArray path = m_fileName.toUtf8();
    const char* command[] = {"loadfile", path.constData(), "replace", nullptr};
    mpv_node result{};
    m_loaded = false;
    m_loadError = 0;
    m_entry = 0;
    if (m_api->commandRet(m_mpv, command, &result) < 0) {
        m_error = kInvalidFile;
        qCDebug(lcMedia) << "media file refused by the player:" << m_fileName;
        return false;
    }
    m_entry = entryId(result);
    m_api->freeNodeContents(&result);
    if (!waitFor([this] { return m_loaded || m_loadError != 0; }, kOpenWaitMs)) {
        // Whatever the player still loads is dropped: the device stays closed.
        const char* stop[] = {"stop", nullptr};
        mpv_node stopped{};
        if (m_api->commandRet(m_mpv, stop, &stopped) >= 0)
            m_api->freeNodeContents(&stopped);
        m_error = kCannotLoadDriver;
        qCDebug(lcMedia) << "the player did not open the file in time:" << m_fileName;
        return false;
    }
    if (m_loadError != 0) {
        m_error = m_loadError;
        qCDebug(lcMedia) << "media file not played, error" << m_error << ":" << m_fileName;
        return false;
    }
    m_opened = true;
    m_mode = Stopped;
    m_atEnd = false;
    m_heldPosition = 0;
    int64_t w = 0;
    int64_t h = 0;
    m_hasVideo = !m_audioOnly && m_api->getProperty(m_mpv, "current-tracks/video/demux-w", MPV_FORMAT_INT64, &w) >= 0 &&
                 m_api->getProperty(m_mpv, "current-tracks/video/demux-h", MPV_FORMAT_INT64, &h) >= 0 && w > 0 && h > 0;
    m_naturalSize = m_hasVideo ? QSize(int(w), int(h)) : QSize();
    m_displayRect = QRect(QPoint(0, 0), m_naturalSize);
    if (m_hasVideo)
        setDisplay(m_display);
    if (notify)
        postNotice(NotifyValue::Successful);
    return true;
}

void TMPlayer::Close()
{
    if (!m_opened)
        return;
    const bool notify = waitFamilyNotify();
    endPendingPlay(NotifyValue::Aborted);
    const char* command[] = {"stop", nullptr};
    mpv_node result{};
    if (m_api->commandRet(m_mpv, command, &result) >= 0)
        m_api->freeNodeContents(&result);
    m_opened = false;
    m_mode = NotReady;
    m_hasVideo = false;
    m_atEnd = false;
    m_frame = QImage();
    if (m_surface)
        m_surface->hide();
    if (notify)
        postNotice(NotifyValue::Successful);
}

bool TMPlayer::Play()
{
    if (!requireOpen("Play"))
        return false;
    drainEvents();
    if (m_autoRewind && m_atEnd)
        Rewind();
    const bool notify = noticeFamilyNotify(true);
    endPendingPlay(NotifyValue::Superseded);
    m_error = 0;
    m_mode = Playing;
    m_playNotifyPending = notify;
    if (m_atEnd) {
        // Played from its end: the playback is over at once.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_mode == Playing && m_atEnd)
                    playbackEnded();
            },
            Qt::QueuedConnection);
        return true;
    }
    setPaused(false);
    return true;
}

bool TMPlayer::Stop()
{
    if (!requireOpen("Stop"))
        return false;
    const bool notify = waitFamilyNotify();
    endPendingPlay(NotifyValue::Aborted);
    setPaused(true);
    m_mode = Stopped;
    m_error = 0;
    if (notify)
        postNotice(NotifyValue::Successful);
    return true;
}

bool TMPlayer::Pause()
{
    if (!requireOpen("Pause"))
        return false;
    const int mode = Mode();
    if (mode == Playing)
        return PauseOnly();
    if (mode == Paused)
        return Resume();
    return true;
}

bool TMPlayer::PauseOnly()
{
    if (!requireOpen("PauseOnly"))
        return false;
    const bool notify = waitFamilyNotify();
    endPendingPlay(NotifyValue::Superseded);
    setPaused(true);
    if (m_mode == Playing)
        m_mode = Paused;
    m_error = 0;
    if (notify)
        postNotice(NotifyValue::Successful);
    return true;
}

bool TMPlayer::Resume()
{
    if (!requireOpen("Resume"))
        return false;
    if (m_mode != Paused)
        return Play(); // the device rejects a resume: the play that follows takes the override
    const bool notify = noticeFamilyNotify(true);
    endPendingPlay(NotifyValue::Superseded);
    m_mode = Playing;
    m_playNotifyPending = notify;
    m_error = 0;
    setPaused(false);
    return true;
}

bool TMPlayer::Rewind()
{
    return setPosition(0);
}

qint64 TMPlayer::Position()
{
    if (!m_opened)
        return 0;
    drainEvents();
    if (m_atEnd)
        return Length();
    if (m_heldPosition >= 0)
        return m_heldPosition;
    return qint64(std::llround(doubleProperty("time-pos", 0) * 1000));
}

bool TMPlayer::setPosition(qint64 position)
{
    if (!requireOpen("Position"))
        return false;
    const bool notify = waitFamilyNotify();
    endPendingPlay(NotifyValue::Aborted);
    setPaused(true);
    m_mode = Stopped;
    const qint64 length = Length();
    const qint64 target = std::clamp<qint64>(position, 0, std::max<qint64>(length, 0));
    const QByteArray seconds = QByteArray::number(double(target) / 1000.0, 'f', 3);
    const char* command[] = {"seek", seconds.constData(), "absolute+exact", nullptr};
    mpv_node result{};
    drainEvents(); // a restart reported before this seek must not end its wait
    m_seeking = true;
    if (m_api->commandRet(m_mpv, command, &result) >= 0) {
        m_api->freeNodeContents(&result);
        waitFor([this] { return !m_seeking; }, kSeekWaitMs);
    }
    m_seeking = false;
    drainEvents();
    m_atEnd = length > 0 && target >= length;
    m_heldPosition = target;
    m_error = 0;
    if (notify)
        postNotice(NotifyValue::Successful);
    return true;
}

qint64 TMPlayer::Length()
{
    if (!requireOpen("Length"))
        return 0;
    return qint64(std::llround(doubleProperty("duration", 0) * 1000));
}

int TMPlayer::Mode()
{
    drainEvents();
    return m_opened ? m_mode : NotReady;
}

void TMPlayer::setDisplay(QWidget* display)
{
    m_display = display;
    if (!display) {
        delete m_surface.data();
        return;
    }
    if (!m_opened || !m_hasVideo)
        return;
    if (m_surface && m_surface->parentWidget() != display)
        delete m_surface.data();
    if (!m_surface)
        m_surface = new VideoSurface(display);
    updateSurface();
    m_surface->show();
}

QRect TMPlayer::DisplayRect() const
{
    return m_opened && m_hasVideo ? m_displayRect : QRect();
}

void TMPlayer::setDisplayRect(const QRect& rect)
{
    if (!m_opened || !m_hasVideo)
        return;
    m_displayRect = rect.width() == 0 && rect.height() == 0 ? QRect(rect.topLeft(), m_naturalSize) : rect;
    updateSurface();
}

void TMPlayer::updateSurface()
{
    if (!m_surface)
        return;
    m_surface->setGeometry(m_displayRect);
    m_surface->setFrame(m_frame);
}

QString TMPlayer::ErrorMessage() const
{
    switch (m_error) {
    case 0:
        return QStringLiteral("The specified command was carried out.");
    case kFileNotFound:
        return QStringLiteral("The specified file was not found.");
    case kInvalidFile:
        return QStringLiteral("The specified file cannot be played on the specified MCI device.");
    case kFileRead:
        return QStringLiteral("A problem occurred in reading the specified file.");
    case kCannotLoadDriver:
        return QStringLiteral("The specified device driver cannot be loaded.");
    default:
        return QStringLiteral("Unknown error code");
    }
}

void TMPlayer::setVolume(double percent)
{
    if (!m_mpv)
        return;
    double value = std::clamp(percent, 0.0, 100.0);
    m_api->setProperty(m_mpv, "volume", MPV_FORMAT_DOUBLE, &value);
}

void TMPlayer::setPaused(bool paused)
{
    if (!paused)
        m_heldPosition = -1;
    int flag = paused ? 1 : 0;
    m_api->setProperty(m_mpv, "pause", MPV_FORMAT_FLAG, &flag);
}

double TMPlayer::doubleProperty(const char* name, double fallback)
{
    double value = 0;
    if (!m_mpv || m_api->getProperty(m_mpv, name, MPV_FORMAT_DOUBLE, &value) < 0)
        return fallback;
    return value;
}

void TMPlayer::playbackEnded()
{
    m_mode = Stopped;
    m_atEnd = true;
    setPaused(true);
    endPendingPlay(NotifyValue::Successful);
}

template <typename Done> bool TMPlayer::waitFor(Done done, int maxMs)
{
    const QDeadlineTimer deadline(maxMs);
    drainEvents();
    while (!done()) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0)
            return false;
        const mpv_event* event = m_api->waitEvent(m_mpv, double(std::min<qint64>(left, 50)) / 1000.0);
        if (event->event_id != MPV_EVENT_NONE)
            handleEvent(*event);
    }
    return true;
}

void TMPlayer::drainEvents()
{
    if (m_mpv)
        m_api->drainEvents(m_mpv, [this](const mpv_event& event) { handleEvent(event); });
}

void TMPlayer::handleEvent(const mpv_event& event)
{
    switch (event.event_id) {
    case MPV_EVENT_FILE_LOADED:
        m_loaded = true;
        break;
    case MPV_EVENT_END_FILE: {
        const auto* end = static_cast<const mpv_event_end_file*>(event.data);
        if (m_entry != 0 && end->playlist_entry_id != m_entry)
            break; // the end of a file closed before
        if (!m_loaded && end->reason == MPV_END_FILE_REASON_ERROR)
            m_loadError = errorForLoadFailure(end->error);
        else if (!m_loaded)
            m_loadError = kInvalidFile;
        else if (m_opened && m_mode == Playing)
            playbackEnded();
        break;
    }
    case MPV_EVENT_PLAYBACK_RESTART:
        m_seeking = false;
        break;
    case MPV_EVENT_PROPERTY_CHANGE: {
        const auto* property = static_cast<const mpv_event_property*>(event.data);
        if (qstrcmp(property->name, "eof-reached") != 0 || property->format != MPV_FORMAT_FLAG)
            break;
        const bool atEnd = *static_cast<int*>(property->data) != 0;
        if (atEnd && m_opened && m_mode == Playing)
            playbackEnded();
        else if (!atEnd && m_mode == Playing)
            m_atEnd = false;
        break;
    }
    default:
        break;
    }
}

void TMPlayer::renderFrame()
{
    if (!m_render)
        return;
    const uint64_t flags = m_api->renderUpdate(m_render);
    if (!(flags & MPV_RENDER_UPDATE_FRAME) || !m_opened || !m_hasVideo)
        return;
    QSize size = m_naturalSize;
    if (size.isEmpty())
        return;
    QImage frame(size, QImage::Format_RGBX8888);
    int sizeParam[2] = {size.width(), size.height()};
    char format[] = "rgb0";
    size_t stride = size_t(frame.bytesPerLine());
    // The frame is taken as it is ready: waiting in here for its display time would hold the
    // interface thread for most of every frame, and the panes' pages would not load while a
    // clip plays.
    int blockForTargetTime = 0;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_SW_SIZE, sizeParam},
                                 {MPV_RENDER_PARAM_SW_FORMAT, format},
                                 {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                                 {MPV_RENDER_PARAM_SW_POINTER, frame.bits()},
                                 {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &blockForTargetTime},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    if (m_api->renderRender(m_render, params) < 0)
        return;
    m_frame = frame;
    if (m_surface)
        m_surface->setFrame(m_frame);
    Q_EMIT frameReady();
}
