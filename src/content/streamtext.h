#pragma once

// Text helpers for the index readers, which work on opened streams of code page 1251 lines.

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>

// One line into line: a CR ends it, an LF is ignored wherever it stands. False when the stream had
// no more bytes; line then holds what was read since the last CR (so a CR LF file ends with one
// more, empty, line read with false).
bool ReadStreamLine(QIODevice& stream, QByteArray& line);

// The fields of text between delimiters, each trimmed, empty ones left out. The last field is not
// trimmed; it is kept when empty only if a delimiter was met and exactly one field came before it
// ("word~" gives "word" and ""). An empty text gives no fields.
QStringList SplitText(const QString& delimiter, const QString& text);
QList<QByteArray> SplitText(const QByteArray& delimiter, const QByteArray& text);
