#include "copydata.h"

#include "codepage.h"
#include "platformlog.h"

#include <QtEndian>

namespace {

constexpr qsizetype kCountOffset = 2;
constexpr qsizetype kTypesOffset = 4;
constexpr qsizetype kSlotsOffset = 16;
// A query gives each window ten waits of 50 ms to answer.
constexpr int kQueryWaitMs = 10 * 50;

std::optional<CopyDataAnswer> answerOf(const std::optional<RecordReply>& reply)
{
    if (!reply)
        return std::nullopt;
    CopyDataAnswer answer;
    answer.message = reply->answer;
    if (reply->payload.size() >= 4)
        answer.parameter = qFromLittleEndian<qint32>(reply->payload.constData());
    return answer;
}

} // namespace

std::optional<QByteArray> CopyDataRecord::encode() const
{
    if (strings.isEmpty() || strings.size() > kSlots)
        return std::nullopt;
    QByteArray bytes(kSize, '\0');
    char* data = bytes.data();
    qToLittleEndian<quint16>(kind, data);
    qToLittleEndian<quint16>(quint16(strings.size()), data + kCountOffset);
    for (qsizetype i = 0; i < strings.size(); ++i) {
        bool lossless = true;
        const QByteArray text = toCp1251(strings[i].text, &lossless);
        if (!lossless || text.size() > kMaxStringBytes || text.contains('\0')) {
            qCDebug(lcPlatform) << "a request string that cannot be sent:" << strings[i].text.left(80) << text.size()
                                << "bytes";
            return std::nullopt;
        }
        qToLittleEndian<qint32>(strings[i].type, data + kTypesOffset + 4 * i);
        memcpy(data + kSlotsOffset + kSlotBytes * i, text.constData(), size_t(text.size()));
    }
    return bytes;
}

std::optional<CopyDataRecord> CopyDataRecord::decode(const QByteArray& bytes)
{
    if (bytes.size() != kSize)
        return std::nullopt;
    const char* data = bytes.constData();
    CopyDataRecord record;
    record.kind = qFromLittleEndian<quint16>(data);
    const quint16 count = qFromLittleEndian<quint16>(data + kCountOffset);
    if (count < 1 || count > kSlots)
        return std::nullopt;
    for (int i = 0; i < count; ++i) {
        const char* slot = data + kSlotsOffset + kSlotBytes * i;
        // A slot without its ending zero is read to the slot's end, never beyond.
        const qsizetype length = qstrnlen(slot, size_t(kSlotBytes));
        record.strings.append(
            {qFromLittleEndian<qint32>(data + kTypesOffset + 4 * i), fromCp1251(QByteArrayView(slot, length))});
    }
    return record;
}

RecordReply copyDataReply(const CopyDataAnswer& answer)
{
    RecordReply reply;
    reply.answer = answer.message;
    if (answer.message != 0) {
        reply.payload.resize(4);
        qToLittleEndian<qint32>(answer.parameter, reply.payload.data());
    }
    return reply;
}

std::optional<CopyDataAnswer> SendCopyDataByCaption(const QString& caption, const CopyDataRecord& record, int timeoutMs)
{
    const std::optional<QByteArray> bytes = record.encode();
    if (!bytes)
        return std::nullopt;
    return answerOf(WindowDirectory::sendRecordWithReply(caption, *bytes, timeoutMs));
}

std::optional<CopyDataAnswer> SendCopyData(const WindowEntry& window, const CopyDataRecord& record, int timeoutMs)
{
    const std::optional<QByteArray> bytes = record.encode();
    if (!bytes)
        return std::nullopt;
    return answerOf(WindowDirectory::sendRecordTo(window, *bytes, timeoutMs));
}

bool raiseWindowShowing(const QString& caption, const QString& file)
{
    CopyDataRecord query;
    query.kind = quint16(CopyDataKind::QueryFile);
    query.strings.append({0, file});
    if (!query.encode())
        return false;
    for (const WindowEntry& window : WindowDirectory::windows(caption)) {
        const std::optional<CopyDataAnswer> answer = SendCopyData(window, query, kQueryWaitMs);
        if (answer && answer->message == kMsgQueryAnswer && answer->parameter == 1) {
            WindowDirectory::requestRaise(window);
            return true;
        }
    }
    return false;
}
