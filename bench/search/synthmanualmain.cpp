// velbrook-synth-manual OUTDIR [--pages N]: writes the large synthetic manual into OUTDIR.

#include "contenterror.h"
#include "synthmanual.h"

#include <QCoreApplication>

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
    if (args.size() != 1 || args.first().startsWith(QLatin1String("-"))) {
        std::fputs("usage: velbrook-synth-manual OUTDIR [--pages N]\n", stderr);
        return 2;
    }
    try {
        const SyntheticManual manual = makeSyntheticManual(args.first(), pages);
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
