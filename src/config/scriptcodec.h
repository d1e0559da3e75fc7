#pragma once

// Scripts (*.cfs) are stored scrambled. Decoding needs only the stored bytes: a running sum with
// a fading addend, of which the odd positions, read backwards, are the text.

#include <QByteArray>
#include <QStringList>

// The lines of a stored script, split at CR LF and decoded from code page 1251. lowerCase turns
// ASCII A-Z into a-z (the keys of every script but the trees are compared in lower case). A count
// of 0 or less gives no lines; a count of 1 gives one empty line. Never raises.
QStringList DecodeScript(const char* bytes, qsizetype count, bool lowerCase);
QStringList DecodeScript(const QByteArray& stored, bool lowerCase);

// The stored form of lines, such that DecodeScript gives them back (in code page 1251; lossless,
// when given, tells whether every character had a byte). No lines give an empty script. A line
// that itself holds CR LF cannot be stored and raises ContentError.
QByteArray encodeScript(const QStringList& lines, bool* lossless = nullptr);
