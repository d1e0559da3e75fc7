#pragma once

// The content pack interface.dat: pages, pictures, style sheets and index files in one file, with
// a directory of folders and entries, each entry stored or deflated. The file opener reads a path
// from the pack when the pack holds it and from the disk otherwise, so the same content works
// packed, unpacked or partly both.

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class PathResolver;
class QBuffer;

struct PackFolder
{
    quint32 firstEntry = 0;
    quint32 entryCount = 0;
};

struct PackEntry
{
    enum Type : quint32
    {
        File = 1,
        Folder = 2,
    };

    QByteArray name;    // as stored: normalised, code page 1251, at most 64 bytes
    quint32 offset = 0; // file: offset of its stored bytes in the data area; folder: its PackFolder
    quint32 storedSize = 0;
    quint32 size = 0;
    quint32 type = 0;
};

class ContentPack
{
public:
    // The disk side of the opener, and the reading of drive letters in paths.
    explicit ContentPack(const PathResolver& disk);
    Q_DISABLE_COPY_MOVE(ContentPack)
    ~ContentPack();

    // Replaces the open pack with packPath and empties the base folder. A file that cannot be
    // opened raises ContentError "Cannot open file <path>". A damaged pack (a directory that does
    // not inflate to its size or does not fit the file, folders that do not form a tree) is
    // refused: the pack is then absent, disk files still serve, errorString() says why, and the
    // result is false. So is a directory larger than any real pack's (more than
    // PackFormat::kMaxEntries entries, or inflating more than kMaxDirectoryRatio times its packed
    // size), and one that does not fit in memory.
    bool OpenPack(const QString& packPath);
    bool isOpen() const { return m_open; }
    QString errorString() const { return m_error; }

    // Paths that begin with folder are looked up without it.
    void SetPackBase(const QString& folder);

    // The index of the packed file that path names, or -1. '/' and '\' alike, any case.
    int FindPackEntry(const QString& path) const;

    // The unpacked bytes of a file entry into stream, positioned at 0: 0, or -1 when the entry is
    // not a readable file.
    int LoadPackEntry(int index, QBuffer& stream) const;

    enum class Load
    {
        Loaded,
        NotAFile,
        Corrupt, // does not unpack to its size, claims a size no deflate stream can reach, or
                 // does not fit in memory
    };
    // The unpacked bytes of a file entry into data, whose memory is used again when it has
    // enough (a reader of many files keeps one array). data holds nothing of use unless Loaded.
    Load loadEntry(int index, QByteArray& data) const;

    // Lets the system take back the memory that reading entries brought in from the pack file
    // (what is read again comes from the file again): a reader that goes once through many
    // entries, such as a search across all pages, then does not hold the whole pack in memory.
    void releaseMappedPages() const;

    // True when a disk file of that path exists or the pack holds it.
    bool PackFileExists(const QString& path) const;

    // The paths of all packed files below the root, '/' between folders, names as stored;
    // entries whose names begin with '.' are left out with all they hold.
    QStringList ListPackFiles() const;

    // The file opener: the packed bytes when the pack holds path (and they unpack), else the
    // disk file's; nothing when neither can be read.
    std::optional<QByteArray> readFile(const QString& path) const;

    const QList<PackEntry>& entries() const { return m_entries; }
    // The disk side of the opener.
    const PathResolver& disk() const { return m_disk; }
    const QList<PackFolder>& folders() const { return m_folders; }

    // The form names take in the pack: '/' -> '\', a-z -> A-Z, and the lower-case Cyrillic
    // letters of code page 1251 (0xE0..0xFF) to upper case; every other byte (ё too) stays.
    static QByteArray NormalisePackPath(QByteArray path);

private:
    bool readPack(); // OpenPack once the file is open
    void close();
    void refuse(const QString& why);
    QByteArray normalisedQuery(const QString& path, bool* ok) const;
    int findInFolder(quint32 folder, const QByteArray& name) const;

    const PathResolver& m_disk;
    QString m_packPath;
    QString m_error;
    bool m_open = false;
    QFile m_file;
    QByteArray m_fileBytes;        // when the file could not be mapped
    const uchar* m_data = nullptr; // the whole pack file
    qint64 m_dataSize = 0;
    qint64 m_dataAreaStart = 0;
    quint32 m_reserved = 0;
    quint32 m_rootFolder = 0;
    QList<PackFolder> m_folders;
    QList<PackEntry> m_entries;
    QList<QHash<QByteArray, int>> m_folderNames; // per folder: name -> first entry of that name
    QByteArray m_base;
};
