#include "readbin.h"

#include "codepage.h"
#include "contenterror.h"
#include "printabletext.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <limits>

namespace {

constexpr qint32 kMaxNameLength = 256;
constexpr int kMaxEntries = 0xFFFF;

// Reads exactly size bytes at the file's current position.
bool readExactly(QFile& file, char* data, qint64 size)
{
    return file.read(data, size) == size;
}

template <typename T> bool readLittleEndian(QFile& file, T& value)
{
    char raw[sizeof(T)];
    if (!readExactly(file, raw, sizeof(T)))
        return false;
    value = qFromLittleEndian<T>(raw);
    return true;
}

} // namespace

void TReadBin::Open(const QString& fileName)
{
    m_fileName = fileName;
    m_directory.clear();

    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw ContentError(QStringLiteral("Cannot open file %1").arg(fileName));
    const qint64 fileSize = file.size();
    const auto invalid = [&](const QString& why) {
        m_directory.clear();
        return ContentError(QStringLiteral("%1 is not a valid resource container: %2").arg(fileName, why));
    };

    quint16 count = 0;
    if (!readLittleEndian(file, count))
        throw invalid(QStringLiteral("the entry count is missing"));

    // A record takes 13 bytes at least: no more are reserved than the file can hold.
    TDynamicBinArray directory;
    directory.reserve(std::min<qint64>(count, (fileSize - 2) / 13));
    for (int i = 0; i < count; ++i) {
        qint32 nameLength = 0;
        if (!readLittleEndian(file, nameLength))
            throw invalid(QStringLiteral("the directory ends in record %1 of %2").arg(i + 1).arg(count));
        if (nameLength < 1 || nameLength > kMaxNameLength)
            throw invalid(QStringLiteral("record %1 has a name length of %2 (1 to %3 allowed)")
                              .arg(i + 1)
                              .arg(nameLength)
                              .arg(kMaxNameLength));
        char name[kMaxNameLength];
        RBin record;
        if (!readExactly(file, name, nameLength) || !readLittleEndian(file, record.offset) ||
            !readLittleEndian(file, record.size))
            throw invalid(QStringLiteral("the directory ends in record %1 of %2").arg(i + 1).arg(count));
        record.name = fromCp1251(QByteArrayView(name, qstrnlen(name, nameLength)));
        if (record.offset < 0 || record.size < 0 || qint64(record.offset) + record.size > fileSize)
            throw invalid(QStringLiteral("the data of entry \"%1\" (offset %2, size %3) lies outside the file")
                              .arg(printable(record.name))
                              .arg(record.offset)
                              .arg(record.size));
        directory.append(std::move(record));
    }
    m_directory = std::move(directory);
}

const RBin* TReadBin::find(const QString& name) const
{
    for (const RBin& record : m_directory) {
        if (record.name.compare(name, Qt::CaseInsensitive) == 0)
            return &record;
    }
    return nullptr;
}

bool TReadBin::Exists(const QString& name) const
{
    return find(name) != nullptr;
}

std::optional<QByteArray> TReadBin::Read(const QString& name) const
{
    const RBin* record = find(name);
    if (!record)
        return std::nullopt;
    QFile file(m_fileName);
    // Unbuffered: an entry is read in one piece straight into its array (a skin's background is
    // megabytes), not copied through the file's buffer.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) || !file.seek(record->offset))
        return std::nullopt;
    QByteArray data(record->size, Qt::Uninitialized);
    if (!readExactly(file, data.data(), record->size))
        return std::nullopt;
    return data;
}

int TReadBin::ReadToMemory(const QString& name, QByteArray& block) const
{
    std::optional<QByteArray> data = Read(name);
    if (!data)
        return -1;
    block = std::move(*data);
    return int(block.size());
}

bool TReadBin::ReadToStream(const QString& name, QBuffer& stream) const
{
    std::optional<QByteArray> data = Read(name);
    if (!data)
        return false;
    if (stream.isOpen())
        stream.close();
    stream.setData(*data);
    stream.open(QIODevice::ReadOnly);
    return true;
}

void ContainerWriter::add(const QString& name, const QByteArray& data)
{
    m_entries.append({name, data});
}

QByteArray ContainerWriter::build() const
{
    if (m_entries.size() > kMaxEntries)
        throw ContentError(
            QStringLiteral("a container holds at most %1 entries, not %2").arg(kMaxEntries).arg(m_entries.size()));

    QList<QByteArray> names;
    qint64 directorySize = 2;
    for (const auto& [name, data] : m_entries) {
        bool lossless = false;
        QByteArray encoded = toCp1251(name, &lossless);
        if (encoded.isEmpty() || encoded.size() > kMaxNameLength || !lossless || encoded.contains('\0'))
            throw ContentError(
                QStringLiteral("\"%1\" cannot be an entry name: it must be 1 to %2 bytes in code page 1251")
                    .arg(name)
                    .arg(kMaxNameLength));
        directorySize += 4 + encoded.size() + 8;
        names.append(std::move(encoded));
    }

    qint64 total = directorySize;
    for (const auto& entry : m_entries)
        total += entry.second.size();
    if (total > std::numeric_limits<qint32>::max())
        throw ContentError(QStringLiteral("a container cannot be larger than 2 GiB"));

    QByteArray out;
    out.reserve(total);
    const auto put = [&out](auto value) {
        char raw[sizeof(value)];
        qToLittleEndian(value, raw);
        out.append(raw, sizeof(value));
    };
    put(quint16(m_entries.size()));
    qint32 offset = qint32(directorySize);
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        put(qint32(names[i].size()));
        out.append(names[i]);
        put(offset);
        put(qint32(m_entries[i].second.size()));
        offset += qint32(m_entries[i].second.size());
    }
    for (const auto& entry : m_entries)
        out.append(entry.second);
    return out;
}

void ContainerWriter::write(const QString& fileName) const
{
    const QByteArray bytes = build();
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw ContentError(QStringLiteral("Cannot write file %1").arg(fileName));
}
