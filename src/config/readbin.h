#pragma once

// The resource container Kel.dhl: a directory of named entries (scripts, skin pictures, the
// icon) followed by their data. The directory is read once; each entry is read on demand.

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class QBuffer;

// One directory record.
struct RBin
{
    QString name;
    qint32 offset = 0;
    qint32 size = 0;
};

using TDynamicBinArray = QList<RBin>;

class TReadBin
{
public:
    // Reads the directory of fileName. A file that cannot be opened, a truncated directory, a name
    // length outside 1..256 or an entry whose data leaves the file raises ContentError, and the
    // reader is left empty.
    void Open(const QString& fileName);

    // Names compare without regard to case, Cyrillic included; the first record of a name decides.
    bool Exists(const QString& name) const;

    // The entry's bytes into block; returns their count, or -1 when there is no such entry or it
    // cannot be read.
    int ReadToMemory(const QString& name, QByteArray& block) const;

    // The entry's bytes as the whole content of stream, positioned at 0; false when there is no
    // such entry or it cannot be read (the stream is then left as it was).
    bool ReadToStream(const QString& name, QBuffer& stream) const;

    std::optional<QByteArray> Read(const QString& name) const;

    QString fileName() const { return m_fileName; }
    const TDynamicBinArray& directory() const { return m_directory; }

private:
    const RBin* find(const QString& name) const;

    QString m_fileName;
    TDynamicBinArray m_directory;
};

// Builds a container file; the inverse of TReadBin.
class ContainerWriter
{
public:
    void add(const QString& name, const QByteArray& data);

    // The container's bytes. Raises ContentError for a name that is empty, longer than 256 bytes
    // or not writable in code page 1251, for more than 65535 entries, or past 2 GiB.
    QByteArray build() const;
    // build(), written to fileName (ContentError when it cannot be written).
    void write(const QString& fileName) const;

private:
    QList<std::pair<QString, QByteArray>> m_entries;
};
