#pragma once

// Packs written byte by byte from explicit tables, for the layouts our own writer never makes
// (folders in any order, a stored directory, shared names) and for damaged packs.

#include <QByteArray>
#include <QList>
#include <QtEndian>

#include <zlib.h>

struct RawEntry
{
    QByteArray name;
    quint32 offset = 0;
    quint32 storedSize = 0;
    quint32 size = 0;
    quint32 type = 1;
};

struct RawPack
{
    QList<std::pair<quint32, quint32>> folders; // first entry, entry count
    QList<RawEntry> entries;
    quint32 rootFolder = 0;
    QByteArray data;
    bool deflateDirectory = false;
    // Header values that differ from the truth, for damaged packs.
    qint64 claimedUnpackedDirectory = -1;
    // Directory bytes to store instead of those of folders and entries, for directories too large
    // to list entry by entry; and the level they are deflated at.
    QByteArray rawDirectory;
    int deflateLevel = 9;

    // Adds a file's bytes to the data area, stored as given, and returns its entry.
    RawEntry storedFile(const QByteArray& name, const QByteArray& bytes)
    {
        RawEntry entry{name, quint32(data.size()), quint32(bytes.size()), quint32(bytes.size()), 1};
        data += bytes;
        return entry;
    }

    RawEntry deflatedFile(const QByteArray& name, const QByteArray& bytes)
    {
        const QByteArray packed = deflate(bytes);
        RawEntry entry{name, quint32(data.size()), quint32(packed.size()), quint32(bytes.size()), 1};
        data += packed;
        return entry;
    }

    QByteArray directory() const
    {
        QByteArray out;
        put(out, quint32(folders.size()));
        put(out, quint32(entries.size()));
        put(out, 0);
        put(out, rootFolder);
        for (const auto& [first, count] : folders) {
            put(out, first);
            put(out, count);
        }
        for (const RawEntry& entry : entries)
            putEntry(out, entry);
        return out;
    }

    QByteArray bytes() const
    {
        const QByteArray dir = rawDirectory.isEmpty() ? directory() : rawDirectory;
        const QByteArray stored = deflateDirectory ? deflate(dir, deflateLevel) : dir;
        const qint64 unpacked = claimedUnpackedDirectory >= 0 ? claimedUnpackedDirectory : dir.size();
        QByteArray out;
        put(out, quint32(unpacked - stored.size()) ^ 0x6D2A93C5u);
        put(out, quint32(stored.size()) ^ 0x3E8B5F17u);
        return out + stored + data;
    }

    static QByteArray deflate(const QByteArray& bytes, int level = 9)
    {
        uLongf size = compressBound(uLong(bytes.size()));
        QByteArray out(qsizetype(size), '\0');
        compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(bytes.constData()),
                  uLong(bytes.size()), level);
        out.truncate(qsizetype(size));
        return out;
    }

    // A directory of one folder (the root) holding count entries, record i made by entry(i).
    template <typename MakeEntry> static QByteArray oneFolderDirectory(quint32 count, MakeEntry entry)
    {
        QByteArray out;
        out.reserve(16 + 8 + qsizetype(count) * 80);
        put(out, 1);
        put(out, count);
        put(out, 0);
        put(out, 0);
        put(out, 0);
        put(out, count);
        for (quint32 i = 0; i < count; ++i)
            putEntry(out, entry(i));
        return out;
    }

    static void put(QByteArray& out, quint32 value)
    {
        char raw[4];
        qToLittleEndian(value, raw);
        out.append(raw, 4);
    }

    // An entry record: the name in 64 bytes padded with NULs, then offset, sizes and type.
    static void putEntry(QByteArray& out, const RawEntry& entry)
    {
        QByteArray name = entry.name.left(64);
        name.resize(64, '\0');
        out += name;
        put(out, entry.offset);
        put(out, entry.storedSize);
        put(out, entry.size);
        put(out, entry.type);
    }
};
