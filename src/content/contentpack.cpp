#include "contentpack.h"

#include "codepage.h"
#include "contenterror.h"
#include "contentlog.h"
#include "packformat.h"
#include "pathresolver.h"
#include "printabletext.h"

#include <QBuffer>
#include <QtEndian>

#include <libdeflate.h>
#include <zlib.h>

#ifdef Q_OS_UNIX
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace {

using namespace PackFormat;

// Deflate cannot expand data by more than about 1032 to 1; a size claimed beyond that is a lie.
// No single content file is allowed past 1 GiB either.
constexpr qint64 kMaxDeflateRatio = 1032;
constexpr qint64 kMaxUnpackedSize = qint64(1) << 30;

quint32 word(const uchar* at)
{
    return qFromLittleEndian<quint32>(at);
}

bool plausibleUnpackedSize(qint64 stored, qint64 size)
{
    return size <= kMaxUnpackedSize && size <= stored * kMaxDeflateRatio + 64;
}

// One zlib stream that must inflate to exactly size bytes, into out (whose memory is used again
// when it has enough). The output grows with what the stream really gives, so a size that lies
// costs no more memory than the data behind it. Memory that cannot be had raises std::bad_alloc.
// out holds nothing of use when the result is false.
bool inflateExactly(const uchar* stored, qint64 storedSize, qint64 size, QByteArray& out)
{
    if (!plausibleUnpackedSize(storedSize, size))
        return false;
    struct Stream : z_stream
    {
        Stream() : z_stream{} {}
        ~Stream() { inflateEnd(this); }
    } stream;
    if (inflateInit(&stream) != Z_OK)
        return false;
    stream.next_in = const_cast<Bytef*>(stored);
    stream.avail_in = uInt(storedSize);
    // One byte past the size, so that a stream that gives more shows it.
    const qint64 limit = size + 1;
    QByteArray& buffer = out;
    buffer.resize(qsizetype(std::min(limit, std::max<qint64>({storedSize * 4, 64 * 1024, buffer.capacity()}))));
    int rc = Z_OK;
    while (rc == Z_OK) {
        const qint64 produced = qint64(stream.total_out);
        if (produced == buffer.size()) {
            if (buffer.size() == limit)
                return false; // more than size bytes
            buffer.resize(qsizetype(std::min(limit, qint64(buffer.size()) * 2)));
        }
        stream.next_out = reinterpret_cast<Bytef*>(buffer.data()) + produced;
        stream.avail_out = uInt(buffer.size() - produced);
        // Z_STREAM_END, or an error: damaged data, or input that ends before the stream does.
        rc = inflate(&stream, Z_NO_FLUSH);
    }
    if (rc != Z_STREAM_END || qint64(stream.total_out) != size)
        return false;
    buffer.truncate(qsizetype(size));
    return true;
}

// An entry of at most this size is unpacked in one call into memory of its full size; a larger
// one is unpacked as it comes (inflateExactly), so that a size that lies costs no more memory
// than the data behind it.
constexpr qint64 kWholeInflateMax = 16 * 1024 * 1024;

// One zlib stream of an entry, as inflateExactly, in one call. Pages and pictures are small, and
// this is the most of what reading them costs.
bool inflateWhole(const uchar* stored, qint64 storedSize, qint64 size, QByteArray& out)
{
    struct Free
    {
        void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
    };
    // One per thread: a scan reads on a worker while the panes read on the interface thread.
    thread_local const std::unique_ptr<libdeflate_decompressor, Free> decompressor(libdeflate_alloc_decompressor());
    if (!decompressor)
        throw std::bad_alloc();
    out.resize(qsizetype(size));
    // Without a place for the size it gave, the call fails unless the stream gives exactly size.
    return libdeflate_zlib_decompress(decompressor.get(), stored, size_t(storedSize), out.data(), size_t(size),
                                      nullptr) == LIBDEFLATE_SUCCESS;
}

QByteArray entryName(const uchar* record)
{
    const char* name = reinterpret_cast<const char*>(record);
    return QByteArray(name, qstrnlen(name, kEntryNameSize));
}

} // namespace

ContentPack::ContentPack(const PathResolver& disk) : m_disk(disk) {}

ContentPack::~ContentPack()
{
    close();
}

QByteArray ContentPack::NormalisePackPath(QByteArray path)
{
    for (char& c : path) {
        const auto b = static_cast<unsigned char>(c);
        if (b == '/')
            c = '\\';
        else if (b >= 'a' && b <= 'z')
            c = char(b - 0x20);
        else if (b >= 0xE0)
            c = char(b - 0x20);
    }
    return path;
}

void ContentPack::close()
{
    if (m_data && m_fileBytes.isEmpty())
        m_file.unmap(const_cast<uchar*>(m_data));
    m_file.close();
    m_fileBytes.clear();
    m_data = nullptr;
    m_dataSize = 0;
    m_dataAreaStart = 0;
    m_folders.clear();
    m_entries.clear();
    m_folderNames.clear();
    m_open = false;
}

void ContentPack::refuse(const QString& why)
{
    close();
    m_error = QStringLiteral("%1 is not a valid content pack: %2").arg(m_packPath, why);
}

bool ContentPack::OpenPack(const QString& packPath)
{
    close();
    m_base.clear();
    m_error.clear();
    m_packPath = packPath;

    m_file.setFileName(m_disk.resolve(packPath));
    if (!m_file.open(QIODevice::ReadOnly))
        throw ContentError(QStringLiteral("Cannot open file %1").arg(packPath));
    try {
        return readPack();
    } catch (const std::bad_alloc&) {
        refuse(QStringLiteral("it does not fit in memory"));
        return false;
    }
}

bool ContentPack::readPack()
{
    m_dataSize = m_file.size();
    m_data = m_dataSize > 0 ? m_file.map(0, m_dataSize) : nullptr;
    if (!m_data) {
        m_fileBytes = m_file.readAll();
        m_dataSize = m_fileBytes.size();
        m_data = reinterpret_cast<const uchar*>(m_fileBytes.constData());
    }

    if (m_dataSize < kHeaderSize) {
        refuse(QStringLiteral("the file is too short for a header"));
        return false;
    }
    const qint64 difference = word(m_data) ^ kSizeDifferenceMask;
    const qint64 packedSize = word(m_data + 4) ^ kPackedSizeMask;
    const qint64 unpackedSize = difference + packedSize;
    if (packedSize > m_dataSize - kHeaderSize) {
        refuse(QStringLiteral("the directory (%1 bytes) does not fit the file").arg(packedSize));
        return false;
    }

    // A directory no real pack has is refused before any memory is spent on it.
    if (difference != 0 && (unpackedSize > kMaxDirectorySize || unpackedSize > packedSize * kMaxDirectoryRatio)) {
        refuse(QStringLiteral("the directory does not unpack to its %1 bytes: no pack directory of %2 packed bytes "
                              "is that large")
                   .arg(unpackedSize)
                   .arg(packedSize));
        return false;
    }

    QByteArray directory;
    if (difference == 0) {
        // Read in place: the file stays open (and mapped) while the pack is.
        directory = QByteArray::fromRawData(reinterpret_cast<const char*>(m_data + kHeaderSize), packedSize);
    } else if (!inflateExactly(m_data + kHeaderSize, packedSize, unpackedSize, directory)) {
        refuse(QStringLiteral("the directory does not unpack to its %1 bytes").arg(unpackedSize));
        return false;
    }

    const auto* dir = reinterpret_cast<const uchar*>(directory.constData());
    const qint64 dirSize = directory.size();
    if (dirSize < kDirectoryHeaderSize) {
        refuse(QStringLiteral("the directory is too short"));
        return false;
    }
    const quint32 folderCount = word(dir);
    const quint32 entryCount = word(dir + 4);
    m_reserved = word(dir + 8);
    m_rootFolder = word(dir + 12);
    if (kDirectoryHeaderSize + kFolderRecordSize * folderCount + kEntryRecordSize * entryCount > dirSize) {
        refuse(QStringLiteral("%1 folders and %2 entries do not fit the directory").arg(folderCount).arg(entryCount));
        return false;
    }
    if (folderCount > kMaxFolders || entryCount > kMaxEntries) {
        refuse(QStringLiteral("%1 folders and %2 entries are more than a pack holds (at most %3 entries)")
                   .arg(folderCount)
                   .arg(entryCount)
                   .arg(kMaxEntries));
        return false;
    }
    if (m_rootFolder >= folderCount) {
        refuse(QStringLiteral("the root folder %1 does not exist").arg(m_rootFolder));
        return false;
    }
    m_dataAreaStart = kHeaderSize + packedSize;
    const qint64 dataAreaSize = m_dataSize - m_dataAreaStart;

    QList<PackFolder> folders(folderCount);
    QList<bool> entryClaimed(entryCount, false);
    const uchar* at = dir + kDirectoryHeaderSize;
    for (PackFolder& folder : folders) {
        folder.firstEntry = word(at);
        folder.entryCount = word(at + 4);
        at += kFolderRecordSize;
        if (qint64(folder.firstEntry) + folder.entryCount > entryCount) {
            refuse(QStringLiteral("a folder lists entries past the end of the directory"));
            return false;
        }
        for (quint32 i = folder.firstEntry; i < folder.firstEntry + folder.entryCount; ++i) {
            if (entryClaimed[i]) {
                refuse(QStringLiteral("two folders share entry %1").arg(i));
                return false;
            }
            entryClaimed[i] = true;
        }
    }

    QList<PackEntry> entries(entryCount);
    // No entry belongs to two folders, and every folder but the root is named by one entry at
    // most: so what hangs below the root is a tree, and a walk through it always ends.
    QList<bool> folderNamed(folderCount, false);
    folderNamed[m_rootFolder] = true;
    for (PackEntry& entry : entries) {
        entry.name = entryName(at);
        entry.offset = word(at + 64);
        entry.storedSize = word(at + 68);
        entry.size = word(at + 72);
        entry.type = word(at + 76);
        at += kEntryRecordSize;
        if (entry.type == PackEntry::File && qint64(entry.offset) + entry.storedSize > dataAreaSize) {
            refuse(QStringLiteral("the data of %1 lies outside the file").arg(printable(fromCp1251(entry.name))));
            return false;
        }
        if (entry.type == PackEntry::Folder) {
            if (entry.offset >= folderCount || folderNamed[entry.offset]) {
                refuse(
                    QStringLiteral("the folder %1 is not a folder of its own").arg(printable(fromCp1251(entry.name))));
                return false;
            }
            folderNamed[entry.offset] = true;
        }
    }

    m_folderNames.resize(folderCount);
    for (quint32 f = 0; f < folderCount; ++f) {
        if (folders[f].entryCount == 0)
            continue; // an empty hash takes no memory; a reserved one would
        QHash<QByteArray, int>& names = m_folderNames[f];
        names.reserve(folders[f].entryCount);
        for (quint32 i = 0; i < folders[f].entryCount; ++i) {
            const int index = int(folders[f].firstEntry + i);
            // The first entry of a name decides every lookup of that name.
            if (!names.contains(entries[index].name))
                names.insert(entries[index].name, index);
        }
    }

    m_folders = std::move(folders);
    m_entries = std::move(entries);
    m_open = true;
    return true;
}

void ContentPack::SetPackBase(const QString& folder)
{
    bool ok = true;
    m_base = normalisedQuery(folder, &ok);
    if (!ok)
        m_base.clear();
}

QByteArray ContentPack::normalisedQuery(const QString& path, bool* ok) const
{
    return NormalisePackPath(toCp1251(m_disk.toLocal(path), ok));
}

int ContentPack::findInFolder(quint32 folder, const QByteArray& name) const
{
    return m_folderNames[folder].value(name, -1);
}

int ContentPack::FindPackEntry(const QString& path) const
{
    if (!m_open)
        return -1;
    bool ok = true;
    QByteArray query = normalisedQuery(path, &ok);
    if (!ok)
        return -1;
    QByteArrayView rest(query);
    if (!m_base.isEmpty() && rest.startsWith(m_base))
        rest = rest.sliced(m_base.size());
    if (rest.startsWith('\\'))
        rest = rest.sliced(1);

    quint32 folder = m_rootFolder;
    for (;;) {
        const qsizetype separator = rest.indexOf('\\');
        const QByteArrayView component = separator < 0 ? rest : rest.first(separator);
        const int index = findInFolder(folder, component.toByteArray());
        if (index < 0)
            return -1;
        const PackEntry& entry = m_entries[index];
        if (separator < 0)
            return entry.type == PackEntry::File ? index : -1;
        if (entry.type != PackEntry::Folder)
            return -1;
        folder = entry.offset;
        rest = rest.sliced(separator + 1);
    }
}

ContentPack::Load ContentPack::loadEntry(int index, QByteArray& data) const
{
    if (!m_open || index < 0 || index >= m_entries.size() || m_entries[index].type != PackEntry::File)
        return Load::NotAFile;
    const PackEntry& entry = m_entries[index];
    const uchar* stored = m_data + m_dataAreaStart + entry.offset;
    try {
        if (entry.storedSize == entry.size) {
            data.resize(entry.size);
            std::memcpy(data.data(), stored, entry.size);
            return Load::Loaded;
        }
        if (!plausibleUnpackedSize(entry.storedSize, entry.size))
            return Load::Corrupt;
        const bool whole = entry.size <= kWholeInflateMax;
        return (whole ? inflateWhole(stored, entry.storedSize, entry.size, data)
                      : inflateExactly(stored, entry.storedSize, entry.size, data))
                   ? Load::Loaded
                   : Load::Corrupt;
    } catch (const std::bad_alloc&) {
        return Load::Corrupt; // a file too large to hold reads as missing too
    }
}

void ContentPack::releaseMappedPages() const
{
#ifdef Q_OS_UNIX
    if (!m_open || !m_fileBytes.isEmpty() || !m_data)
        return; // not mapped: nothing to give back
    // The mapping is of the file and read only: its pages come back from the file when touched
    // again, by this thread or another.
    madvise(const_cast<uchar*>(m_data), size_t(m_dataSize), MADV_DONTNEED);
#endif
}

int ContentPack::LoadPackEntry(int index, QBuffer& stream) const
{
    QByteArray data;
    if (loadEntry(index, data) != Load::Loaded)
        return -1;
    if (stream.isOpen())
        stream.close();
    stream.setData(data);
    stream.open(QIODevice::ReadOnly);
    return 0;
}

bool ContentPack::PackFileExists(const QString& path) const
{
    return m_disk.fileExists(path) || FindPackEntry(path) >= 0;
}

std::optional<QByteArray> ContentPack::readFile(const QString& path) const
{
    const int index = FindPackEntry(path);
    if (index >= 0) {
        QByteArray data;
        if (loadEntry(index, data) == Load::Loaded)
            return data;
        qCWarning(lcContent, "%s: the packed file %s is damaged and reads as missing", qUtf8Printable(m_packPath),
                  qUtf8Printable(path));
    }
    QFile file(m_disk.resolve(path));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

QStringList ContentPack::ListPackFiles() const
{
    QStringList files;
    if (!m_open)
        return files;
    // Depth first, each folder's contents at its place. The folders form a tree (OpenPack made
    // sure), so an explicit stack of (folder, next entry, path) is enough.
    struct Level
    {
        quint32 folder;
        quint32 next;
        QString path;
    };
    QList<Level> stack{{m_rootFolder, 0, QString()}};
    while (!stack.isEmpty()) {
        Level& level = stack.last();
        const PackFolder& folder = m_folders[level.folder];
        if (level.next >= folder.entryCount) {
            stack.removeLast();
            continue;
        }
        const PackEntry& entry = m_entries[folder.firstEntry + level.next++];
        if (entry.name.startsWith('.'))
            continue;
        const QString path = level.path + fromCp1251(entry.name);
        if (entry.type == PackEntry::Folder)
            stack.append({entry.offset, 0, path + QLatin1Char('/')});
        else
            files.append(path);
    }
    return files;
}
