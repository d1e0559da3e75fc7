#pragma once

#include <QString>

// The values computed once at start-up and read by most of the program. All folders end with '/'.
struct StartupValues
{
    // Mount point of the volume that holds the content folder: what a drive letter in the
    // content ("d:\soft\x.exe") and the "<cd>" marker of script paths stand for.
    QString programDrive;
    // The content folder: Kel.dhl, interface.dat and the plain files beside them.
    QString programDir;
    // The folder the pack's paths are relative to: programDir without its "run/" folder, for
    // titles whose program lived in a "run" folder below the content.
    QString contentDir;
    // There is no system folder to install codecs into here; this is the per-user data folder of
    // the program, where such files would go.
    QString systemDir;
    // Stands for the Windows folder: the per-user data folder (~/.local/share/), whose "fonts"
    // folder is where installed fonts go.
    QString windowsDir;
    // The user's temporary folder.
    QString tempDir;
    // The title from the script header; empty until the header is read.
    QString appTitle;

    // Values for a content folder (relative folders are taken from the current folder).
    static StartupValues forContentFolder(const QString& contentFolder);
};

// The mount point holding path, with a trailing '/' ("/" when it cannot be told).
QString mountPointOf(const QString& path);

// programDir with its first folder named "run" below programDrive taken out, compared without
// regard to case: "/media/cd/run/" gives "/media/cd/".
QString contentDirOf(const QString& programDir, const QString& programDrive);

// Without a session runtime folder (a bare console, CI) Qt warns on every start and falls back to
// /tmp/runtime-<user>: names that folder in XDG_RUNTIME_DIR, made private as Qt wants it.
void ensureRuntimeFolder();
