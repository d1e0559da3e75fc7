#include "toolsupport.h"

#include <QFile>

#include <cstdio>

void fail(int code, const QString& message)
{
    throw ToolFailure{code, message};
}

ToolArgs::ToolArgs(QStringList words, QString usage) : m_words(std::move(words)), m_usage(std::move(usage)) {}

bool ToolArgs::takeFlag(const QString& flag)
{
    return m_words.removeAll(flag) > 0;
}

std::optional<QString> ToolArgs::takeOption(const QString& option)
{
    const qsizetype at = m_words.indexOf(option);
    if (at < 0)
        return std::nullopt;
    if (at + 1 >= m_words.size())
        usageFailure();
    const QString value = m_words.at(at + 1);
    m_words.remove(at, 2);
    return value;
}

QStringList ToolArgs::positional(qsizetype min, qsizetype max)
{
    for (const QString& word : std::as_const(m_words)) {
        if (word.startsWith(QLatin1String("--")))
            usageFailure();
    }
    if (m_words.size() < min || m_words.size() > max)
        usageFailure();
    return m_words;
}

void ToolArgs::usageFailure() const
{
    fail(ExitBadInput, QStringLiteral("usage: velbrook-tool %1").arg(m_usage));
}

bool runVerb(const QString& verb, ToolArgs& args, std::initializer_list<ToolVerb> verbs)
{
    for (const auto& [name, run] : verbs) {
        if (verb == QLatin1String(name)) {
            run(args);
            return true;
        }
    }
    return false;
}

QByteArray readInputFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(ExitBadInput, QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    return file.readAll();
}

void writeOutput(const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

void writeLine(const QString& text)
{
    writeOutput(text.toUtf8() + '\n');
}
