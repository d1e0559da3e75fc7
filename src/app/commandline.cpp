#include "commandline.h"

#include <QFileInfo>
#include <QRegularExpression>

const char kUsage[] = R"(Usage: velbrook [options] [FILE [/h] | PAGE /t | FOLDER/Kel.dhl]

Without a file, shows the skinned window of the title in the content folder. With a file, shows it
in a plain window (an enlarged picture; with /h a help page); with /t, the thesaurus window. A
title's Kel.dhl opens the skinned window of the title in its folder, in place of --content.

Options:
  --content DIR         the content folder (default: the program's folder when it holds Kel.dhl,
                        else the current folder)
  --screenshot FILE     draw the window into FILE (PNG) and quit
  --after MS            wait MS milliseconds after start-up before the screenshot (default 0)
  --command CMD         run a command once start-up has finished (repeatable)
  --print-to FILE.pdf   the first print preview prints all its pages to FILE (PDF) with its
                        current settings instead of showing, and the program then quits (exit
                        status 1 when nothing could be printed)
  --version             print the version and quit
  --help                print this text and quit
)";

namespace {

// A marker is a word of its own: paths here are written with '/', so "/t" inside
// "/tmp/picture.gif" is part of the file's name.
QRegularExpression markerPattern(const QString& marker)
{
    return QRegularExpression(QStringLiteral("(^|\\s)%1(?=\\s|$)").arg(QRegularExpression::escape(marker)),
                              QRegularExpression::CaseInsensitiveOption);
}

} // namespace

QString copyArgument(const QString& rawParameters, const QString& marker, bool* copyFlag)
{
    QString argument = rawParameters;
    argument.remove(QLatin1Char('"'));
    argument = argument.trimmed();
    const QRegularExpressionMatch match = markerPattern(marker).match(argument);
    if (match.hasMatch()) {
        argument.remove(match.capturedStart(), match.capturedLength());
        *copyFlag = true;
    }
    return argument.trimmed();
}

bool isContainerPath(const QString& path)
{
    return QFileInfo(path).fileName().compare(QLatin1String("Kel.dhl"), Qt::CaseInsensitive) == 0;
}

CommandLine CommandLine::parse(const QStringList& arguments)
{
    CommandLine line;
    const QStringList words = arguments.mid(1);
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& word = words[i];
        const auto value = [&]() -> QString {
            if (i + 1 >= words.size()) {
                line.error = QStringLiteral("%1 needs a value").arg(word);
                return {};
            }
            return words[++i];
        };
        if (word == QLatin1String("--content"))
            line.contentFolder = value();
        else if (word == QLatin1String("--screenshot"))
            line.screenshot = value();
        else if (word == QLatin1String("--after")) {
            bool ok = false;
            line.screenshotAfter = value().toInt(&ok);
            if (!ok || line.screenshotAfter < 0)
                line.error = QStringLiteral("--after needs a number of milliseconds");
        } else if (word == QLatin1String("--command"))
            line.commands.append(value());
        else if (word == QLatin1String("--print-to"))
            line.printTo = value();
        else if (word == QLatin1String("--version"))
            line.version = true;
        else if (word == QLatin1String("--help"))
            line.help = true;
        else if (word.startsWith(QLatin1String("--")))
            line.error = QStringLiteral("unknown option %1").arg(word);
        else
            line.parameters.append(word);
    }

    const QString raw = line.parameters.join(QLatin1Char(' '));
    if (markerPattern(QStringLiteral("/t")).match(QString(raw).remove(QLatin1Char('"'))).hasMatch()) {
        line.mode = Mode::Thesaurus;
        line.argument = copyArgument(raw, QStringLiteral("/t"), &line.copyFlag);
    } else if (!line.parameters.isEmpty()) {
        line.mode = Mode::Plain;
        line.argument = copyArgument(raw, QStringLiteral("/h"), &line.copyFlag);
        // A title's container is no page or picture: it names the title to open.
        if (!line.copyFlag && isContainerPath(line.argument)) {
            line.mode = Mode::Skinned;
            line.contentFolder = QFileInfo(line.argument).path();
            line.argument.clear();
        }
    }
    return line;
}

RunMode CommandLine::runMode() const
{
    switch (mode) {
    case Mode::Skinned:
        return RunMode::Skinned;
    case Mode::Thesaurus:
        return RunMode::Thesaurus;
    case Mode::Plain:
        break;
    }
    return copyFlag ? RunMode::HelpCopy : RunMode::PlainCopy;
}
