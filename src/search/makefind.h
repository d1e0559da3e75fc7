#pragma once

// The full-text index query: a word in, the pages that contain it out. The index is three text
// files in the index folder (or at the matching path of the content pack):
//   keywords.idx  line k: keyword k, in the form it is compared
//   index.idx     line k: the page numbers of keyword k, separated by ':'
//   files.idx     line m: page m as path + "#:#" + title
// The files are read and inflated once and kept in memory by the query object; each query only
// checks that they have not changed since (a disk file's size and time, the pack's entry), and
// reads a file again when it has. Keep one object for many queries.

#include "indexmessage.h"

#include <QHash>
#include <QString>
#include <QStringList>

class ContentPack;

class TMakeFind final
{
public:
    explicit TMakeFind(const ContentPack& opener);
    Q_DISABLE_COPY_MOVE(TMakeFind)

    // The folder that holds the three files; one trailing separator is removed.
    void SetIndexFolder(const QString& folder);
    QString indexFolder() const { return m_folder; }

    // True when all three files exist, in the pack or on disk.
    bool IndexFilesExist() const;

    // Appends the pages of word to files (their paths, relative to the index folder, with '/'
    // between folders) and titles, kept in step, in the order files.idx lists them. Found when at
    // least one page was appended. A missing index or a file that cannot be opened sets the
    // message; the lists are then left as they were.
    IndexLookup FindInIndex(const QString& word, QStringList& files, QStringList& titles, bool caseSensitive) const;

private:
    // One index file as last read: its lines, and what it was read from.
    struct CachedFile
    {
        QString stamp; // empty: never read
        QList<QByteArray> lines;
        QHash<QString, qsizetype> exact;  // keywords.idx: line text -> first line number
        QHash<QString, qsizetype> folded; // the same, case folded
        QList<bool> names;                // files.idx: whether the line names a page (an empty
        QStringList paths;                // line does not, nor one whose path leaves the index's
                                          // folder), and its page and title, split once
        QStringList titles;
    };

    // The lines of the file, read again when it changed; nullptr when it cannot be read.
    const CachedFile* cached(const char* name, CachedFile& cache) const;
    qsizetype keywordNumber(const QString& word, bool caseSensitive, IndexLookup& result) const;
    bool numberList(qsizetype keyword, QByteArray& numbers, IndexLookup& result) const;
    qsizetype appendPages(const QList<qsizetype>& pages, QStringList& files, QStringList& titles,
                          IndexLookup& result) const;

    const ContentPack& m_opener;
    QString m_folder;
    mutable CachedFile m_keywords;
    mutable CachedFile m_numbers;
    mutable CachedFile m_files;
};

// The page numbers of an index.idx line in ascending order, each once. Fields are split at ':'
// and must be decimal integers; blanks may precede a number, but a field with anything after its
// digits (such as a trailing blank on the last number) is not a number and is skipped, so one bad
// field does not lose the rest of the list.
QList<qsizetype> pageNumbers(const QByteArray& numberList);
