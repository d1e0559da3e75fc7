#include "scriptcodec.h"

#include "codepage.h"
#include "contenterror.h"

QStringList DecodeScript(const char* bytes, qsizetype count, bool lowerCase)
{
    QStringList lines;
    if (!bytes || count <= 0)
        return lines;

    // Running sum: the addend starts at count mod 256 and doubles each step, so after eight steps
    // the sum is a plain one.
    const auto* s = reinterpret_cast<const unsigned char*>(bytes);
    QByteArray text(count / 2, Qt::Uninitialized);
    const qsizetype m = text.size();
    unsigned char d = s[0];
    unsigned k = unsigned(count % 256);
    for (qsizetype i = 1; i < count; ++i) {
        d = static_cast<unsigned char>(d + s[i] + k);
        k = (2 * k) % 256;
        // Only odd positions carry text, and they are read from the last one back.
        if (i % 2 == 1 && i < 2 * m)
            text[m - 1 - (i - 1) / 2] = char(d);
    }

    if (lowerCase) {
        for (char& c : text) {
            if (c >= 'A' && c <= 'Z')
                c = char(c + ('a' - 'A'));
        }
    }

    qsizetype start = 0;
    for (qsizetype i = 0; i + 1 < m; ++i) {
        if (text[i] == '\r' && text[i + 1] == '\n') {
            lines.append(fromCp1251(QByteArrayView(text).sliced(start, i - start)));
            start = i + 2;
            ++i;
        }
    }
    lines.append(fromCp1251(QByteArrayView(text).sliced(start)));
    return lines;
}

QStringList DecodeScript(const QByteArray& stored, bool lowerCase)
{
    return DecodeScript(stored.constData(), stored.size(), lowerCase);
}

QByteArray encodeScript(const QStringList& lines, bool* lossless)
{
    if (lossless)
        *lossless = true;
    if (lines.isEmpty())
        return {};

    QByteArray text;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].contains(QLatin1String("\r\n")))
            throw ContentError(QStringLiteral("line %1 holds a line break and cannot be stored").arg(i + 1));
        bool lineLossless = true;
        if (i > 0)
            text += "\r\n";
        text += toCp1251(lines[i], &lineLossless);
        if (lossless && !lineLossless)
            *lossless = false;
    }

    // The text goes to the odd positions, last byte first; the even positions get filler from a
    // small generator, so the stored bytes look like noise but the same lines give the same file.
    const qsizetype m = text.size();
    const qsizetype n = m == 0 ? 1 : 2 * m;
    QByteArray d(n, Qt::Uninitialized);
    quint32 seed = 0x9E3779B9u ^ quint32(n);
    for (qsizetype i = 0; i < n; ++i) {
        if (i % 2 == 1) {
            d[i] = text[m - 1 - (i - 1) / 2];
        } else {
            seed = seed * 1664525u + 1013904223u;
            d[i] = char(seed >> 24);
        }
    }

    // Undo the running sum.
    QByteArray stored(n, Qt::Uninitialized);
    stored[0] = d[0];
    unsigned k = unsigned(n % 256);
    for (qsizetype i = 1; i < n; ++i) {
        stored[i] = char(static_cast<unsigned char>(d[i]) - static_cast<unsigned char>(d[i - 1]) - k);
        k = (2 * k) % 256;
    }
    return stored;
}
