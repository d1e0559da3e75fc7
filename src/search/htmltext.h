#pragma once

// What the full-text index sees of a page: its title and the text a reader sees, split into
// words.

#include <QString>
#include <QStringList>

#include <functional>

struct PageText
{
    QString title; // the <title> text, blanks collapsed; empty when the page has none
    QString text;  // the visible text: markup, comments, <head> matter, <script> and <style> left out
};

// html is the page already decoded from its code page. Character references are decoded: numeric
// ones (&#1090; &#x442;) and the named ones pages use (&nbsp; &laquo; &raquo; &mdash; ...);
// an unknown name stays as written. Tags are word breaks, except the inline formatting tags
// (b, i, u, em, strong, span, font, a, ...), which may stand inside a word.
PageText extractPageText(const QString& html);

// Whether a tag of that name (lower case) formats text without ending a word, as
// extractPageText reads it.
bool isInlineTagName(QLatin1StringView name);

// Every character a named character reference stands for, as extractPageText decodes them.
QString namedReferenceCharacters();

// The words of text as the index keeps them: lower-cased, in text order, repeats included.
//  - A word is a run of letters and digits that code page 1251 can write (Cyrillic and Latin),
//    so numbers and part codes (2107, М16, 10w40) are words too.
//  - Hyphenated compounds give their parts and the whole: "северо-западный" gives "северо",
//    "западный" and "северо-западный", so a query for either part or for the compound finds the
//    page. Only a single '-' between two runs joins them; dashes and hyphens at the ends of a
//    run are word breaks.
//  - A soft hyphen (U+00AD) is dropped: it only marks where a word may be broken.
//  - A word with a letter that code page 1251 cannot write ("naïve", "中文") is left out whole, as
//    the index files could not hold it; so is a compound with such a part (its other parts stay).
QStringList indexWords(const QString& text);

// The same words, handed to word one by one (each valid during the call only), without a list.
void forEachIndexWord(QStringView text, const std::function<void(QStringView word)>& word);
