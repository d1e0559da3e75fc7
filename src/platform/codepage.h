#pragma once

// The two 8-bit code pages the content is written in: 1251 for scripts, pages, index files and
// pack names, 866 for names inside RAR archives. Our own tables, so the result never depends on
// which codecs the Qt build carries.

#include <QByteArray>
#include <QString>

QString fromCp1251(QByteArrayView bytes);
QString fromCp866(QByteArrayView bytes);

// A character that has no byte in the code page becomes '?'; lossless (when given) tells whether
// every character had one.
QByteArray toCp1251(QStringView text, bool* lossless = nullptr);
QByteArray toCp866(QStringView text, bool* lossless = nullptr);

// Whether text that names no character set is UTF-8 rather than code page 1251: it begins with
// the UTF-8 byte order mark, or it is valid UTF-8 (no overlong forms, no surrogates) and holds at
// least one multi-byte sequence. Plain ASCII reads the same either way and gives false; Cyrillic
// in 1251 almost never forms valid UTF-8 sequences, so such a file is not taken for UTF-8.
bool isUtf8Text(QByteArrayView bytes);
