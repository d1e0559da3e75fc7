#include "panehistory.h"

#include <QFileInfo>

bool sameFile(const QString& a, const QString& b)
{
    return QFileInfo(a).filePath().compare(QFileInfo(b).filePath(), Qt::CaseInsensitive) == 0;
}

qsizetype PaneHistory::indexOf(const QString& file) const
{
    for (qsizetype i = 0; i < m_files.size(); ++i) {
        if (sameFile(m_files[i], file))
            return i;
    }
    return -1;
}

void PaneHistory::loaded(const QString& file, const QString& title)
{
    if (m_pending >= 0 && m_pending < m_files.size() && sameFile(m_files[m_pending], file)) {
        m_index = m_pending;
        m_titles[m_index] = title;
    } else if (!m_files.isEmpty() && sameFile(m_files[m_index], file)) {
        m_titles[m_index] = title; // reloaded, or moved within the page
    } else {
        // A new page drops the entries that were stepped back over.
        m_files.remove(0, m_index);
        m_titles.remove(0, m_index);
        m_places.remove(0, m_index);
        m_files.prepend(file);
        m_titles.prepend(title);
        m_places.prepend(PanePlace());
        m_index = 0;
        while (m_files.size() > kMax) {
            m_files.removeLast();
            m_titles.removeLast();
            m_places.removeLast();
        }
    }
    m_pending = -1;
}

void PaneHistory::rememberPlace(const PanePlace& place)
{
    if (m_index >= 0 && m_index < m_places.size())
        m_places[m_index] = place;
}

void PaneHistory::markVisited(const QString& fullPath)
{
    m_visited.removeAll(fullPath);
    m_visited.prepend(fullPath);
    while (m_visited.size() > kVisitedMax)
        m_visited.removeLast();
}
