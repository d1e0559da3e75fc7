#include "rarwriter.h"

#include "codepage.h"

#include <QFile>
#include <QSaveFile>

#include <zlib.h>

namespace {

constexpr char kMarker[] = "Rar!\x1a\x07\x00";
constexpr quint8 kMainHead = 0x73;
constexpr quint8 kFileHead = 0x74;
constexpr quint8 kEndHead = 0x7b;
constexpr quint16 kMainVolume = 0x0001;
constexpr quint16 kMainNewNumbering = 0x0010;
constexpr quint16 kMainFirstVolume = 0x0100;
constexpr quint16 kFileSplitBefore = 0x0001;
constexpr quint16 kFileSplitAfter = 0x0002;
constexpr quint16 kFileDirectory = 0x00e0;
constexpr quint16 kFileUnicode = 0x0200;
constexpr quint16 kLongBlock = 0x8000;
constexpr quint16 kEndNextVolume = 0x0001;
constexpr quint8 kHostWindows = 2;
constexpr quint8 kHostUnix = 3;
constexpr quint8 kVersion = 20;
constexpr quint8 kStored = 0x30;
constexpr quint32 kAttrDirectory = 0x10;
constexpr quint32 kAttrArchive = 0x20;
constexpr quint32 kUnixSymlink = 0120777;
constexpr quint32 kUnixFile = 0100664;

void put(QByteArray& out, quint32 value, int width)
{
    for (int i = 0; i < width; ++i)
        out.append(char(value >> (8 * i)));
}

quint32 crcOf(QByteArrayView bytes)
{
    return quint32(crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(bytes.data()), uInt(bytes.size())));
}

// A block: its CRC (the low half of the CRC-32 of the rest), then type, flags, size, body.
QByteArray block(quint8 type, quint16 flags, const QByteArray& body)
{
    QByteArray rest;
    rest.append(char(type));
    put(rest, flags, 2);
    put(rest, quint32(7 + body.size()), 2);
    rest.append(body);
    QByteArray out;
    put(out, crcOf(rest) & 0xffff, 2);
    return out + rest;
}

// The name field: the name in code page 866, and when that loses characters, a zero and the
// Unicode name in RAR 4's encoding, every character written as two bytes (mode 2).
QByteArray nameField(const QString& name, bool* unicode)
{
    QString stored = name;
    stored.replace(QLatin1Char('/'), QLatin1Char('\\'));
    bool lossless = false;
    QByteArray field = toCp866(stored, &lossless);
    *unicode = !lossless;
    if (lossless)
        return field;
    field.append('\0');
    field.append('\0'); // the high byte of mode 1, unused
    const QString::const_iterator end = stored.cend();
    for (QString::const_iterator at = stored.cbegin(); at != end;) {
        QByteArray group;
        quint8 flags = 0;
        for (int i = 0; i < 4 && at != end; ++i, ++at) {
            flags |= quint8(2 << (6 - 2 * i));
            group.append(char(at->unicode() & 0xff));
            group.append(char(at->unicode() >> 8));
        }
        field.append(char(flags));
        field.append(group);
    }
    return field;
}

} // namespace

void RarWriter::addFolder(const QString& name, qint32 dosTime)
{
    m_entries.append({name, {}, dosTime, true, false, false});
}

void RarWriter::addFile(const QString& name, const QByteArray& data, qint32 dosTime)
{
    m_entries.append({name, data, dosTime, false, false, false});
}

void RarWriter::addSymlink(const QString& name, const QString& target)
{
    m_entries.append({name, target.toUtf8(), 0, false, true, false});
}

void RarWriter::addUnixFile(const QString& name, const QByteArray& data, qint32 dosTime)
{
    m_entries.append({name, data, dosTime, false, false, true});
}

qint32 RarWriter::dosTimeOf(int year, int month, int day, int hour, int minute, int second)
{
    const quint32 high = quint32(year - 1980) << 9 | quint32(month) << 5 | quint32(day);
    const quint32 low = quint32(hour) << 11 | quint32(minute) << 5 | quint32(second / 2);
    return qint32(high << 16 | low);
}

QString RarWriter::volumeName(const QString& path, int index, int count, Naming naming)
{
    if (count <= 1)
        return path;
    const QString base = path.endsWith(QLatin1String(".rar"), Qt::CaseInsensitive) ? path.chopped(4) : path;
    if (naming == Naming::Parts) {
        const int width = int(QString::number(count).size());
        return base + QStringLiteral(".part") + QString::number(index + 1).rightJustified(width, u'0') +
               QStringLiteral(".rar");
    }
    if (index == 0)
        return base + QStringLiteral(".rar");
    return base + QStringLiteral(".r") + QString::number(index - 1).rightJustified(2, u'0');
}

QStringList RarWriter::write(const QString& path, qint64 volumeSize, Naming naming) const
{
    // The blocks of each volume, between its main header and its end block.
    QList<QByteArray> volumes(1);
    qint64 used = 0;
    const auto fileBlock = [](const Entry& entry, quint16 split, const QByteArray& part, quint32 crc) -> QByteArray {
        bool unicode = false;
        const QByteArray name = entry.unixName ? entry.name.toUtf8() : nameField(entry.name, &unicode);
        quint16 flags = kLongBlock | split;
        if (unicode)
            flags |= kFileUnicode;
        if (entry.folder)
            flags |= kFileDirectory;
        QByteArray body;
        put(body, quint32(part.size()), 4);
        put(body, quint32(entry.data.size()), 4);
        body.append(char(entry.symlink || entry.unixName ? kHostUnix : kHostWindows));
        put(body, crc, 4);
        put(body, quint32(entry.time), 4);
        body.append(char(kVersion));
        body.append(char(kStored));
        put(body, quint32(name.size()), 2);
        put(body,
            entry.symlink    ? kUnixSymlink
            : entry.unixName ? kUnixFile
            : entry.folder   ? kAttrDirectory
                             : kAttrArchive,
            4);
        body.append(name);
        return block(kFileHead, flags, body) + part;
    };
    for (const Entry& entry : m_entries) {
        if (entry.folder || entry.data.isEmpty() || volumeSize <= 0) {
            volumes.last() += fileBlock(entry, 0, entry.data, crcOf(entry.data));
            used += entry.data.size();
            continue;
        }
        qsizetype done = 0;
        while (done < entry.data.size()) {
            if (used >= volumeSize) {
                volumes.append(QByteArray());
                used = 0;
            }
            const QByteArray part = entry.data.mid(done, qsizetype(volumeSize - used));
            const bool last = done + part.size() == entry.data.size();
            const quint16 split = (done > 0 ? kFileSplitBefore : 0) | (last ? 0 : kFileSplitAfter);
            // A part that others follow carries its own CRC; the last one the whole file's.
            volumes.last() += fileBlock(entry, split, part, last ? crcOf(entry.data) : crcOf(part));
            done += part.size();
            used += part.size();
        }
    }

    QStringList written;
    const int count = int(volumes.size());
    for (int i = 0; i < count; ++i) {
        quint16 mainFlags = 0;
        if (count > 1) {
            mainFlags |= kMainVolume;
            if (naming == Naming::Parts)
                mainFlags |= kMainNewNumbering;
            if (i == 0)
                mainFlags |= kMainFirstVolume;
        }
        QByteArray bytes(kMarker, 7);
        bytes += block(kMainHead, mainFlags, QByteArray(6, '\0'));
        bytes += volumes[i];
        bytes += block(kEndHead, i + 1 < count ? kEndNextVolume : 0, QByteArray());
        const QString name = volumeName(path, i, count, naming);
        QSaveFile out(name);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
            return {};
        written.append(name);
    }
    return written;
}
