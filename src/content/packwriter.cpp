#include "packwriter.h"

#include "codepage.h"
#include "contenterror.h"
#include "contentpack.h"
#include "packformat.h"
#include "pathresolver.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QtEndian>

#include <zlib.h>

#include <cstring>
#include <limits>

namespace {

using namespace PackFormat;

// The deflated form of data when it is smaller, else data itself.
QByteArray deflateIfSmaller(const QByteArray& data, int level)
{
    if (data.isEmpty())
        return data;
    uLongf capacity = compressBound(uLong(data.size()));
    QByteArray packed(qsizetype(capacity), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &capacity, reinterpret_cast<const Bytef*>(data.constData()),
                  uLong(data.size()), level) != Z_OK)
        return data;
    if (qsizetype(capacity) >= data.size())
        return data;
    packed.truncate(qsizetype(capacity));
    return packed;
}

void putWord(QByteArray& out, quint32 value)
{
    char raw[4];
    qToLittleEndian(value, raw);
    out.append(raw, 4);
}

} // namespace

struct PackWriter::Node
{
    QString displayName; // as given, for messages
    bool folder = true;
    QByteArray data;
    std::map<QByteArray, std::unique_ptr<Node>> children; // by stored name: the order in the pack
};

PackWriter::PackWriter() : m_root(std::make_unique<Node>()) {}
PackWriter::~PackWriter() = default;
PackWriter::PackWriter(PackWriter&&) noexcept = default;
PackWriter& PackWriter::operator=(PackWriter&&) noexcept = default;

namespace {

QByteArray storedName(const QString& name)
{
    bool lossless = false;
    const QByteArray bytes = toCp1251(name, &lossless);
    if (bytes.isEmpty() || bytes.size() > kEntryNameSize || !lossless || bytes.contains('\0'))
        throw ContentError(
            QStringLiteral("\"%1\" cannot be a name in the pack: it must be 1 to %2 bytes in code page 1251")
                .arg(name)
                .arg(kEntryNameSize));
    return ContentPack::NormalisePackPath(bytes);
}

QStringList componentsOf(const QString& path)
{
    return toInternalPath(path).split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

} // namespace

PackWriter::Node& PackWriter::folderAt(const QStringList& components)
{
    Node* node = m_root.get();
    for (const QString& component : components) {
        auto& child = node->children[storedName(component)];
        if (!child) {
            child = std::make_unique<Node>();
            child->displayName = component;
        } else if (!child->folder) {
            throw ContentError(QStringLiteral("\"%1\" is a file and a folder at once").arg(component));
        }
        node = child.get();
    }
    return *node;
}

void PackWriter::addFolder(const QString& path)
{
    folderAt(componentsOf(path));
}

void PackWriter::addFile(const QString& path, const QByteArray& data)
{
    QStringList components = componentsOf(path);
    if (components.isEmpty())
        throw ContentError(QStringLiteral("a file in the pack needs a name"));
    const QString name = components.takeLast();
    Node& folder = folderAt(components);
    auto& child = folder.children[storedName(name)];
    if (child)
        throw ContentError(
            QStringLiteral("\"%1\" and \"%2\" have the same name in the pack").arg(child->displayName, path));
    child = std::make_unique<Node>();
    child->displayName = path;
    child->folder = false;
    child->data = data;
}

PackWriter PackWriter::fromFolder(const QString& folder, const QString& exclude)
{
    const QString excluded = exclude.isEmpty() ? QString() : QFileInfo(exclude).absoluteFilePath();
    PackWriter writer;
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QString root = QDir(folder).absolutePath() + QLatin1Char('/');
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString relative = info.absoluteFilePath().mid(root.size());
        if (info.isDir()) {
            writer.addFolder(relative);
            continue;
        }
        if (info.absoluteFilePath() == excluded)
            continue;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw ContentError(QStringLiteral("Cannot open file %1").arg(path));
        writer.addFile(relative, file.readAll());
    }
    return writer;
}

QByteArray PackWriter::build() const
{
    // Folders breadth first: the root is folder 0, and each folder's entries are contiguous.
    struct FolderRecord
    {
        const Node* node;
        quint32 firstEntry = 0;
    };
    QList<FolderRecord> folders{{m_root.get()}};
    QByteArray entries;
    QByteArray dataArea;
    quint32 entryCount = 0;
    for (qsizetype f = 0; f < folders.size(); ++f) {
        folders[f].firstEntry = entryCount;
        for (const auto& [name, child] : folders[f].node->children) {
            QByteArray record(kEntryRecordSize, '\0');
            std::memcpy(record.data(), name.constData(), size_t(name.size()));
            quint32 offset = 0;
            quint32 stored = 0;
            quint32 size = 0;
            if (child->folder) {
                offset = quint32(folders.size());
                folders.append({child.get()});
            } else {
                const QByteArray packed = deflateIfSmaller(child->data, m_level);
                if (dataArea.size() + packed.size() > qsizetype(std::numeric_limits<quint32>::max()))
                    throw ContentError(QStringLiteral("a pack cannot hold more than 4 GiB of data"));
                offset = quint32(dataArea.size());
                stored = quint32(packed.size());
                size = quint32(child->data.size());
                dataArea += packed;
            }
            qToLittleEndian(offset, record.data() + 64);
            qToLittleEndian(stored, record.data() + 68);
            qToLittleEndian(size, record.data() + 72);
            qToLittleEndian(quint32(child->folder ? PackEntry::Folder : PackEntry::File), record.data() + 76);
            entries += record;
            ++entryCount;
        }
    }

    if (entryCount > kMaxEntries)
        throw ContentError(
            QStringLiteral("a pack holds at most %1 files and folders, not %2").arg(kMaxEntries).arg(entryCount));

    QByteArray directory;
    putWord(directory, quint32(folders.size()));
    putWord(directory, entryCount);
    putWord(directory, 0); // reserved
    putWord(directory, 0); // root folder
    for (const FolderRecord& folder : folders) {
        putWord(directory, folder.firstEntry);
        putWord(directory, quint32(folder.node->children.size()));
    }
    directory += entries;

    QByteArray packedDirectory = deflateIfSmaller(directory, m_level);
    // The reader refuses a directory that inflates more than a real one does; stored, it is read.
    if (packedDirectory.size() * kMaxDirectoryRatio < directory.size())
        packedDirectory = directory;
    QByteArray out;
    out.reserve(8 + packedDirectory.size() + dataArea.size());
    putWord(out, quint32(directory.size() - packedDirectory.size()) ^ kSizeDifferenceMask);
    putWord(out, quint32(packedDirectory.size()) ^ kPackedSizeMask);
    out += packedDirectory;
    out += dataArea;
    return out;
}

void PackWriter::write(const QString& fileName) const
{
    const QByteArray bytes = build();
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw ContentError(QStringLiteral("Cannot write file %1").arg(fileName));
}
