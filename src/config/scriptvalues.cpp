#include "scriptvalues.h"

#include "contenterror.h"

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Strict decimal conversion of a whole (trimmed) text, with an optional sign.
bool toIntStrict(QStringView text, int& value)
{
    text = text.trimmed();
    if (text.isEmpty())
        return false;
    bool ok = false;
    value = text.toInt(&ok, 10);
    return ok;
}

} // namespace

int ParseInt(const QString& line, qsizetype position)
{
    qsizetype start = qMax<qsizetype>(position, 0);
    while (start < line.size() && line[start] != QLatin1Char('-') && !isDigit(line[start]))
        ++start;
    qsizetype end = start;
    while (end < line.size() && (line[end] == QLatin1Char('-') || isDigit(line[end])))
        ++end;
    if (end == start)
        return -1;
    const QStringView run = QStringView(line).mid(start, end - start);
    // A '-' may only lead: "1-2" and "--5" are no numbers.
    if (run.lastIndexOf(QLatin1Char('-')) > 0 || run == QLatin1String("-"))
        return -1;
    bool ok = false;
    const int value = run.toInt(&ok, 10);
    return ok ? value : -1;
}

QString ParseValue(const QString& line, qsizetype position)
{
    const qsizetype start = qMax<qsizetype>(position, 0);
    qsizetype end = start;
    while (end < line.size() && !isValueDelimiter(line[end]))
        ++end;
    QStringView value = QStringView(line).mid(start, qMax<qsizetype>(end - start, 0));
    while (!value.isEmpty() && value.front().unicode() <= 32)
        value = value.mid(1);
    while (!value.isEmpty() && value.back().unicode() <= 32)
        value.chop(1);
    return value.toString();
}

int ParseColor(const QString& line, qsizetype position)
{
    qsizetype start = qMax<qsizetype>(position, 0);
    while (start < line.size() && !isDigit(line[start]))
        ++start;
    const int red = ParseInt(line, start);
    const qsizetype redLength = QString::number(red).size();
    const int green = ParseInt(line, start + redLength + 1);
    const qsizetype greenLength = QString::number(green).size();
    const int blue = ParseInt(line, start + redLength + greenLength + 2);
    return (red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16;
}

FontStyles parseFontStyle(const QString& line, qsizetype position)
{
    const QString value = ParseValue(line, position);
    FontStyles styles;
    styles.setFlag(FontStyle::Bold, value.contains(QLatin1String("bold")));
    styles.setFlag(FontStyle::Italic, value.contains(QLatin1String("italic")));
    styles.setFlag(FontStyle::Underline, value.contains(QLatin1String("underline")));
    styles.setFlag(FontStyle::StrikeOut, value.contains(QLatin1String("strikeout")));
    return styles;
}

bool parseOnOff(const QString& line, qsizetype position)
{
    return ParseValue(line, position) == QLatin1String("on");
}

QStringList ParseList(const QStringList& lines, int& lineIndex, const ProgramFolders& folders)
{
    QStringList items;
    if (lineIndex < 0 || lineIndex >= lines.size())
        return items;
    qsizetype at = lines[lineIndex].indexOf(QLatin1Char('['));
    if (at < 0)
        return items;
    ++at;

    // The end of the line reads as the zero character, as in the original.
    const auto charAt = [&](qsizetype i) {
        const QString& line = lines[lineIndex];
        return i < line.size() ? line[i] : QChar(u'\0');
    };
    while (charAt(at) != QLatin1Char(']')) {
        const qsizetype start = at;
        while (!isValueDelimiter(charAt(at)) && charAt(at) != QLatin1Char(']'))
            ++at;
        items.append(ExpandPath(lines[lineIndex].mid(start, at - start).trimmed(), folders));
        const QChar stop = charAt(at);
        if (stop == QLatin1Char(']'))
            break;
        if (stop == QLatin1Char(';') && at < lines[lineIndex].size()) {
            ++at;
            continue;
        }
        // End of the line: the list goes on at the start of the next one, unless the script ends.
        if (lineIndex + 1 >= lines.size())
            break;
        ++lineIndex;
        at = 0;
    }
    return items;
}

QList<QPoint> ParseVertexRegion(const QStringList& lines, int& lineIndex, const ProgramFolders& folders)
{
    const QStringList items = ParseList(lines, lineIndex, folders);
    QList<QPoint> vertices;
    vertices.reserve(qMin<qsizetype>(items.size(), kMaxVertices));
    for (const QString& item : items) {
        if (vertices.size() == kMaxVertices)
            break;
        const qsizetype comma = item.indexOf(QLatin1Char(','));
        int x = 0;
        int y = 0;
        if (comma < 0 || !toIntStrict(QStringView(item).left(comma), x) ||
            !toIntStrict(QStringView(item).mid(comma + 1), y))
            throw ContentError(QStringLiteral("\"%1\" is not a vertex (x,y)").arg(item));
        vertices.append(QPoint(x, y));
    }
    return vertices;
}
