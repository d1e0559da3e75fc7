#pragma once

// The volumes of a RAR archive on disk: which names follow the first one (".part2.rar" after
// ".part1.rar", or ".r00", ".r01", ... after ".rar"), and what a volume's own headers say about
// it (a volume of a set, and whether another volume follows it).

#include <QList>
#include <QString>
#include <QStringList>

struct RarVolumeInfo
{
    bool readable = false; // a RAR 4 or RAR 5 archive whose headers could be walked
    bool volume = false;   // one volume of a set
    bool newNumbering = false;
    bool continues = false; // another volume follows this one
    bool encryptedHeaders = false;
    bool rar5 = false;
    bool endHeader = false; // the volume ends with its end-of-archive header
};

RarVolumeInfo scanRarVolume(const QString& path);

// What the file headers of a set say about each entry, in archive order, one per entry (a file
// split over volumes once): whether it is a folder, its unpacked size, the CRC-32 of its unpacked
// data when the headers carry one, and how its name is stored. libarchive tells neither: it does
// not check the CRC of stored data, so the unpacking does, and it reads every RAR 4 name not
// marked Unicode in one code page. Empty when the headers cannot be walked (encrypted headers, a
// format not known here).
struct RarEntryCheck
{
    bool folder = false;
    quint64 unpackedSize = 0;
    bool hasCrc = false;
    quint32 crc = 0;
    bool unixName = false; // RAR 4, made on Unix, not marked Unicode: the name's bytes are UTF-8
};
QList<RarEntryCheck> rarEntryChecks(const QStringList& volumes);

// The name of the volume after `path` in its set; empty when the name follows neither scheme.
// newNumbering is what the first volume's header says (RAR 5 always numbers ".partN.rar").
QString nextRarVolumeName(const QString& path, bool newNumbering);

struct RarVolumeSet
{
    QStringList present; // the first volume and those that follow it without a gap
    QString missing;     // the next volume when the last present one continues and it is absent
};

RarVolumeSet findRarVolumes(const QString& first);
