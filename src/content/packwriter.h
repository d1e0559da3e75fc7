#pragma once

// Builds content packs; the inverse of ContentPack. Files are deflated when that makes them
// smaller and stored otherwise; the directory likewise. Names are stored normalised, each folder's
// entries in name order, folders breadth first from the root.

#include <QByteArray>
#include <QString>

#include <map>
#include <memory>

class PackWriter
{
public:
    PackWriter();
    ~PackWriter();
    PackWriter(PackWriter&&) noexcept;
    PackWriter& operator=(PackWriter&&) noexcept;

    // path is relative to the root, '/' or '\' between folders. Raises ContentError for a name that
    // is empty, longer than 64 bytes or not writable in code page 1251, and for two names that are
    // the same once normalised ("a.htm" and "A.HTM").
    void addFile(const QString& path, const QByteArray& data);
    void addFolder(const QString& path);

    // Every file and folder below folder, except the file exclude (the pack being written there).
    static PackWriter fromFolder(const QString& folder, const QString& exclude = QString());

    QByteArray build() const;
    void write(const QString& fileName) const;

    // zlib's level for entries and the directory (default: zlib's own default).
    void setCompressionLevel(int level) { m_level = level; }

private:
    struct Node;
    Node& folderAt(const QStringList& components);

    std::unique_ptr<Node> m_root;
    int m_level = -1;
};
