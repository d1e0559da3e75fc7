#pragma once

// The short history of one pane: the files it showed, newest first, with their titles and the
// place each was read at, the entry shown now, and the links visited from it. Plain data, without
// the engine: the pane asks for an entry, the engine loads it, and the pane reports here what was
// loaded.

#include <QList>
#include <QString>
#include <QStringList>

// Where a page was read: how far down it was scrolled, and for a frame set the document of the
// frame that was scrolled (empty: the page itself).
struct PanePlace
{
    int y = 0;
    QString document;

    bool operator==(const PanePlace&) const = default;
};

class PaneHistory final
{
public:
    static constexpr int kMax = 10;
    static constexpr int kVisitedMax = 20;

    // Files newest first, and their titles beside them.
    const QStringList& files() const { return m_files; }
    const QStringList& titles() const { return m_titles; }
    int index() const { return m_index; }
    bool isEmpty() const { return m_files.isEmpty(); }
    // The entry of a file, compared without regard to case; -1 when it is not there.
    qsizetype indexOf(const QString& file) const;

    // The entry about to be shown: the next load of its file takes its place instead of adding a
    // new one. Out of range means none.
    void setPending(int index) { m_pending = index; }
    void clearPending() { m_pending = -1; }

    // A document finished loading. The pending entry of that file, or the entry shown now when it
    // is that file again, becomes current with the new title; any other file drops the entries
    // stepped back over and comes first, and the history keeps its newest kMax entries.
    void loaded(const QString& file, const QString& title);

    // The place the entry at index was last read at; a new entry is read from its top.
    PanePlace place(int index) const { return m_places.value(index); }
    // The entry shown now was read up to place: it comes back there when history leads to it.
    void rememberPlace(const PanePlace& place);

    // Visited links, full paths in lower case, the last visited first, at most kVisitedMax.
    const QStringList& visited() const { return m_visited; }
    void markVisited(const QString& fullPath);

private:
    QStringList m_files;
    QStringList m_titles;
    QList<PanePlace> m_places;
    int m_index = 0;
    int m_pending = -1;
    QStringList m_visited;
};

// Whether two paths name the same file: the same path, without regard to case.
bool sameFile(const QString& a, const QString& b);
