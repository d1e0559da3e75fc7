#pragma once

// Text read from a file, made safe for one line of a message or a listing.

#include <QString>

// text for one line of human-readable output: control characters (newline, ESC, NUL, DEL, the C1
// range), line and paragraph separators and lone surrogates written as escapes ("\n", "\t", "\r",
// "\x1b", "\u2028"), so a name read from a damaged file cannot break or restyle the line.
QString printable(const QString& text);
