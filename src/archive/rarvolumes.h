#pragma once

// The volumes of a RAR archive on disk: which names follow the first one (".part2.rar" after
// ".part1.rar", or ".r00", ".r01", ... after ".rar"), and what a volume's own headers say about
// it (a volume of a set, and whether another volume follows it).

#include <QString>
#include <QStringList>

struct RarVolumeInfo
{
    bool readable = false; // a RAR 4 or RAR 5 archive whose headers could be walked
    bool volume = false;   // one volume of a set
    bool newNumbering = false;
    bool continues = false; // another volume follows this one
};

RarVolumeInfo scanRarVolume(const QString& path);

// The name of the volume after `path` in its set; empty when the name follows neither scheme.
// newNumbering is what the first volume's header says (RAR 5 always numbers ".partN.rar").
QString nextRarVolumeName(const QString& path, bool newNumbering);

struct RarVolumeSet
{
    QStringList present; // the first volume and those that follow it without a gap
    QString missing;     // the next volume when the last present one continues and it is absent
};

RarVolumeSet findRarVolumes(const QString& first);
