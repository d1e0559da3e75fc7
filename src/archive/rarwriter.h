#pragma once

// Writes RAR 4 archives with stored (uncompressed) entries, in one file or split into volumes:
// the fixtures of the tests and the demo's archive. Names are stored in the DOS code page (866)
// when every character has a byte there, else as RAR 4 Unicode names.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class RarWriter
{
public:
    // Volume names: "name.part1.rar", "name.part2.rar", ... or "name.rar", "name.r00", ...
    enum class Naming
    {
        Parts,
        Old,
    };

    // dosTime 0 leaves the entry without a time.
    void addFolder(const QString& name, qint32 dosTime = 0);
    void addFile(const QString& name, const QByteArray& data, qint32 dosTime = 0);
    void addSymlink(const QString& name, const QString& target);
    // A file as RAR for Unix stores it: made on Unix, its name the UTF-8 bytes as they are, '/'
    // between folders, with no Unicode name beside them.
    void addUnixFile(const QString& name, const QByteArray& data, qint32 dosTime = 0);

    // Writes the archive at path; with volumeSize above 0, each volume holds at most that many
    // bytes of entry data and an entry may run on into the next volume. Returns the files
    // written, in order, or an empty list when one could not be written.
    QStringList write(const QString& path, qint64 volumeSize = 0, Naming naming = Naming::Parts) const;

    static QString volumeName(const QString& path, int index, int count, Naming naming);
    static qint32 dosTimeOf(int year, int month, int day, int hour, int minute, int second = 0);

private:
    struct Entry
    {
        QString name;
        QByteArray data;
        qint32 time = 0;
        bool folder = false;
        bool symlink = false;
        bool unixName = false;
    };
    QList<Entry> m_entries;
};
