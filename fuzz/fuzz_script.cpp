// Script decoding and tokenising. The input is read twice: as the stored (scrambled) bytes of a
// script, decoded both ways, and as the text of a script, which must come back line for line
// from our writer through the decoder and is then cut into values by every value parser and the
// element reader, at every key a line holds.

#include "contenterror.h"
#include "elementreader.h"
#include "fuzzsupport.h"
#include "scriptcodec.h"
#include "scriptvalues.h"

namespace {

const ProgramFolders kFolders{QStringLiteral("/cd/"), QStringLiteral("/cd/run/")};

void parseValuesAt(const QString& line, qsizetype position)
{
    ParseInt(line, position);
    ParseValue(line, position);
    ParseColor(line, position);
    parseFontStyle(line, position);
    parseOnOff(line, position);
}

// The element reader over a handful of keys of every kind, as the window, dialog and about
// scripts use it: an element starts at a line naming its kind; other lines are passed.
void readElements(const QStringList& lines)
{
    int x = 0, color = 0;
    bool on = false;
    QString text, path;
    FontStyles style;
    QStringList list;
    const ScriptKey keys[] = {intKey(QStringLiteral("vx"), x), textKey(QStringLiteral("fn1"), text),
                              colorKey(QStringLiteral("color"), color), fontStyleKey(QStringLiteral("style"), style)};
    const ScriptKey optional[] = {pathKey(QStringLiteral("fn"), path, kFolders),
                                  onOffKey(QStringLiteral("visible"), on),
                                  listKey(QStringLiteral("vertex"), list, kFolders)};
    static constexpr const char* kinds[] = {"button", "text", "switch"};
    ElementReader reader(lines);
    while (!reader.atEnd()) {
        const int before = reader.line();
        if (!elementKindOn(lines[before], kinds).isEmpty()) {
            reader.read(keys, optional);
            FUZZ_CHECK(reader.line() > before, QStringLiteral("the element reader stood still at line %1").arg(before));
        } else {
            reader.setLine(before + 1);
        }
    }
    reader.find(QStringLiteral("_screen"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::start(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DecodeScript(reinterpret_cast<const char*>(data), qsizetype(size), false);
    DecodeScript(reinterpret_cast<const char*>(data), qsizetype(size), true);

    const QStringList text = fuzz::textLines(data, size);
    bool lossless = false;
    const QByteArray stored = encodeScript(text, &lossless);
    const QStringList lines = DecodeScript(stored, false);
    if (lossless)
        FUZZ_CHECK(lines == text, QStringLiteral("a stored script does not decode to its lines"));
    const QStringList lower = DecodeScript(stored, true);
    FUZZ_CHECK(lower.size() == lines.size(), QStringLiteral("lower-casing changed the line count"));

    for (int i = 0; i < lower.size(); ++i) {
        const QString& line = lower[i];
        parseValuesAt(line, 0);
        for (qsizetype at = line.indexOf(QLatin1Char('=')); at >= 0; at = line.indexOf(QLatin1Char('='), at + 1))
            parseValuesAt(line, at + 1);
        if (line.contains(QLatin1Char('['))) {
            int listLine = i;
            ParseList(lower, listLine, kFolders);
            FUZZ_CHECK(listLine >= i && listLine < lower.size(), QStringLiteral("a list ran off the script"));
            int vertexLine = i;
            try {
                const QList<QPoint> outline = ParseVertexRegion(lower, vertexLine, kFolders);
                FUZZ_CHECK(outline.size() <= kMaxVertices, QStringLiteral("an outline longer than allowed"));
            } catch (const ContentError&) {
            }
        }
    }
    readElements(lower);
    return 0;
}
