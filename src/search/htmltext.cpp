#include "htmltext.h"

#include "codepage.h"

#include <QHash>

#include <array>

namespace {

const QHash<QString, char32_t>& namedEntities()
{
    static const QHash<QString, char32_t> names{
        {u"nbsp"_qs, 0x00A0},   {u"amp"_qs, u'&'},      {u"lt"_qs, u'<'},       {u"gt"_qs, u'>'},
        {u"quot"_qs, u'"'},     {u"apos"_qs, u'\''},    {u"laquo"_qs, 0x00AB},  {u"raquo"_qs, 0x00BB},
        {u"mdash"_qs, 0x2014},  {u"ndash"_qs, 0x2013},  {u"hellip"_qs, 0x2026}, {u"shy"_qs, 0x00AD},
        {u"copy"_qs, 0x00A9},   {u"reg"_qs, 0x00AE},    {u"trade"_qs, 0x2122},  {u"deg"_qs, 0x00B0},
        {u"plusmn"_qs, 0x00B1}, {u"times"_qs, 0x00D7},  {u"divide"_qs, 0x00F7}, {u"micro"_qs, 0x00B5},
        {u"sect"_qs, 0x00A7},   {u"para"_qs, 0x00B6},   {u"middot"_qs, 0x00B7}, {u"bull"_qs, 0x2022},
        {u"lsquo"_qs, 0x2018},  {u"rsquo"_qs, 0x2019},  {u"sbquo"_qs, 0x201A},  {u"ldquo"_qs, 0x201C},
        {u"rdquo"_qs, 0x201D},  {u"bdquo"_qs, 0x201E},  {u"euro"_qs, 0x20AC},   {u"frac12"_qs, 0x00BD},
        {u"frac14"_qs, 0x00BC}, {u"frac34"_qs, 0x00BE}, {u"sup2"_qs, 0x00B2},   {u"sup3"_qs, 0x00B3},
        {u"ensp"_qs, 0x2002},   {u"emsp"_qs, 0x2003},   {u"thinsp"_qs, 0x2009}, {u"minus"_qs, 0x2212},
    };
    return names;
}

const QStringList& inlineTags()
{
    static const QStringList tags{u"a"_qs,   u"b"_qs,      u"i"_qs,      u"u"_qs,    u"s"_qs,
                                  u"em"_qs,  u"strong"_qs, u"span"_qs,   u"font"_qs, u"small"_qs,
                                  u"big"_qs, u"tt"_qs,     u"strike"_qs, u"nobr"_qs, u"wbr"_qs};
    return tags;
}

// Tags that format text without ending a word: "<b>дви</b>гатель" is one word.
bool isInlineTag(QStringView name)
{
    return inlineTags().contains(name);
}

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// The character reference at html[at] ('&'): appends what it stands for and returns the index
// after it, or appends '&' alone and returns at + 1 when it is no reference.
qsizetype decodeReference(const QString& html, qsizetype at, QString& out)
{
    const qsizetype end = html.indexOf(u';', at + 1);
    if (end < 0 || end - at > 12) {
        out.append(u'&');
        return at + 1;
    }
    const QStringView body = QStringView(html).sliced(at + 1, end - at - 1);
    char32_t code = 0;
    bool ok = false;
    if (body.startsWith(u'#')) {
        const bool hex = body.size() > 1 && (body[1] == u'x' || body[1] == u'X');
        const QStringView digits = body.sliced(hex ? 2 : 1);
        const uint value = digits.isEmpty() || !digits[0].isLetterOrNumber() ? 0 : digits.toUInt(&ok, hex ? 16 : 10);
        if (ok)
            code = (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) ? 0xFFFD : value;
    } else {
        const auto found = namedEntities().constFind(body.toString());
        ok = found != namedEntities().constEnd();
        if (ok)
            code = found.value();
    }
    if (!ok) {
        out.append(u'&');
        return at + 1;
    }
    out.append(QString::fromUcs4(&code, 1));
    return end + 1;
}

QString decodeReferences(const QString& html)
{
    qsizetype reference = html.indexOf(u'&');
    if (reference < 0)
        return html;
    QString out;
    out.reserve(html.size());
    for (qsizetype at = 0; at < html.size();) {
        if (reference < 0)
            reference = html.size();
        out.append(QStringView(html).sliced(at, reference - at));
        if (reference == html.size())
            break;
        at = decodeReference(html, reference, out);
        reference = html.indexOf(u'&', at);
    }
    return out;
}

QString collapseBlanks(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        const bool blank = c.unicode() <= u' ' || c.isSpace();
        if (!blank)
            out.append(c);
        else if (!out.isEmpty() && !out.endsWith(u' '))
            out.append(u' ');
    }
    if (out.endsWith(u' '))
        out.chop(1);
    return out;
}

// The index after the '>' that ends the tag starting at html[at], quoted attribute values
// skipped; the end of the text when it is never closed.
qsizetype tagEnd(const QString& html, qsizetype at)
{
    QChar quote;
    for (qsizetype i = at + 1; i < html.size(); ++i) {
        const QChar c = html[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'>') {
            return i + 1;
        }
    }
    return html.size();
}

// The index after "</name ...>" from at on, or the end of the text.
qsizetype closingTagEnd(const QString& html, qsizetype at, QStringView name)
{
    const QString closing = u"</"_qs + name;
    const qsizetype found = html.indexOf(closing, at, Qt::CaseInsensitive);
    return found < 0 ? html.size() : tagEnd(html, found);
}

// What each UTF-16 unit is to the words of the index: kOther breaks a word, kSoftHyphen is
// dropped, kUnwritable is a letter, digit or mark that code page 1251 cannot write; every other
// value marks a letter or digit of code page 1251 and is that character lower-cased.
enum : char16_t
{
    kOther = 0,
    kSoftHyphen = 1,
    kUnwritable = 2,
};

const std::array<char16_t, 0x10000>& wordLetters()
{
    static const std::array<char16_t, 0x10000> table = [] {
        std::array<char16_t, 0x10000> chars{};
        for (int unit = 0; unit < 0x10000; ++unit) {
            const QChar c = QChar(char16_t(unit));
            if (c.isLetterOrNumber() || c.isMark())
                chars[unit] = kUnwritable;
        }
        chars[0x00AD] = kSoftHyphen;
        for (int byte = 0; byte < 256; ++byte) {
            const char b = char(byte);
            const QString decoded = fromCp1251(QByteArrayView(&b, 1));
            // Each of them lower-cases to one character.
            if (decoded.size() == 1 && decoded[0].isLetterOrNumber())
                chars[decoded[0].unicode()] = decoded[0].toLower().unicode();
        }
        return chars;
    }();
    return table;
}

} // namespace

bool isInlineTagName(QLatin1StringView name)
{
    return inlineTags().contains(name);
}

QString namedReferenceCharacters()
{
    QString characters;
    for (const char32_t code : namedEntities())
        characters += QString::fromUcs4(&code, 1);
    return characters;
}

PageText extractPageText(const QString& html)
{
    PageText page;
    QString visible;
    visible.reserve(html.size());
    bool inHead = false;
    qsizetype at = 0;
    while (at < html.size()) {
        const qsizetype lt = html.indexOf(u'<', at);
        const qsizetype textEnd = lt < 0 ? html.size() : lt;
        if (!inHead)
            visible.append(QStringView(html).sliced(at, textEnd - at));
        if (lt < 0)
            break;
        at = lt;
        if (QStringView(html).sliced(at).startsWith(u"<!--")) {
            const qsizetype close = html.indexOf(u"-->", at + 4);
            at = close < 0 ? html.size() : close + 3;
            continue;
        }
        const qsizetype nameStart = at + 1 + (at + 1 < html.size() && html[at + 1] == u'/' ? 1 : 0);
        const QChar first = nameStart < html.size() ? html[nameStart] : QChar();
        if (!isAsciiLetter(first) && first != u'!' && first != u'?') {
            // "a < b": not markup.
            if (!inHead)
                visible.append(u'<');
            ++at;
            continue;
        }
        qsizetype nameEnd = nameStart;
        while (nameEnd < html.size() && (isAsciiLetter(html[nameEnd]) || html[nameEnd].isDigit()))
            ++nameEnd;
        const QString name = html.sliced(nameStart, nameEnd - nameStart).toLower();
        const bool closing = nameStart > at + 1;
        const qsizetype after = tagEnd(html, at);
        if (!closing && (name == u"script" || name == u"style")) {
            at = closingTagEnd(html, after, name);
        } else if (!closing && name == u"title") {
            const qsizetype close = html.indexOf(u"</title", after, Qt::CaseInsensitive);
            const qsizetype titleEnd = close < 0 ? html.size() : close;
            if (page.title.isEmpty())
                page.title = collapseBlanks(decodeReferences(html.sliced(after, titleEnd - after)));
            at = close < 0 ? html.size() : tagEnd(html, close);
        } else {
            if (name == u"head")
                inHead = !closing;
            else if (name == u"body")
                inHead = false;
            if (!isInlineTag(name))
                visible.append(u' ');
            at = after;
        }
    }
    page.text = decodeReferences(visible);
    return page;
}

void forEachIndexWord(QStringView text, const std::function<void(QStringView word)>& word)
{
    const std::array<char16_t, 0x10000>& letters = wordLetters();
    // The buffers keep their memory from word to word: a page has thousands of words. Letters go
    // in lower-cased: only words of code page 1251's letters come out, and those lower-case one
    // character at a time.
    QString part;     // the run being read
    QString compound; // the runs joined by hyphens so far, the current one not yet added
    int parts = 0;
    // The run, or a run of the compound, holds a letter that code page 1251 has not.
    bool partUnwritable = false;
    bool compoundUnwritable = false;

    const auto endPart = [&] {
        if (part.isEmpty())
            return;
        if (!partUnwritable)
            word(part);
        compoundUnwritable = compoundUnwritable || partUnwritable;
        partUnwritable = false;
        if (parts > 0)
            compound.append(u'-');
        compound.append(part);
        ++parts;
        part.resize(0);
    };
    const auto endCompound = [&] {
        endPart();
        if (parts > 1 && !compoundUnwritable)
            word(compound);
        compound.resize(0);
        parts = 0;
        compoundUnwritable = false;
    };

    const qsizetype size = text.size();
    const char16_t* const units = text.utf16();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = units[i];
        const char16_t kind = letters[c];
        if (kind > kUnwritable) {
            part.append(QChar(kind));
        } else if (kind == kSoftHyphen) {
            continue;
        } else if (kind == kUnwritable) {
            // A letter the index files cannot hold: the whole word stays out of the index (the
            // scan of the pages still finds it).
            part.append(QChar(c));
            partUnwritable = true;
        } else if (c == u'-' && !part.isEmpty() && i + 1 < size && letters[units[i + 1]] > kUnwritable) {
            endPart();
        } else {
            endCompound();
        }
    }
    endCompound();
}

QStringList indexWords(const QString& text)
{
    QStringList words;
    forEachIndexWord(text, [&words](QStringView word) { words.append(word.toString()); });
    return words;
}
