#include "unrarlib.h"

#include "archivecalls.h"
#include "archivelog.h"
#include "codepage.h"
#include "rarvolumes.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <clocale>
#include <vector>
#include <zlib.h>

namespace {

// libarchive hands names out in the character set of the calling thread's locale. Under a
// UTF-8 locale for the length of each call, every name (code page 866 or Unicode) comes out
// whole, whatever locale the process runs in.
class Utf8Locale
{
public:
    Utf8Locale()
    {
        static const locale_t utf8 = [] {
            locale_t made = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
            return made ? made : newlocale(LC_CTYPE_MASK, "en_US.UTF-8", locale_t(nullptr));
        }();
        if (utf8)
            m_previous = uselocale(utf8);
    }
    ~Utf8Locale()
    {
        if (m_previous)
            uselocale(m_previous);
    }
    Q_DISABLE_COPY_MOVE(Utf8Locale)

private:
    locale_t m_previous = nullptr;
};

qint32 dosTime(qint64 secondsSinceEpoch)
{
    const QDateTime at = QDateTime::fromSecsSinceEpoch(secondsSinceEpoch);
    const QDate date = at.date();
    const QTime time = at.time();
    if (date.year() < 1980 || date.year() > 2107)
        return 0;
    const quint32 high = quint32(date.year() - 1980) << 9 | quint32(date.month()) << 5 | quint32(date.day());
    const quint32 low = quint32(time.hour()) << 11 | quint32(time.minute()) << 5 | quint32(time.second() / 2);
    return qint32(high << 16 | low);
}

bool mentions(archive* a, const char* word)
{
    const char* text = archive_error_string(a);
    return text && QByteArray(text).contains(word);
}

} // namespace

struct RarArchive::Impl
{
    archive* reader = nullptr;
    archive_entry* entry = nullptr; // the current entry, until the next header is read
    QString name;                   // the current entry's name
    qsizetype index = -1;           // the current entry's place in the archive
    QList<RarEntryCheck> checks;    // what the headers say of each entry's data
    QString missing;                // the volume after the last one present, when it is absent
    bool missingReported = false;
    // A RAR 5 set whose last volume has no end header was cut short or broken: where libarchive
    // finds no further header, that is a broken header, not the end of the archive.
    bool cutShort = false;

    ~Impl()
    {
        if (reader)
            archive_read_free(reader);
    }
};

RarArchive::RarArchive(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}

RarArchive::~RarArchive() = default;

std::unique_ptr<RarArchive> RarArchive::RAROpenArchive(RAROpenArchiveData& data)
{
    const QFileInfo info(data.ArcName);
    QFile probe(data.ArcName);
    if (!info.isFile() || !probe.open(QIODevice::ReadOnly)) {
        qCDebug(lcArchive) << "cannot open" << data.ArcName;
        data.OpenResult = ERAR_EOPEN;
        return nullptr;
    }
    probe.close();
    if (!ArchiveLibrary::get()) {
        data.OpenResult = ERAR_EOPEN;
        return nullptr;
    }

    const Utf8Locale locale;
    auto impl = std::make_unique<Impl>();
    impl->reader = archive_read_new();
    if (!impl->reader) {
        data.OpenResult = ERAR_NO_MEMORY;
        return nullptr;
    }
    archive_read_support_format_rar(impl->reader);
    archive_read_support_format_rar5(impl->reader);
    // Names not stored as Unicode are in the DOS code page.
    archive_read_set_options(impl->reader, "rar:hdrcharset=CP866");

    const RarVolumeSet volumes = findRarVolumes(data.ArcName);
    impl->missing = volumes.missing;
    impl->checks = rarEntryChecks(volumes.present);
    if (volumes.missing.isEmpty()) {
        const RarVolumeInfo last = scanRarVolume(volumes.present.last());
        impl->cutShort = last.rar5 && !last.endHeader && !last.encryptedHeaders;
    }
    std::vector<QByteArray> names;
    for (const QString& volume : volumes.present)
        names.push_back(QFile::encodeName(volume));
    std::vector<const char*> pointers;
    for (const QByteArray& name : names)
        pointers.push_back(name.constData());
    pointers.push_back(nullptr);
    if (archive_read_open_filenames(impl->reader, pointers.data(), 64 * 1024) != ARCHIVE_OK) {
        qCDebug(lcArchive) << "not a RAR archive:" << data.ArcName << archive_error_string(impl->reader);
        data.OpenResult = ERAR_BAD_ARCHIVE;
        return nullptr;
    }
    data.OpenResult = ERAR_SUCCESS;
    return std::unique_ptr<RarArchive>(new RarArchive(std::move(impl)));
}

int RarArchive::volumeMissing()
{
    if (!m_impl->missingReported) {
        m_impl->missingReported = true;
        qCDebug(lcArchive) << "volume missing:" << m_impl->missing;
        if (m_callback)
            m_callback(m_impl->missing, RAR_VOL_ASK);
    }
    // The volume cannot be added once reading has begun: the walk ends here either way.
    return ERAR_EOPEN;
}

int RarArchive::RARReadHeader(RARHeaderData& header)
{
    const Utf8Locale locale;
    header = RARHeaderData();
    m_impl->entry = nullptr;
    archive_entry* entry = nullptr;
    const int result = archive_read_next_header(m_impl->reader, &entry);
    if (result == ARCHIVE_EOF) {
        if (!m_impl->missing.isEmpty())
            return volumeMissing();
        if (m_impl->cutShort) {
            qCDebug(lcArchive) << "broken header: the archive ends without its end header";
            return ERAR_BAD_DATA;
        }
        return ERAR_END_ARCHIVE;
    }
    if (result < ARCHIVE_WARN) {
        qCDebug(lcArchive) << "broken header:" << archive_error_string(m_impl->reader);
        return m_impl->missing.isEmpty() ? ERAR_BAD_DATA : volumeMissing();
    }
    m_impl->entry = entry;
    ++m_impl->index;
    const char* utf8 = archive_entry_pathname_utf8(entry);
    QString name = utf8 ? QString::fromUtf8(utf8) : QString::fromLocal8Bit(archive_entry_pathname(entry));
    if (archive_format(m_impl->reader) == ARCHIVE_FORMAT_RAR && m_impl->index < m_impl->checks.size() &&
        m_impl->checks[m_impl->index].unixName)
        name = unixNameOf(name);
    m_impl->name = name;
    header.FileName = name;
    if (archive_entry_filetype(entry) == AE_IFDIR)
        header.Flags |= kRarDirectoryMask;
    header.UnpSize = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : 0;
    header.FileTime = archive_entry_mtime_is_set(entry) ? dosTime(archive_entry_mtime(entry)) : 0;
    return ERAR_SUCCESS;
}

int RarArchive::RARProcessFile(RarOperation operation, const QString& destination)
{
    if (!m_impl->entry)
        return ERAR_BAD_DATA;
    const Utf8Locale locale;
    if (operation == RAR_EXTRACT)
        return extract(destination);
    if (archive_read_data_skip(m_impl->reader) < ARCHIVE_WARN)
        return m_impl->missing.isEmpty() ? ERAR_BAD_DATA : volumeMissing();
    return ERAR_SUCCESS;
}

QString RarArchive::safeRelativePath(const QString& name)
{
    QString path = name;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (path.startsWith(QLatin1Char('/')) || (path.size() >= 2 && path[1] == QLatin1Char(':')))
        return {};
    QStringList kept;
    for (const QString& part : path.split(QLatin1Char('/'))) {
        if (part.isEmpty() || part == QLatin1String("."))
            continue;
        if (part == QLatin1String(".."))
            return {};
        kept.append(part);
    }
    return kept.join(QLatin1Char('/'));
}

QString RarArchive::unixNameOf(const QString& readAsCp866)
{
    bool lossless = false;
    const QByteArray bytes = toCp866(readAsCp866, &lossless);
    if (!lossless || std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return quint8(c) < 0x80; }))
        return readAsCp866;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(bytes);
    return utf8.hasError() ? readAsCp866 : decoded;
}

int RarArchive::extract(const QString& destination)
{
    archive* reader = m_impl->reader;
    archive_entry* entry = m_impl->entry;
    const QString name = m_impl->name;
    const QString relative = safeRelativePath(name);
    // Links are never made: one could lead a later entry out of the destination.
    const bool link = archive_entry_filetype(entry) == AE_IFLNK || archive_entry_hardlink(entry);
    if (link) {
        qCDebug(lcArchive) << "entry refused, it is a link:" << name;
        archive_read_data_skip(reader);
        return ERAR_LINK;
    }
    const QString root = destination.isEmpty() ? QStringLiteral(".") : QDir::cleanPath(destination);
    bool throughLink = false;
    if (!relative.isEmpty()) {
        // No folder on the way may be a symbolic link (made by someone else, since we make none).
        QString walked = root;
        const QStringList parts = relative.split(QLatin1Char('/'));
        for (qsizetype i = 0; i + 1 < parts.size() && !throughLink; ++i) {
            walked += QLatin1Char('/') + parts[i];
            throughLink = QFileInfo(walked).isSymLink();
        }
    }
    if (relative.isEmpty() || throughLink) {
        qCDebug(lcArchive) << "entry refused, it would leave the destination:" << name;
        archive_read_data_skip(reader);
        return ERAR_UNSAFE_NAME;
    }

    const QString target = root + QLatin1Char('/') + relative;
    if (archive_entry_filetype(entry) == AE_IFDIR)
        return QDir().mkpath(target) ? ERAR_SUCCESS : ERAR_ECREATE;
    if (!QDir().mkpath(QFileInfo(target).absolutePath()))
        return ERAR_ECREATE;
    if (QFileInfo(target).isSymLink())
        QFile::remove(target); // replaced, never written through
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        archive_read_data_skip(reader);
        return ERAR_ECREATE;
    }
    uLong crc = crc32(0L, nullptr, 0);
    quint64 written = 0;
    for (;;) {
        const void* block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        const int result = archive_read_data_block(reader, &block, &size, &offset);
        if (result == ARCHIVE_EOF)
            break;
        if (result < ARCHIVE_WARN) {
            qCDebug(lcArchive) << "cannot read" << name << archive_error_string(reader);
            out.close();
            if (!m_impl->missing.isEmpty())
                return volumeMissing();
            if (mentions(reader, "CRC") || mentions(reader, "hecksum")) {
                QFile::remove(target); // damaged: not kept
                return ERAR_BAD_DATA;
            }
            return ERAR_EREAD;
        }
        if (!out.seek(offset) || out.write(static_cast<const char*>(block), qint64(size)) != qint64(size))
            return ERAR_EWRITE;
        // RAR data has no holes: the blocks come in order, so the CRC runs over them as they come.
        for (size_t done = 0; done < size;) {
            const auto chunk = uInt(std::min<size_t>(size - done, 1u << 30));
            crc = crc32(crc, static_cast<const Bytef*>(block) + done, chunk);
            done += chunk;
        }
        written += size;
    }
    // The library leaves the CRC of stored data unchecked: a damaged file is not kept.
    const qsizetype index = m_impl->index;
    if (index >= 0 && index < m_impl->checks.size()) {
        const RarEntryCheck& check = m_impl->checks[index];
        if (check.hasCrc && !check.folder && check.unpackedSize == written && quint32(crc) != check.crc) {
            qCDebug(lcArchive) << "checksum error, the file is not kept:" << name;
            out.close();
            QFile::remove(target);
            return ERAR_BAD_DATA;
        }
    }
    if (archive_entry_mtime_is_set(entry))
        out.setFileTime(QDateTime::fromSecsSinceEpoch(archive_entry_mtime(entry)), QFileDevice::FileModificationTime);
    out.close();
    return out.error() == QFileDevice::NoError ? ERAR_SUCCESS : ERAR_ECLOSE;
}
