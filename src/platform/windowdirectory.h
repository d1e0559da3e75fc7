#pragma once

// The per-user directory of top-level windows by caption. It stands for what the original did
// with window captions: finding a window by caption, asking it to close or to come to the front,
// and sending it a request record that it answers before the sender goes on.
//
// Every window with a caption owns a WindowEndpoint. The endpoint listens on a local socket in
// <runtime folder>/velbrook-windows/ and keeps a sidecar file beside it with its caption, its
// process and the time it was last activated. The static look-ups read that folder, so they work
// from any process of the same user (and from a program that speaks the protocol below).
//
// Captions are compared without regard to case (Cyrillic included). "Z order" is the order of
// last activation: the most recently activated window comes first.
//
// Protocol, on one connection per request (integers little-endian):
//   request: kind (1 byte: 'C' close, 'R' bring to front, 'M' record), payload length (uint32),
//            payload (the record; empty for 'C' and 'R'; at most 64 KiB)
//   reply:   status (1 byte, 1 = handled), answer (int32), payload length (uint32), payload
// Sidecar "<id>.win" (JSON): {"caption": string, "activated": number, "pid": number}; the socket
// is "<id>.sock" in the same folder.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class QLocalServer;
class QLocalSocket;

// What a window answered to a record: the answer code and an optional payload.
struct RecordReply
{
    int answer = 0;
    QByteArray payload;
};

// One published window, as the directory lists it.
struct WindowEntry
{
    QString id;      // names the socket and the sidecar; stable for the endpoint's life
    QString caption; // as the window set it
    qint64 pid = 0;
    qint64 activated = 0; // larger = activated later
};

class WindowEndpoint final : public QObject
{
    Q_OBJECT

public:
    // Publishes the window at once (counting as just activated) unless the caption is empty.
    explicit WindowEndpoint(const QString& caption, QObject* parent = nullptr);
    ~WindowEndpoint() override;
    Q_DISABLE_COPY_MOVE(WindowEndpoint)

    QString caption() const { return m_caption; }
    // An empty caption takes the window out of the directory until it gets a caption again.
    void setCaption(const QString& caption);
    // Call when the window becomes the active window: it moves to the front of the Z order.
    void markActivated();

    QString id() const { return m_id; }
    // False when no socket could be opened: the window is then only found from this process.
    bool isListening() const;

Q_SIGNALS:
    // Delivered on the endpoint's thread after the sender got its acknowledgement. Handlers may
    // close the window; they must not delete the endpoint directly (use deleteLater).
    void closeRequested();
    void raiseRequested();
    // Delivered on the endpoint's thread while the sender waits. The handler fills *answer (0 when
    // nobody does) and may put a payload into *reply; both travel back to the sender.
    void recordReceived(const QByteArray& record, int* answer, QByteArray* reply);

private:
    friend class WindowDirectory;

    void publish();
    void unpublish();
    void onNewConnection();
    void onReadyRead(QLocalSocket* socket);
    // Runs one request on this thread: the reply, or nothing for a malformed kind.
    std::optional<RecordReply> handle(char kind, const QByteArray& payload);

    QString m_caption;
    QString m_id;
    qint64 m_activated = 0;
    QLocalServer* m_server = nullptr;
};

class WindowDirectory final
{
public:
    WindowDirectory() = delete;

    // Bound of every wait for another window (connecting, writing, the acknowledgement).
    static constexpr int kRequestTimeoutMs = 2000;
    // No wait for another window is longer than this, whatever the caller asks for.
    static constexpr int kMaxTimeoutMs = 60000;

    static QString folder();

    // Live windows, most recently activated first; with a caption, only those that match it.
    // Entries left by dead processes are removed on the way.
    static QList<WindowEntry> windows(const QString& caption = QString());
    static QStringList captions();
    static bool exists(const QString& caption);

    // To the first (most recently activated) window with the caption; true when it took the request.
    static bool requestClose(const QString& caption);
    static bool requestRaise(const QString& caption);
    // To every window with the caption; the number that took the request.
    static int requestCloseAll(const QString& caption);

    // The record to the first window with the caption; its answer, or nothing when there is no
    // such window or it did not answer within timeoutMs.
    static std::optional<int> sendRecord(const QString& caption, const QByteArray& record, int timeoutMs);
    static std::optional<RecordReply> sendRecordWithReply(const QString& caption, const QByteArray& record,
                                                          int timeoutMs);

    // The same for one window from windows(), e.g. to ask each window with a caption in turn.
    static bool requestClose(const WindowEntry& window);
    static bool requestRaise(const WindowEntry& window);
    static std::optional<RecordReply> sendRecordTo(const WindowEntry& window, const QByteArray& record, int timeoutMs);

private:
    static std::optional<RecordReply> deliver(const WindowEntry& window, char kind, const QByteArray& payload,
                                              int timeoutMs);
};
