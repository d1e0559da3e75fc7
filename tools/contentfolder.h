#pragma once

// A content folder as the tool reads it: the disk files, and the pack beside them.

#include "contenterror.h"
#include "contentpack.h"
#include "pathresolver.h"
#include "startupvalues.h"
#include "toolsupport.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

// A content folder as the reader opens it: its interface.dat, when there is one, with the folder
// as the pack's base, and the disk files beside it.
struct ContentFolder
{
    explicit ContentFolder(const QString& folder)
        : path(QDir::cleanPath(QFileInfo(folder).absoluteFilePath())), disk(mountPointOf(path)), pack(disk)
    {
        if (!QFileInfo(folder).isDir())
            fail(ExitBadInput, QStringLiteral("%1 is not a folder").arg(folder));
        const QString packPath = disk.resolve(path + QStringLiteral("/interface.dat"));
        if (!QFileInfo(packPath).isFile())
            return;
        bool valid = false;
        try {
            valid = pack.OpenPack(packPath);
        } catch (const ContentError& error) {
            fail(ExitBadInput, error.message());
        }
        // A damaged pack is absent; the disk files still serve.
        if (!valid)
            std::fprintf(stderr, "velbrook-tool: %s\n", qUtf8Printable(printable(pack.errorString())));
        pack.SetPackBase(path + QLatin1Char('/'));
    }

    QString path;
    PathResolver disk;
    ContentPack pack;
};
