// velbrook-tool: inspects and builds the content of a title (scripts, the resource container,
// the content pack, the indexes) and shows how its paths are read.

#include "contenterror.h"
#include "toolsupport.h"

#include <QCoreApplication>

#include <cstdio>
#include <new>

namespace {

const char kHelp[] = R"(velbrook-tool: inspect and build Velbrook content

  script decode FILE [--lower]           decoded lines of a stored script, as a JSON array
  script encode TEXTFILE -o OUT          store a UTF-8 text file as a script (code page 1251)
  script dump CONTAINER [SCRIPT]         a skin script as the reader reads it, as JSON
  tree dump CONTAINER SCRIPT             a contents tree script as the reader reads it, as JSON
  container list FILE                    name, offset and size of every entry
  container cat FILE NAME                an entry's bytes
  container build OUT FILE...            a container with one entry per file
  pack list FILE                         every packed file
  pack cat FILE PATH [--base FOLDER]     a packed file's unpacked bytes
  pack build OUT FOLDER                  a pack of the tree below FOLDER
  path expand VALUE --program-dir DIR [--program-drive DIR]
                                         where a script's path value leads
  path combine BASE RELATIVE             a relative path joined to a folder
  index build FOLDER                     the full-text index (keywords.idx, index.idx, files.idx)
                                         of the pages below FOLDER, written into FOLDER
  index find FOLDER WORD                 the pages the index of FOLDER lists for WORD (any case),
                                         as path<TAB>title lines
  thesaurus find FOLDER WORD             the thesaurus page of WORD ("" for the start page)
  scan FOLDER TEXT [--match-case]        the pages of FOLDER (disk and pack, each once) whose
                                         visible text holds TEXT, any case unless --match-case,
                                         as paths relative to FOLDER in scan order; exit 0 when
                                         some page matched, 1 when none did
  send CAPTION KIND [STRING...]          a request to the window with CAPTION, as the companion
                                         program sends it (string i in slot i, type code i):
                                         KIND 3 query file prints yes (exit 0), no or none (exit 1);
                                         KIND 0 show page prints shown (exit 0) or none (exit 1);
                                         KIND 1 print file prints sent (exit 0) or none (exit 1)
  archive list FILE                      every entry of a RAR archive, across its volumes, as
                                         d|f<TAB>size<TAB>path lines
  archive extract FILE DEST              unpacks every entry below DEST, printing each path made;
                                         names that would leave DEST are refused (exit 1)
  archive pages FILE OUTDIR              the listing pages the reader shows for FILE, written into
                                         OUTDIR; prints the frame set page's path
  archive build OUT FOLDER [--volume-size BYTES] [--old-names]
                                         a RAR 4 archive (stored entries) of the tree below
                                         FOLDER, split into volumes of BYTES of data

Exit status: 0 done, 1 a named entry or file was not found, 2 bad usage or unreadable input.
Names read from a file are printed with control characters escaped (\n, \t, \x1b, ...).
)";

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList words = app.arguments().mid(1);

    if (words.isEmpty() || words.first() == QLatin1String("--help") || words.first() == QLatin1String("-h")) {
        std::fputs(kHelp, words.isEmpty() ? stderr : stdout);
        return words.isEmpty() ? ExitBadInput : ExitOk;
    }

    try {
        if (words.first() == QLatin1String("send")) {
            words.takeFirst();
            ToolArgs args(words, QStringLiteral("send CAPTION KIND [STRING...]"));
            const int code = runSendCommand(args);
            std::fflush(stdout);
            return code;
        }
        if (words.first() == QLatin1String("scan")) {
            words.takeFirst();
            ToolArgs args(words, QStringLiteral("scan FOLDER TEXT [--match-case]"));
            const int code = runScanCommand(args);
            std::fflush(stdout);
            return code;
        }
        if (words.size() < 2)
            fail(ExitBadInput, QStringLiteral("usage: velbrook-tool GROUP VERB ... (see --help)"));
        const QString group = words.takeFirst();
        const QString verb = words.takeFirst();
        ToolArgs args(words, group + QLatin1Char(' ') + verb + QStringLiteral(" ... (see --help)"));
        bool known = false;
        if (group == QLatin1String("script"))
            known = runScriptCommand(verb, args);
        else if (group == QLatin1String("container"))
            known = runContainerCommand(verb, args);
        else if (group == QLatin1String("pack"))
            known = runPackCommand(verb, args);
        else if (group == QLatin1String("tree"))
            known = runTreeCommand(verb, args);
        else if (group == QLatin1String("path"))
            known = runPathCommand(verb, args);
        else if (group == QLatin1String("index"))
            known = runIndexCommand(verb, args);
        else if (group == QLatin1String("thesaurus"))
            known = runThesaurusCommand(verb, args);
        else if (group == QLatin1String("archive"))
            known = runArchiveCommand(verb, args);
        if (!known)
            fail(ExitBadInput, QStringLiteral("unknown command \"%1 %2\" (see --help)").arg(group, verb));
    } catch (const ToolFailure& failure) {
        std::fflush(stdout);
        // An empty message: the command has said everything on its own lines.
        if (!failure.message.isEmpty())
            std::fprintf(stderr, "velbrook-tool: %s\n", qUtf8Printable(printable(failure.message)));
        return failure.code;
    } catch (const ContentError& error) {
        // Commands turn the content errors they expect into failures; one that slips past is
        // still unreadable input.
        std::fflush(stdout);
        std::fprintf(stderr, "velbrook-tool: %s\n", qUtf8Printable(printable(error.message())));
        return ExitBadInput;
    } catch (const std::bad_alloc&) {
        // Input that asks for more memory than there is counts as unreadable.
        std::fflush(stdout);
        std::fputs("velbrook-tool: out of memory: the input is too large or damaged\n", stderr);
        return ExitBadInput;
    }
    std::fflush(stdout);
    return ExitOk;
}
