// velbrook-large-title DEMO OUT [--pages N]: a large title for the large-manual run. OUT gets the
// demo's content folder (skin, scripts, disk files) with N synthetic pages (30,000 by default) added
// to its pack beside the demo's own, a contents tree of the demo's items followed by one item per
// synthetic page (under a heading and a part per hundred pages), and the full-text index of every
// page. The demo's pages, skin and start pages stay as they are, so the same commands work on both.

#include "contenterror.h"
#include "contentpack.h"
#include "indexbuilder.h"
#include "packwriter.h"
#include "pathresolver.h"
#include "readbin.h"
#include "scriptcodec.h"
#include "synthmanual.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

const QStringList kIndexFiles{QStringLiteral("keywords.idx"), QStringLiteral("index.idx"), QStringLiteral("files.idx")};

bool isIndexFile(const QString& path)
{
    return kIndexFiles.contains(QFileInfo(path).fileName(), Qt::CaseInsensitive);
}

// Every file below from, copied to to, but the pack, the container and the index files.
void copyDiskFiles(const QString& from, const QString& to)
{
    QDirIterator files(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        const QString relative = QDir(from).relativeFilePath(path);
        if (relative.compare(u"interface.dat", Qt::CaseInsensitive) == 0 ||
            relative.compare(u"Kel.dhl", Qt::CaseInsensitive) == 0 || isIndexFile(relative))
            continue;
        const QString target = to + QLatin1Char('/') + relative;
        QDir().mkpath(QFileInfo(target).path());
        QFile::remove(target);
        if (!QFile::copy(path, target))
            throw ContentError(QStringLiteral("Cannot copy %1 to %2").arg(path, target));
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int pages = 30000;
    const qsizetype option = args.indexOf(QStringLiteral("--pages"));
    if (option >= 0) {
        bool ok = false;
        pages = option + 1 < args.size() ? args.at(option + 1).toInt(&ok) : 0;
        if (!ok || pages < 1) {
            std::fputs("velbrook-large-title: --pages needs a positive number\n", stderr);
            return 2;
        }
        args.remove(option, 2);
    }
    if (args.size() != 2 || args[0].startsWith(QLatin1Char('-')) || args[1].startsWith(QLatin1Char('-'))) {
        std::fputs("usage: velbrook-large-title DEMO OUT [--pages N]\n", stderr);
        return 2;
    }
    const QString demo = QDir(args[0]).absolutePath();
    const QString out = QDir(args[1]).absolutePath();
    try {
        if (!QDir().mkpath(out))
            throw ContentError(QStringLiteral("Cannot create folder %1").arg(out));
        copyDiskFiles(demo, out);

        // The demo's packed files, then the synthetic pages.
        PathResolver disk;
        ContentPack demoPack(disk);
        if (!demoPack.OpenPack(demo + QStringLiteral("/interface.dat")))
            throw ContentError(demoPack.errorString());
        demoPack.SetPackBase(demo + QLatin1Char('/'));
        PackWriter pack;
        for (const QString& file : demoPack.ListPackFiles()) {
            if (isIndexFile(file))
                continue; // the index of the large title is written below
            const std::optional<QByteArray> bytes = demoPack.readFile(demo + QLatin1Char('/') + file);
            if (!bytes)
                throw ContentError(QStringLiteral("Cannot read %1 from the demo's pack").arg(file));
            pack.addFile(file, *bytes);
        }
        QStringList tree = forEachSyntheticPage(
            pages, [&pack](const QString& path, const QByteArray& bytes) { pack.addFile(path, bytes); });
        pack.write(out + QStringLiteral("/interface.dat"));

        // The demo's container with its first tree followed by the synthetic pages.
        TReadBin container;
        container.Open(demo + QStringLiteral("/Kel.dhl"));
        ContainerWriter writer;
        int treeItems = 0;
        for (const RBin& entry : container.directory()) {
            QByteArray bytes = container.Read(entry.name).value_or(QByteArray());
            if (entry.name.compare(u"tree1.cfs", Qt::CaseInsensitive) == 0) {
                QStringList lines = DecodeScript(bytes, false);
                lines.append(QStringLiteral(u";Большое руководство"));
                for (const QString& line : std::as_const(tree))
                    lines.append(QLatin1Char('\t') + line);
                treeItems = int(lines.size());
                bytes = encodeScript(lines);
            }
            writer.add(entry.name, bytes);
        }
        writer.write(out + QStringLiteral("/Kel.dhl"));

        // The index of every page, disk and pack, written beside them.
        const FullTextIndex index = buildFullTextIndex(out);
        writeFullTextIndex(index, out);
        std::printf("%s: %d synthetic pages, %lld pages indexed, %d tree lines\n", qUtf8Printable(out), pages,
                    static_cast<long long>(index.pages), treeItems);
    } catch (const ContentError& error) {
        std::fprintf(stderr, "velbrook-large-title: %s\n", qUtf8Printable(error.message()));
        return 2;
    }
    return 0;
}
