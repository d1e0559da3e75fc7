#include "windowdirectory.h"

#include "instancelock.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMutex>
#include <QPointer>
#include <QSaveFile>
#include <QSet>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <algorithm>
#include <atomic>
#include <chrono>

namespace {

constexpr qsizetype kRequestHeaderSize = 1 + 4;
constexpr qsizetype kReplyHeaderSize = 1 + 4 + 4;
constexpr quint32 kMaxPayload = 64 * 1024;

constexpr char kKindClose = 'C';
constexpr char kKindRaise = 'R';
constexpr char kKindRecord = 'M';

// The endpoints of this process, so that a window can be reached from its own thread without a
// socket (a window that asks itself to close would otherwise wait for its own event loop).
struct LocalEntry
{
    WindowEndpoint* endpoint = nullptr;
    QString caption;
    qint64 activated = 0;
};

struct LocalRegistry
{
    QMutex mutex;
    QHash<QString, LocalEntry> entries;
};

LocalRegistry& Local()
{
    static LocalRegistry registry;
    return registry;
}

// Microseconds since the epoch, strictly increasing within the process, so that two activations
// in the same instant keep their order.
qint64 nextStamp()
{
    static std::atomic<qint64> last{0};
    const qint64 now =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    qint64 previous = last.load();
    qint64 next = 0;
    do {
        next = std::max(now, previous + 1);
    } while (!last.compare_exchange_weak(previous, next));
    return next;
}

QString nextId()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid()).arg(++counter);
}

QString socketPath(const QString& id)
{
    return WindowDirectory::folder() + QLatin1Char('/') + id + QLatin1String(".sock");
}

QString sidecarPath(const QString& id)
{
    return WindowDirectory::folder() + QLatin1Char('/') + id + QLatin1String(".win");
}

void removeEntryFiles(const QString& id)
{
    QFile::remove(sidecarPath(id));
    QLocalServer::removeServer(socketPath(id));
}

bool captionMatches(const QString& caption, const QString& wanted)
{
    return wanted.isNull() || caption.compare(wanted, Qt::CaseInsensitive) == 0;
}

QByteArray frame(char kind, const QByteArray& payload)
{
    QByteArray frame(kRequestHeaderSize, Qt::Uninitialized);
    frame[0] = kind;
    qToLittleEndian<quint32>(quint32(payload.size()), frame.data() + 1);
    return frame + payload;
}

QByteArray replyFrame(const RecordReply& reply)
{
    QByteArray frame(kReplyHeaderSize, Qt::Uninitialized);
    frame[0] = 1;
    qToLittleEndian<qint32>(reply.answer, frame.data() + 1);
    qToLittleEndian<quint32>(quint32(reply.payload.size()), frame.data() + 5);
    return frame + reply.payload;
}

int remainingMs(const QDeadlineTimer& deadline)
{
    return int(std::clamp<qint64>(deadline.remainingTime(), 0, WindowDirectory::kMaxTimeoutMs));
}

// Reads until `size` bytes are buffered or the deadline passes.
bool waitForBytes(QLocalSocket& socket, qint64 size, const QDeadlineTimer& deadline)
{
    while (socket.bytesAvailable() < size) {
        if (socket.state() != QLocalSocket::ConnectedState || !socket.waitForReadyRead(remainingMs(deadline)))
            return socket.bytesAvailable() >= size;
    }
    return true;
}

// A window in the folder answers when something listens on its socket. A refused or missing
// socket means its process is gone; anything else (a busy listener) gets the benefit of the doubt.
enum class Liveness
{
    Alive,
    Dead,
    Unknown
};

Liveness probe(const QString& id)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath(id));
    if (socket.waitForConnected(WindowDirectory::kRequestTimeoutMs)) {
        socket.abort();
        return Liveness::Alive;
    }
    const auto error = socket.error();
    if (error == QLocalSocket::ConnectionRefusedError || error == QLocalSocket::ServerNotFoundError)
        return Liveness::Dead;
    return Liveness::Unknown;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// WindowEndpoint

WindowEndpoint::WindowEndpoint(const QString& caption, QObject* parent)
    : QObject(parent), m_caption(caption), m_id(nextId()), m_activated(nextStamp()), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString path = socketPath(m_id);
    QLocalServer::removeServer(path); // left by a crashed process that had the same id
    if (m_server->listen(path))
        connect(m_server, &QLocalServer::newConnection, this, &WindowEndpoint::onNewConnection);
    {
        QMutexLocker lock(&Local().mutex);
        Local().entries.insert(m_id, LocalEntry{this, m_caption, m_activated});
    }
    publish();
}

WindowEndpoint::~WindowEndpoint()
{
    {
        QMutexLocker lock(&Local().mutex);
        Local().entries.remove(m_id);
    }
    unpublish();
    m_server->close();
}

void WindowEndpoint::setCaption(const QString& caption)
{
    m_caption = caption;
    publish();
}

void WindowEndpoint::markActivated()
{
    m_activated = nextStamp();
    publish();
}

bool WindowEndpoint::isListening() const
{
    return m_server->isListening();
}

void WindowEndpoint::publish()
{
    {
        QMutexLocker lock(&Local().mutex);
        LocalEntry& entry = Local().entries[m_id];
        entry.caption = m_caption;
        entry.activated = m_activated;
    }
    if (m_caption.isEmpty() || !m_server->isListening()) {
        unpublish();
        return;
    }
    QJsonObject sidecar;
    sidecar.insert(QLatin1String("caption"), m_caption);
    sidecar.insert(QLatin1String("activated"), m_activated);
    sidecar.insert(QLatin1String("pid"), QCoreApplication::applicationPid());
    QSaveFile file(sidecarPath(m_id));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QJsonDocument(sidecar).toJson(QJsonDocument::Compact));
        file.commit();
    }
}

void WindowEndpoint::unpublish()
{
    QFile::remove(sidecarPath(m_id));
}

void WindowEndpoint::onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // A client that connects and never finishes its request does not keep the socket.
        QTimer::singleShot(WindowDirectory::kRequestTimeoutMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
    }
}

void WindowEndpoint::onReadyRead(QLocalSocket* socket)
{
    if (socket->bytesAvailable() < kRequestHeaderSize)
        return;
    const QByteArray header = socket->peek(kRequestHeaderSize);
    const quint32 size = qFromLittleEndian<quint32>(header.constData() + 1);
    if (size > kMaxPayload) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < kRequestHeaderSize + qint64(size))
        return;
    socket->skip(kRequestHeaderSize);
    const QByteArray payload = socket->read(size);

    const QPointer<QLocalSocket> guard(socket);
    const std::optional<RecordReply> reply = handle(header.at(0), payload);
    if (!guard)
        return;
    if (!reply) {
        socket->abort();
        return;
    }
    socket->write(replyFrame(*reply));
    socket->disconnectFromServer(); // after the reply has been written
}

std::optional<RecordReply> WindowEndpoint::handle(char kind, const QByteArray& payload)
{
    switch (kind) {
    case kKindClose:
        // Acknowledged first and run from the event loop, as a posted close would be: the window
        // may go away in the handler.
        QMetaObject::invokeMethod(
            this, [this] { Q_EMIT closeRequested(); }, Qt::QueuedConnection);
        return RecordReply{};
    case kKindRaise:
        QMetaObject::invokeMethod(
            this, [this] { Q_EMIT raiseRequested(); }, Qt::QueuedConnection);
        return RecordReply{};
    case kKindRecord: {
        RecordReply reply;
        Q_EMIT recordReceived(payload, &reply.answer, &reply.payload);
        if (reply.payload.size() > qsizetype(kMaxPayload))
            reply.payload.truncate(kMaxPayload);
        return reply;
    }
    default:
        return std::nullopt;
    }
}

// ---------------------------------------------------------------------------------------------
// WindowDirectory

QString WindowDirectory::folder()
{
    const QString path = userRuntimeFolder() + QLatin1String("/velbrook-windows");
    if (!QFileInfo::exists(path) && QDir().mkpath(path))
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path;
}

QList<WindowEntry> WindowDirectory::windows(const QString& caption)
{
    QList<WindowEntry> found;
    QSet<QString> localIds;
    const qint64 ownPid = QCoreApplication::applicationPid();
    {
        QMutexLocker lock(&Local().mutex);
        for (auto it = Local().entries.cbegin(); it != Local().entries.cend(); ++it) {
            localIds.insert(it.key());
            if (!it->caption.isEmpty() && captionMatches(it->caption, caption))
                found.append(WindowEntry{it.key(), it->caption, ownPid, it->activated});
        }
    }

    const QDir dir(folder());
    const QStringList sidecars = dir.entryList({QStringLiteral("*.win")}, QDir::Files);
    for (const QString& name : sidecars) {
        const QString id = name.chopped(4);
        if (localIds.contains(id))
            continue;
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QJsonObject sidecar = QJsonDocument::fromJson(file.readAll()).object();
        file.close();
        WindowEntry entry{id, sidecar.value(QLatin1String("caption")).toString(),
                          qint64(sidecar.value(QLatin1String("pid")).toDouble()),
                          qint64(sidecar.value(QLatin1String("activated")).toDouble())};
        if (entry.caption.isEmpty() || entry.pid == ownPid) {
            // Unreadable, or left by an earlier process that had our id: nobody answers there.
            removeEntryFiles(id);
            continue;
        }
        if (!captionMatches(entry.caption, caption))
            continue;
        switch (probe(id)) {
        case Liveness::Alive:
            found.append(entry);
            break;
        case Liveness::Dead:
            removeEntryFiles(id);
            break;
        case Liveness::Unknown:
            break;
        }
    }

    std::sort(found.begin(), found.end(), [](const WindowEntry& a, const WindowEntry& b) {
        return a.activated != b.activated ? a.activated > b.activated : a.id < b.id;
    });
    return found;
}

QStringList WindowDirectory::captions()
{
    QStringList result;
    for (const WindowEntry& entry : windows())
        result.append(entry.caption);
    return result;
}

bool WindowDirectory::exists(const QString& caption)
{
    return !windows(caption).isEmpty();
}

bool WindowDirectory::requestClose(const QString& caption)
{
    const QList<WindowEntry> found = windows(caption);
    return !found.isEmpty() && requestClose(found.first());
}

bool WindowDirectory::requestRaise(const QString& caption)
{
    const QList<WindowEntry> found = windows(caption);
    return !found.isEmpty() && requestRaise(found.first());
}

int WindowDirectory::requestCloseAll(const QString& caption)
{
    int count = 0;
    for (const WindowEntry& entry : windows(caption))
        count += requestClose(entry) ? 1 : 0;
    return count;
}

std::optional<int> WindowDirectory::sendRecord(const QString& caption, const QByteArray& record, int timeoutMs)
{
    if (const std::optional<RecordReply> reply = sendRecordWithReply(caption, record, timeoutMs))
        return reply->answer;
    return std::nullopt;
}

std::optional<RecordReply> WindowDirectory::sendRecordWithReply(const QString& caption, const QByteArray& record,
                                                                int timeoutMs)
{
    const QList<WindowEntry> found = windows(caption);
    if (found.isEmpty())
        return std::nullopt;
    return sendRecordTo(found.first(), record, timeoutMs);
}

bool WindowDirectory::requestClose(const WindowEntry& window)
{
    return deliver(window, kKindClose, QByteArray(), kRequestTimeoutMs).has_value();
}

bool WindowDirectory::requestRaise(const WindowEntry& window)
{
    return deliver(window, kKindRaise, QByteArray(), kRequestTimeoutMs).has_value();
}

std::optional<RecordReply> WindowDirectory::sendRecordTo(const WindowEntry& window, const QByteArray& record,
                                                         int timeoutMs)
{
    if (record.size() > qsizetype(kMaxPayload))
        return std::nullopt;
    return deliver(window, kKindRecord, record, timeoutMs);
}

std::optional<RecordReply> WindowDirectory::deliver(const WindowEntry& window, char kind, const QByteArray& payload,
                                                    int timeoutMs)
{
    WindowEndpoint* local = nullptr;
    {
        QMutexLocker lock(&Local().mutex);
        local = Local().entries.value(window.id).endpoint;
    }
    // A window of this thread is asked directly; one of another thread of this process, or of
    // another process, through its socket.
    if (local && local->thread() == QThread::currentThread())
        return local->handle(kind, payload);

    const QDeadlineTimer deadline(std::clamp(timeoutMs, 0, kMaxTimeoutMs));
    QLocalSocket socket;
    socket.connectToServer(socketPath(window.id));
    if (!socket.waitForConnected(remainingMs(deadline)))
        return std::nullopt;
    socket.write(frame(kind, payload));
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(remainingMs(deadline)))
            return std::nullopt;
    }
    if (!waitForBytes(socket, kReplyHeaderSize, deadline))
        return std::nullopt;
    const QByteArray header = socket.read(kReplyHeaderSize);
    const quint32 size = qFromLittleEndian<quint32>(header.constData() + 5);
    if (header.at(0) != 1 || size > kMaxPayload || !waitForBytes(socket, size, deadline))
        return std::nullopt;
    RecordReply reply;
    reply.answer = qFromLittleEndian<qint32>(header.constData() + 1);
    reply.payload = socket.read(size);
    socket.abort();
    return reply;
}
