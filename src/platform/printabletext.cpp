#include "printabletext.h"

QString printable(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        const bool pairedSurrogate = (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ||
                                     (c.isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate());
        if (u == u'\n')
            out += QLatin1String("\\n");
        else if (u == u'\t')
            out += QLatin1String("\\t");
        else if (u == u'\r')
            out += QLatin1String("\\r");
        else if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
            out += QStringLiteral("\\x%1").arg(unsigned(u), 2, 16, QLatin1Char('0'));
        else if (u == 0x2028 || u == 0x2029 || (c.isSurrogate() && !pairedSurrogate))
            out += QStringLiteral("\\u%1").arg(unsigned(u), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}
