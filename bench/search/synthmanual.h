#pragma once

// A large synthetic manual for benchmarks: pages of Russian-like text in code page 1251, words
// drawn with a Zipf-like frequency from a vocabulary built out of syllables (so some words are in
// nearly every page and most are rare), the contents tree script listing the pages, and the
// full-text index built from the pages; everything but the tree script packed into
// interface.dat. The same arguments always give the same bytes.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

struct SyntheticManual
{
    QString folder;   // the content folder, without a trailing '/'
    QString packPath; // folder + "/interface.dat"
    int pages = 0;
    qsizetype keywords = 0; // lines of keywords.idx
    QString commonWord;     // the most frequent word: in nearly every page
    QString rareWord;       // in exactly three pages (one when there are fewer than three)
    QString missingWord;    // in no page
};

// Writes into folder (created when missing): interface.dat holding html/partNN/pageNNNN.htm
// (100 pages per part, about 8 KB each), keywords.idx, index.idx and files.idx; beside it
// tree1.txt (the contents tree script as UTF-8 text) and tree1.cfs (the same, stored as scripts
// are). Raises ContentError when a file cannot be written.
SyntheticManual makeSyntheticManual(const QString& folder, int pages = 3000);

// The pages of that manual one by one, without writing anything: page(path, bytes) for each page
// in order (paths as above, bytes in code page 1251); the contents tree's lines (tab-indented
// "link;caption", links with '\\') are returned. The same pages makeSyntheticManual packs.
QStringList forEachSyntheticPage(int pages,
                                 const std::function<void(const QString& path, const QByteArray& bytes)>& page);

// The word in every page, the word in three, and the word in none, as makeSyntheticManual names them.
SyntheticManual syntheticWords(int pages);
