#include "rarvolumes.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

constexpr char kRar4Signature[] = "Rar!\x1a\x07\x00";
constexpr char kRar5Signature[] = "Rar!\x1a\x07\x01\x00";

// RAR 4 block types and flags.
constexpr quint8 kRar4MainHead = 0x73;
constexpr quint8 kRar4FileHead = 0x74;
constexpr quint8 kRar4EndHead = 0x7b;
constexpr quint16 kRar4LongBlock = 0x8000;
constexpr quint16 kRar4MainVolume = 0x0001;
constexpr quint16 kRar4MainNewNumbering = 0x0010;
constexpr quint16 kRar4MainPassword = 0x0080; // the headers are encrypted
constexpr quint16 kRar4FileSplitBefore = 0x0001;
constexpr quint16 kRar4FileSplitAfter = 0x0002;
constexpr quint16 kRar4FileDirectory = 0x00e0;
constexpr quint16 kRar4FileLarge = 0x0100;
constexpr quint16 kRar4FileUnicode = 0x0200;
constexpr quint8 kRar4HostUnix = 3;
constexpr quint16 kRar4EndNextVolume = 0x0001;

// RAR 5 header types and flags.
constexpr quint64 kRar5Main = 1;
constexpr quint64 kRar5File = 2;
constexpr quint64 kRar5Encryption = 4; // the headers that follow are encrypted
constexpr quint64 kRar5End = 5;
constexpr quint64 kRar5HasExtra = 0x0001;
constexpr quint64 kRar5HasData = 0x0002;
constexpr quint64 kRar5SplitBefore = 0x0008;
constexpr quint64 kRar5SplitAfter = 0x0010;
constexpr quint64 kRar5FileDirectory = 0x0001;
constexpr quint64 kRar5FileHasTime = 0x0002;
constexpr quint64 kRar5FileHasCrc = 0x0004;
constexpr quint64 kRar5ArchiveVolume = 0x0001;
constexpr quint64 kRar5EndNotLast = 0x0001;

quint32 le(const QByteArray& bytes, qsizetype at, int width)
{
    quint32 value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes[at + i]);
    return value;
}

// One file header of a volume: a whole file, or one part of a file split over volumes.
struct FilePart
{
    bool splitBefore = false;
    bool splitAfter = false;
    RarEntryCheck check;
};

RarVolumeInfo scanRar4(QFile& file, QList<FilePart>* parts = nullptr)
{
    RarVolumeInfo info;
    bool lastSplitAfter = false;
    qint64 pos = 7;
    const qint64 size = file.size();
    while (pos + 7 <= size) {
        file.seek(pos);
        const QByteArray head = file.read(40);
        if (head.size() < 7)
            break;
        const quint8 type = quint8(head[2]);
        const quint16 flags = quint16(le(head, 3, 2));
        const quint16 headSize = quint16(le(head, 5, 2));
        if (headSize < 7)
            return info;
        qint64 next = pos + headSize;
        if (type == kRar4FileHead) {
            if (head.size() < 11)
                return info;
            quint64 dataSize = le(head, 7, 4);
            if ((flags & kRar4FileLarge) && head.size() >= 36)
                dataSize |= quint64(le(head, 32, 4)) << 32;
            // Data said to run past the end of the file ends the scan there, as a short last
            // file does; a 64-bit size added as it stands could overflow and send the scan back.
            next = dataSize > quint64(qMax<qint64>(size - next, 0)) ? size : next + qint64(dataSize);
            lastSplitAfter = flags & kRar4FileSplitAfter;
            if (parts && head.size() >= 20) {
                FilePart part;
                part.splitBefore = flags & kRar4FileSplitBefore;
                part.splitAfter = flags & kRar4FileSplitAfter;
                part.check.folder = (flags & kRar4FileDirectory) == kRar4FileDirectory;
                part.check.unpackedSize = le(head, 11, 4);
                if ((flags & kRar4FileLarge) && head.size() >= 40)
                    part.check.unpackedSize |= quint64(le(head, 36, 4)) << 32;
                part.check.hasCrc = true;
                part.check.crc = le(head, 16, 4);
                part.check.unixName = quint8(head[15]) == kRar4HostUnix && !(flags & kRar4FileUnicode);
                parts->append(part);
            }
        } else if (flags & kRar4LongBlock) {
            if (head.size() < 11)
                return info;
            next += le(head, 7, 4);
        }
        if (type == kRar4MainHead) {
            info.volume = flags & kRar4MainVolume;
            info.newNumbering = flags & kRar4MainNewNumbering;
            if (flags & kRar4MainPassword)
                info.encryptedHeaders = true;
        } else if (type == kRar4EndHead) {
            info.readable = true;
            info.endHeader = true;
            info.continues = flags & kRar4EndNextVolume;
            return info;
        }
        pos = next;
    }
    // Archives of old packers end without an end block: a file split after this volume says it.
    info.readable = true;
    info.continues = lastSplitAfter;
    return info;
}

// A RAR 5 variable-length number at `at`; advances `at`, false when the bytes run out.
bool readVint(const QByteArray& bytes, qsizetype& at, quint64& value)
{
    value = 0;
    for (int shift = 0; shift < 64 && at < bytes.size(); shift += 7) {
        const quint8 byte = quint8(bytes[at++]);
        value |= quint64(byte & 0x7f) << shift;
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

// A little-endian 32-bit number at `at`; advances `at`, false when the bytes run out.
bool readUint32(const QByteArray& bytes, qsizetype& at, quint32& value)
{
    if (at + 4 > bytes.size())
        return false;
    value = le(bytes, at, 4);
    at += 4;
    return true;
}

RarVolumeInfo scanRar5(QFile& file, QList<FilePart>* parts = nullptr)
{
    RarVolumeInfo info;
    bool lastSplitAfter = false;
    qint64 pos = 8;
    const qint64 size = file.size();
    while (pos + 5 <= size) {
        file.seek(pos + 4); // after the header's CRC
        const QByteArray head = file.read(64);
        qsizetype at = 0;
        quint64 headerSize = 0, type = 0, flags = 0, extra = 0, data = 0;
        if (!readVint(head, at, headerSize))
            return info;
        const qsizetype headerStart = at;
        if (!readVint(head, at, type) || !readVint(head, at, flags))
            return info;
        if ((flags & kRar5HasExtra) && !readVint(head, at, extra))
            return info;
        if ((flags & kRar5HasData) && !readVint(head, at, data))
            return info;
        if (type == kRar5Main || type == kRar5End) {
            quint64 own = 0;
            if (!readVint(head, at, own))
                return info;
            if (type == kRar5Main)
                info.volume = own & kRar5ArchiveVolume;
            if (type == kRar5End) {
                info.readable = true;
                info.endHeader = true;
                info.continues = own & kRar5EndNotLast;
                return info;
            }
        } else if (type == kRar5File) {
            lastSplitAfter = flags & kRar5SplitAfter;
            if (parts) {
                FilePart part;
                part.splitBefore = flags & kRar5SplitBefore;
                part.splitAfter = flags & kRar5SplitAfter;
                quint64 fileFlags = 0, unpacked = 0, attributes = 0;
                quint32 ignored = 0;
                if (!readVint(head, at, fileFlags) || !readVint(head, at, unpacked) ||
                    !readVint(head, at, attributes) ||
                    ((fileFlags & kRar5FileHasTime) && !readUint32(head, at, ignored)))
                    return info;
                part.check.folder = fileFlags & kRar5FileDirectory;
                part.check.unpackedSize = unpacked;
                if (fileFlags & kRar5FileHasCrc) {
                    if (!readUint32(head, at, part.check.crc))
                        return info;
                    part.check.hasCrc = true;
                }
                parts->append(part);
            }
        } else if (type == kRar5Encryption) {
            info.encryptedHeaders = true;
            return info;
        }
        if (headerSize > quint64(size) || data > quint64(size))
            return info;
        pos += 4 + headerStart + qint64(headerSize) + qint64(data);
    }
    info.readable = true;
    info.continues = lastSplitAfter;
    return info;
}

} // namespace

namespace {

RarVolumeInfo scanVolume(const QString& path, QList<FilePart>* parts)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray start = file.read(8);
    if (start.startsWith(QByteArray(kRar4Signature, 7)))
        return scanRar4(file, parts);
    if (start == QByteArray(kRar5Signature, 8)) {
        RarVolumeInfo info = scanRar5(file, parts);
        info.newNumbering = true;
        info.rar5 = true;
        return info;
    }
    return {};
}

} // namespace

RarVolumeInfo scanRarVolume(const QString& path)
{
    return scanVolume(path, nullptr);
}

QList<RarEntryCheck> rarEntryChecks(const QStringList& volumes)
{
    QList<RarEntryCheck> entries;
    for (const QString& volume : volumes) {
        QList<FilePart> parts;
        const RarVolumeInfo info = scanVolume(volume, &parts);
        if (info.encryptedHeaders)
            return {};
        for (const FilePart& part : std::as_const(parts)) {
            if (!part.splitBefore) {
                entries.append(part.check);
                // A part that others follow carries the CRC of its own piece; the last part
                // carries the whole file's.
                if (part.splitAfter)
                    entries.last().hasCrc = false;
            } else if (!entries.isEmpty() && !part.splitAfter) {
                entries.last().hasCrc = part.check.hasCrc;
                entries.last().crc = part.check.crc;
            }
        }
        if (!info.readable)
            break;
    }
    return entries;
}

QString nextRarVolumeName(const QString& path, bool newNumbering)
{
    static const QRegularExpression part(QStringLiteral("^(.*\\.part)(\\d+)(\\.rar)$"),
                                         QRegularExpression::CaseInsensitiveOption);
    if (newNumbering) {
        const QRegularExpressionMatch match = part.match(path);
        if (!match.hasMatch())
            return {};
        const QString digits = match.captured(2);
        return match.captured(1) + QString::number(digits.toLongLong() + 1).rightJustified(digits.size(), u'0') +
               match.captured(3);
    }
    // name.rar, then name.r00 ... name.r99, name.s00 ...
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || path.size() - dot != 4)
        return {};
    const QString extension = path.mid(dot + 1);
    if (extension.compare(QLatin1String("rar"), Qt::CaseInsensitive) == 0)
        return path.left(dot + 1) + (extension[0].isUpper() ? QStringLiteral("R00") : QStringLiteral("r00"));
    const int number = extension.mid(1).toInt();
    if (!extension[1].isDigit() || !extension[2].isDigit())
        return {};
    if (number < 99)
        return path.left(dot + 2) + QString::number(number + 1).rightJustified(2, u'0');
    return path.left(dot + 1) + QChar(extension[0].unicode() + 1) + QStringLiteral("00");
}

RarVolumeSet findRarVolumes(const QString& first)
{
    RarVolumeSet set;
    set.present.append(first);
    const RarVolumeInfo head = scanRarVolume(first);
    if (!head.readable || !head.volume)
        return set;
    RarVolumeInfo info = head;
    QString current = first;
    // A set has at most a few thousand volumes; the bound keeps a damaged header from looping.
    for (int count = 1; info.continues && count < 10000; ++count) {
        const QString next = nextRarVolumeName(current, head.newNumbering);
        if (next.isEmpty())
            break;
        if (!QFileInfo(next).isFile()) {
            set.missing = next;
            break;
        }
        set.present.append(next);
        current = next;
        info = scanRarVolume(next);
    }
    return set;
}
