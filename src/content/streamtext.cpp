#include "streamtext.h"

#include <cstring>

#include <QBuffer>

namespace {

bool isBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}
bool isBlank(QChar c)
{
    return c.unicode() <= 32;
}

template <typename Text> Text trimmedBlanks(const Text& text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && isBlank(text[start]))
        ++start;
    while (end > start && isBlank(text[end - 1]))
        --end;
    return text.mid(start, end - start);
}

template <typename Text> QList<Text> splitText(const Text& delimiter, const Text& text)
{
    QList<Text> fields;
    if (text.isEmpty())
        return fields;
    bool delimiterMet = false;
    qsizetype start = 0;
    if (!delimiter.isEmpty()) {
        for (qsizetype at = text.indexOf(delimiter); at >= 0; at = text.indexOf(delimiter, start)) {
            delimiterMet = true;
            Text field = trimmedBlanks(text.mid(start, at - start));
            if (!field.isEmpty())
                fields.append(std::move(field));
            start = at + delimiter.size();
        }
    }
    Text last = text.mid(start);
    if (!last.isEmpty() || (delimiterMet && fields.size() == 1))
        fields.append(std::move(last));
    return fields;
}

} // namespace

bool ReadStreamLine(QIODevice& stream, QByteArray& line)
{
    line.clear();
    // The opener's streams are buffers: scan their bytes in place rather than one call per byte.
    if (auto* buffer = qobject_cast<QBuffer*>(&stream)) {
        const QByteArray& data = buffer->data();
        const qsizetype start = buffer->pos();
        const qsizetype size = data.size();
        const char* bytes = data.constData();
        const void* cr = start < size ? std::memchr(bytes + start, '\r', size_t(size - start)) : nullptr;
        const qsizetype at = cr ? static_cast<const char*>(cr) - bytes : size;
        // The line in pieces between line feeds (an index line may be megabytes long), not byte by
        // byte.
        line.reserve(at - start);
        for (qsizetype from = start; from < at;) {
            const void* lf = std::memchr(bytes + from, '\n', size_t(at - from));
            const qsizetype end = lf ? static_cast<const char*>(lf) - bytes : at;
            line.append(bytes + from, end - from);
            from = end + 1;
        }
        if (at < size) {
            buffer->seek(at + 1);
            return true;
        }
        buffer->seek(size);
        return false;
    }

    char c = 0;
    while (stream.getChar(&c)) {
        if (c == '\r')
            return true;
        if (c != '\n')
            line.append(c);
    }
    return false;
}

QStringList SplitText(const QString& delimiter, const QString& text)
{
    return splitText(delimiter, text);
}

QList<QByteArray> SplitText(const QByteArray& delimiter, const QByteArray& text)
{
    return splitText(delimiter, text);
}
