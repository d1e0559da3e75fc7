#pragma once

// How every script reader walks its lines. An element is declared by a fixed, ordered table of
// keys. The reader looks for the awaited key in the current line; when it is there its value is
// read and the next key is awaited on the same line, otherwise the reader tries the element's
// optional keys on that line and moves to the next one. The element is complete when its last key
// was read, and reading goes on after that line. A key that stands out of order is passed over
// while the reader looks for the one it awaits; a script that ends before the last key ends the
// element unread.

#include "scriptvalues.h"

#include <QStringList>

#include <functional>
#include <span>

// A key and what to do with it once found. read gets the lines, the current line index (a list
// may move it forward to the line that holds its ']') and the key's position in that line.
struct ScriptKey
{
    using Reader = std::function<void(const QStringList& lines, int& lineIndex, qsizetype keyPosition)>;
    QString key;
    Reader read;
};

// Keys whose value goes into a variable, for the common value kinds.
ScriptKey intKey(const QString& key, int& target);
ScriptKey textKey(const QString& key, QString& target);
ScriptKey pathKey(const QString& key, QString& target, const ProgramFolders& folders);
ScriptKey colorKey(const QString& key, int& target);
ScriptKey onOffKey(const QString& key, bool& target);
ScriptKey fontStyleKey(const QString& key, FontStyles& target);
ScriptKey listKey(const QString& key, QStringList& target, const ProgramFolders& folders);

// The first of kinds (in their order) that line contains: the element kind word that starts an
// element on that line; empty when there is none.
QLatin1String elementKindOn(const QString& line, std::span<const char* const> kinds);

class ElementReader
{
public:
    explicit ElementReader(const QStringList& lines, int lineIndex = 0) : m_lines(lines), m_line(lineIndex) {}

    // Reads one element. False when the script ended first; the caller drops the element.
    bool read(std::span<const ScriptKey> keys, std::span<const ScriptKey> optional = {});

    // The first line at or after the current one that holds text, or -1; the reader does not move.
    int find(const QString& text) const;

    int line() const { return m_line; }
    void setLine(int lineIndex) { m_line = lineIndex; }
    bool atEnd() const { return m_line >= m_lines.size(); }
    const QStringList& lines() const { return m_lines; }

private:
    const QStringList& m_lines;
    int m_line = 0;
};
