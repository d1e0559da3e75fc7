// velbrook-synth-manual OUTDIR [--pages N] [--pages-to FOLDER]: writes the large synthetic manual
// into OUTDIR; with --pages-to its pages also as plain files below FOLDER (for a baseline such as
// grep over the same pages).

#include "contenterror.h"
#include "synthmanual.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int pages = 3000;
    const qsizetype option = args.indexOf(QStringLiteral("--pages"));
    if (option >= 0) {
        bool ok = false;
        pages = option + 1 < args.size() ? args.at(option + 1).toInt(&ok) : 0;
        if (!ok || pages < 1) {
            std::fputs("velbrook-synth-manual: --pages needs a positive number\n", stderr);
            return 2;
        }
        args.remove(option, 2);
    }
    QString plainFolder;
    const qsizetype plainOption = args.indexOf(QStringLiteral("--pages-to"));
    if (plainOption >= 0) {
        if (plainOption + 1 >= args.size()) {
            std::fputs("velbrook-synth-manual: --pages-to needs a folder\n", stderr);
            return 2;
        }
        plainFolder = args.at(plainOption + 1);
        args.remove(plainOption, 2);
    }
    if (args.size() != 1 || args.first().startsWith(QLatin1String("-"))) {
        std::fputs("usage: velbrook-synth-manual OUTDIR [--pages N] [--pages-to FOLDER]\n", stderr);
        return 2;
    }
    try {
        const SyntheticManual manual = makeSyntheticManual(args.first(), pages);
        if (!plainFolder.isEmpty()) {
            forEachSyntheticPage(pages, [&](const QString& path, const QByteArray& bytes) {
                const QString target = plainFolder + QLatin1Char('/') + path;
                QDir().mkpath(QFileInfo(target).path());
                QSaveFile file(target);
                if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
                    throw ContentError(QStringLiteral("Cannot write file %1").arg(target));
            });
        }
        std::printf("%s: %d pages, %lld keywords\ncommon word: %s\nrare word: %s\nmissing word: %s\n",
                    qUtf8Printable(manual.packPath), manual.pages, static_cast<long long>(manual.keywords),
                    qUtf8Printable(manual.commonWord), qUtf8Printable(manual.rareWord),
                    qUtf8Printable(manual.missingWord));
    } catch (const ContentError& error) {
        std::fprintf(stderr, "velbrook-synth-manual: %s\n", qUtf8Printable(error.message()));
        return 2;
    }
    return 0;
}
