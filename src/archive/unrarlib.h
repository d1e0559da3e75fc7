#pragma once

// The archive library under the listing and the extraction: the five operations of the UnRAR
// library (open, close, read the next header, process the entry, set the volume callback), their
// records and result codes, carried out by libarchive. Names come out as text, whether the
// archive stored them in the DOS code page (866), as Unicode, or (RAR for Unix) as UTF-8, so no
// character is lost. Unpacked data is checked against the CRC-32 its header gives.

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// The library's result codes.
enum RarResult : int
{
    ERAR_SUCCESS = 0,
    ERAR_END_ARCHIVE = 10,
    ERAR_NO_MEMORY = 11,
    ERAR_BAD_DATA = 12,
    ERAR_BAD_ARCHIVE = 13,
    ERAR_UNKNOWN_FORMAT = 14,
    ERAR_EOPEN = 15,
    ERAR_ECREATE = 16,
    ERAR_ECLOSE = 17,
    ERAR_EREAD = 18,
    ERAR_EWRITE = 19,
    // Ours: the entry's name would leave the destination (absolute, a drive letter, "..", or a
    // path through a symbolic link), so it was not written.
    ERAR_UNSAFE_NAME = 30,
    // Ours: the entry is a link (symbolic or hard), which is never made.
    ERAR_LINK = 31,
};

enum RarOpenMode : int
{
    RAR_OM_LIST = 0,
    RAR_OM_EXTRACT = 1,
};

enum RarOperation : int
{
    RAR_SKIP = 0,
    RAR_EXTRACT = 2,
};

// The volume callback's modes: the volume cannot be found (answer false to give up), or the
// library moves on to it.
enum RarVolumeMode : int
{
    RAR_VOL_ASK = 0,
    RAR_VOL_NOTIFY = 1,
};

// An entry is a folder when all three bits under this mask are set.
inline constexpr quint32 kRarDirectoryMask = 0xE0;

struct RAROpenArchiveData
{
    QString ArcName;
    RarOpenMode OpenMode = RAR_OM_LIST;
    int OpenResult = ERAR_SUCCESS;
};

struct RARHeaderData
{
    QString FileName; // the path inside the archive, '\' or '/' as stored
    quint32 Flags = 0;
    qint64 UnpSize = 0;
    qint32 FileTime = 0; // DOS date-time in local time; 0 when the entry has none

    bool isFolder() const { return (Flags & kRarDirectoryMask) == kRarDirectoryMask; }
};

using RarVolumeCallback = std::function<bool(const QString& volume, RarVolumeMode mode)>;

class RarArchive final
{
public:
    // The archive opened with its volumes; nullptr when data.OpenResult is not ERAR_SUCCESS.
    static std::unique_ptr<RarArchive> RAROpenArchive(RAROpenArchiveData& data);
    ~RarArchive(); // RARCloseArchive
    Q_DISABLE_COPY_MOVE(RarArchive)

    // ERAR_SUCCESS with the next entry in header, ERAR_END_ARCHIVE, ERAR_BAD_DATA for a broken
    // header, ERAR_EOPEN when the next volume is missing.
    int RARReadHeader(RARHeaderData& header);
    // Skips the entry, or writes it below destination (its path inside the archive kept).
    // Data whose CRC-32 differs from its header's is not kept: ERAR_BAD_DATA.
    int RARProcessFile(RarOperation operation, const QString& destination);
    void RARSetCallback(RarVolumeCallback callback) { m_callback = std::move(callback); }

    // The path, below the destination, at which an entry of this name is written ('/'-separated,
    // "." and empty components dropped); empty when the name would leave the destination.
    static QString safeRelativePath(const QString& name);

    // A RAR 4 name of an entry made on Unix, which libarchive read as code page 866: RAR for Unix
    // stores names as their UTF-8 bytes without marking them Unicode. When the name's bytes form
    // valid UTF-8 with at least one multi-byte character, that is what they are; otherwise the
    // name stays as read.
    static QString unixNameOf(const QString& readAsCp866);

private:
    struct Impl;
    explicit RarArchive(std::unique_ptr<Impl> impl);
    int volumeMissing();
    int extract(const QString& destination);

    std::unique_ptr<Impl> m_impl;
    RarVolumeCallback m_callback;
};
