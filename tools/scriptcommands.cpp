#include "toolsupport.h"

#include "contenterror.h"
#include "readbin.h"
#include "scriptcodec.h"
#include "skinpictures.h"
#include "skinscript.h"
#include "startupvalues.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringDecoder>

namespace {

void decode(ToolArgs& args)
{
    args.setUsage(QStringLiteral("script decode FILE [--lower]"));
    const bool lower = args.takeFlag(QStringLiteral("--lower"));
    const QStringList words = args.positional(1, 1);
    const QStringList lines = DecodeScript(readInputFile(words[0]), lower);
    writeOutput(QJsonDocument(QJsonArray::fromStringList(lines)).toJson(QJsonDocument::Indented));
}

// The lines of a UTF-8 text file: ended by LF or CR LF; a last line without an end counts too.
QStringList textLines(const QString& path)
{
    QByteArray bytes = readInputFile(path);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (utf8.hasError())
        fail(ExitBadInput, QStringLiteral("%1 is not UTF-8 text").arg(path));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.last().isEmpty())
        lines.removeLast();
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

void encode(ToolArgs& args)
{
    args.setUsage(QStringLiteral("script encode TEXTFILE -o OUT"));
    const std::optional<QString> out = args.takeOption(QStringLiteral("-o"));
    const QStringList words = args.positional(1, 1);
    if (!out)
        args.usageFailure();
    const QStringList lines = textLines(words[0]);
    bool lossless = true;
    const QByteArray stored = encodeScript(lines, &lossless);
    if (!lossless) {
        for (qsizetype i = 0; i < lines.size(); ++i) {
            for (const QChar c : lines[i]) {
                bool ok = true;
                encodeScript({QString(c)}, &ok);
                if (!ok)
                    fail(ExitBadInput, QStringLiteral("%1: line %2: \"%3\" has no code page 1251 byte")
                                           .arg(words[0])
                                           .arg(i + 1)
                                           .arg(c));
            }
        }
    }
    QFile file(*out);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(stored) != stored.size())
        fail(ExitBadInput, QStringLiteral("cannot write %1").arg(*out));
}

// The model of a skin script as the reader reads it, from a container beside its content.
void dump(ToolArgs& args)
{
    args.setUsage(QStringLiteral("script dump CONTAINER [SCRIPT]"));
    const QStringList words = args.positional(1, 2);
    const QString name = words.size() > 1 ? words[1] : QStringLiteral("Struct.cfs");
    TReadBin container;
    try {
        container.Open(words[0]);
    } catch (const ContentError& error) {
        fail(ExitBadInput, error.message());
    }
    const std::optional<QByteArray> stored = container.Read(name);
    if (!stored)
        fail(ExitNotFound, QStringLiteral("%1 has no entry \"%2\"").arg(words[0], name));

    const StartupValues values = StartupValues::forContentFolder(QFileInfo(words[0]).absolutePath());
    const bool thesaurus = name.compare(QLatin1String("Tesaurus.cfs"), Qt::CaseInsensitive) == 0;
    SkinScript script({values.programDrive, values.programDir},
                      thesaurus ? SkinScript::Variant::Thesaurus : SkinScript::Variant::Main);
    script.read(DecodeScript(*stored, true));
    applyPictureSizes(script, container);
    writeOutput(QJsonDocument(skinScriptToJson(script)).toJson(QJsonDocument::Indented));
}

} // namespace

bool runScriptCommand(const QString& verb, ToolArgs& args)
{
    return runVerb(verb, args, {{"decode", decode}, {"encode", encode}, {"dump", dump}});
}
