#pragma once

// Requests between copies of the program (and the companion program titled "Электросхема"): one
// fixed 840-byte record, sent to a window found by its caption through the window directory, and
// the short answer that comes back.
//
// The record, little-endian, zero-filled:
//   0    kind (uint16): 0 show page, 1 print file, 3 query file
//   2    strings used (uint16), 1 to 3
//   4    one type code (int32) per string slot, three slots
//   16   three string slots of 274 bytes: code page 1251, each ended by a zero byte
//   838  reserved (uint16), zero
//
// The answer travels back as the reply's answer code (the message: kMsgQueryAnswer or
// kMsgPageShown, 0 for none) with its parameter as a 4-byte little-endian payload.

#include "windowdirectory.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

enum class CopyDataKind : quint16
{
    ShowPage = 0,
    PrintFile = 1,
    QueryFile = 3,
};

// Answers and notices, as the family of programs numbers them.
inline constexpr int kMsgPrintPending = 0x4C8;
inline constexpr int kMsgQueryAnswer = 0x4C9;
inline constexpr int kMsgPageShown = 0x69A;

struct CopyDataString
{
    qint32 type = 0;
    QString text;
};

struct CopyDataRecord
{
    static constexpr qsizetype kSize = 840;
    static constexpr int kSlots = 3;
    static constexpr qsizetype kSlotBytes = 274;
    // The longest string a slot holds, without its ending zero.
    static constexpr qsizetype kMaxStringBytes = kSlotBytes - 1;

    quint16 kind = 0;
    QList<CopyDataString> strings; // 1 to kSlots

    // The record's bytes; nothing when it has no string or more than kSlots, or a string does not
    // fit its slot or has a character code page 1251 cannot hold: such a path cannot be sent.
    std::optional<QByteArray> encode() const;
    // A record read back; nothing unless bytes has exactly kSize bytes and 1 to kSlots strings.
    static std::optional<CopyDataRecord> decode(const QByteArray& bytes);
};

struct CopyDataAnswer
{
    int message = 0; // kMsgQueryAnswer, kMsgPageShown, or 0 when the window sent nothing back
    qint32 parameter = 0;
};

// The reply of a receiver, as the window directory carries it back.
RecordReply copyDataReply(const CopyDataAnswer& answer);

// The record to the most recently activated window with the caption; its answer, or nothing when
// there is no such window, it did not take the record within timeoutMs, or the record cannot be
// encoded.
std::optional<CopyDataAnswer> SendCopyDataByCaption(const QString& caption, const CopyDataRecord& record,
                                                    int timeoutMs = WindowDirectory::kRequestTimeoutMs);
// The same for one window of the directory.
std::optional<CopyDataAnswer> SendCopyData(const WindowEntry& window, const CopyDataRecord& record,
                                           int timeoutMs = WindowDirectory::kRequestTimeoutMs);

// Asks every window with the caption, most recently activated first, whether it shows file (a
// query record with file in slot 0, type 0), giving each ten waits of 50 ms; the first that
// answers yes is brought to the front. True when one did.
bool raiseWindowShowing(const QString& caption, const QString& file);
