#include "elementreader.h"

ScriptKey intKey(const QString& key, int& target)
{
    return {key, [&target](const QStringList& lines, int& lineIndex, qsizetype position) {
                target = ParseInt(lines[lineIndex], position);
            }};
}

ScriptKey textKey(const QString& key, QString& target)
{
    return {key, [&target, key](const QStringList& lines, int& lineIndex, qsizetype position) {
                target = ParseValue(lines[lineIndex], valuePosition(position, key));
            }};
}

ScriptKey pathKey(const QString& key, QString& target, const ProgramFolders& folders)
{
    return {key, [&target, &folders, key](const QStringList& lines, int& lineIndex, qsizetype position) {
                target = ExpandPath(ParseValue(lines[lineIndex], valuePosition(position, key)), folders);
            }};
}

ScriptKey colorKey(const QString& key, int& target)
{
    return {key, [&target](const QStringList& lines, int& lineIndex, qsizetype position) {
                target = ParseColor(lines[lineIndex], position);
            }};
}

ScriptKey onOffKey(const QString& key, bool& target)
{
    return {key, [&target, key](const QStringList& lines, int& lineIndex, qsizetype position) {
                target = parseOnOff(lines[lineIndex], valuePosition(position, key));
            }};
}

ScriptKey fontStyleKey(const QString& key, FontStyles& target)
{
    return {key, [&target, key](const QStringList& lines, int& lineIndex, qsizetype position) {
                target = parseFontStyle(lines[lineIndex], valuePosition(position, key));
            }};
}

QLatin1String elementKindOn(const QString& line, std::span<const char* const> kinds)
{
    for (const char* candidate : kinds) {
        if (line.contains(QLatin1String(candidate)))
            return QLatin1String(candidate);
    }
    return QLatin1String();
}

ScriptKey listKey(const QString& key, QStringList& target, const ProgramFolders& folders)
{
    return {key, [&target, &folders](const QStringList& lines, int& lineIndex, qsizetype) {
                target = ParseList(lines, lineIndex, folders);
            }};
}

bool ElementReader::read(std::span<const ScriptKey> keys, std::span<const ScriptKey> optional)
{
    for (const ScriptKey& awaited : keys) {
        for (;;) {
            if (m_line < 0 || m_line >= m_lines.size())
                return false;
            const qsizetype position = m_lines[m_line].indexOf(awaited.key);
            if (position >= 0) {
                awaited.read(m_lines, m_line, position);
                break;
            }
            for (const ScriptKey& extra : optional) {
                const qsizetype extraPosition = m_lines[m_line].indexOf(extra.key);
                if (extraPosition >= 0)
                    extra.read(m_lines, m_line, extraPosition);
            }
            ++m_line;
        }
    }
    ++m_line;
    return true;
}

int ElementReader::find(const QString& text) const
{
    for (int i = qMax(m_line, 0); i < m_lines.size(); ++i) {
        if (m_lines[i].contains(text))
            return i;
    }
    return -1;
}
