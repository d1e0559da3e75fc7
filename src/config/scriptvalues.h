#pragma once

// The value parsers every script reader shares. Keys are found by substring search in a line; a
// text value starts right after the '=' that follows its key, numbers are read from the key's own
// position. Positions are 0-based indexes into the line.

#include "scriptpaths.h"

#include <QFlags>
#include <QList>
#include <QPoint>
#include <QStringList>

#include <array>

// The characters that end a text value or a list item, besides the end of the line (which the
// original marks with the zero character).
constexpr std::array<char16_t, 2> ValueDelimiters = {u'\0', u';'};
inline bool isValueDelimiter(QChar c)
{
    return c == QChar(ValueDelimiters[0]) || c == QChar(ValueDelimiters[1]);
}

// Where the value of key found at keyPosition begins: just past "key=".
inline qsizetype valuePosition(qsizetype keyPosition, const QString& key)
{
    return keyPosition + key.size() + 1;
}

// From position, skips to the first '-' or digit and converts the longest run of '-' and digits;
// -1 when there is none or it is not a number ("1-2", "--5"). '+' is not a sign here.
int ParseInt(const QString& line, qsizetype position);

// The text from position up to ';' or the end of the line, trimmed of blanks and control
// characters at both ends.
QString ParseValue(const QString& line, qsizetype position);

// "r,g,b" from the first digit at or after position: a Windows colour value, red in the low byte.
// Each part is read one character past the decimal text of the previous one, as the original did.
int ParseColor(const QString& line, qsizetype position);

enum class FontStyle
{
    Bold = 1,
    Italic = 2,
    Underline = 4,
    StrikeOut = 8,
};
Q_DECLARE_FLAGS(FontStyles, FontStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(FontStyles)

// "bold", "italic", "underline", "strikeout" anywhere in the value, in any order and combination.
FontStyles parseFontStyle(const QString& line, qsizetype position);

// True only for the value "on" exactly.
bool parseOnOff(const QString& line, qsizetype position);

// "[a;b;c]", possibly over several lines (each line break ends an item); every item goes through
// ExpandPath. lineIndex is left on the line that holds ']' (or the last line, when the script
// ends first). Without '[' on the current line the list is empty and lineIndex stays.
QStringList ParseList(const QStringList& lines, int& lineIndex, const ProgramFolders& folders);

// The most vertices a window outline keeps; the rest are ignored.
constexpr int kMaxVertices = 2000;

// A list of "x,y" items: the outline of a window. An item that is not two integers raises
// ContentError.
QList<QPoint> ParseVertexRegion(const QStringList& lines, int& lineIndex, const ProgramFolders& folders);
