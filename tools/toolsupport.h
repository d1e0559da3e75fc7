#pragma once

// What the commands of velbrook-tool share: argument handling, output, and the exit codes
// (0 done, 1 a named entry or file not found, 2 bad usage or an unreadable input).

#include "printabletext.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <optional>
#include <utility>

enum ExitCode
{
    ExitOk = 0,
    ExitNotFound = 1,
    ExitBadInput = 2,
};

// Ends the command: main prints the message as one line on standard error and exits with code.
struct ToolFailure
{
    int code;
    QString message;
};

[[noreturn]] void fail(int code, const QString& message);

// The words after "velbrook-tool GROUP VERB": options are taken out by name, what is left are
// the positional arguments.
class ToolArgs
{
public:
    ToolArgs(QStringList words, QString usage);

    void setUsage(const QString& usage) { m_usage = usage; }
    bool takeFlag(const QString& flag);
    std::optional<QString> takeOption(const QString& option);
    // The positional arguments; a usage failure unless their count lies in [min, max] and no
    // unknown option is left.
    QStringList positional(qsizetype min, qsizetype max);

    [[noreturn]] void usageFailure() const;

private:
    QStringList m_words;
    QString m_usage;
};

// Runs the verb's command from a group's table; false when the group has no such verb.
using ToolVerb = std::pair<const char*, void (*)(ToolArgs&)>;
bool runVerb(const QString& verb, ToolArgs& args, std::initializer_list<ToolVerb> verbs);

QByteArray readInputFile(const QString& path);
void writeOutput(const QByteArray& bytes);
void writeLine(const QString& text);

// Each group's verbs; false when the verb is not one of them.
bool runScriptCommand(const QString& verb, ToolArgs& args);
bool runContainerCommand(const QString& verb, ToolArgs& args);
bool runPackCommand(const QString& verb, ToolArgs& args);
bool runPathCommand(const QString& verb, ToolArgs& args);
bool runTreeCommand(const QString& verb, ToolArgs& args);
bool runIndexCommand(const QString& verb, ToolArgs& args);
bool runThesaurusCommand(const QString& verb, ToolArgs& args);
// "send" and "scan": the exit code each ends with.
int runSendCommand(ToolArgs& args);
int runScanCommand(ToolArgs& args);
bool runArchiveCommand(const QString& verb, ToolArgs& args);
