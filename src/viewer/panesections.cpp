#include "panesections.h"

qsizetype PaneSections::find(const QString& text) const
{
    // Pages are kept lower-cased and named in the letters of their folder (a disc mounted as
    // /media/CDROM): the two are compared without case.
    for (qsizetype i = 0; i < m_sections.size(); ++i) {
        if (m_sections[i].contains(text, Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

void PaneSections::add(const QString& page)
{
    const qsizetype found = find(page);
    if (found >= 0) {
        m_current = int(found);
        return;
    }
    m_sections.append(page);
    m_current = int(m_sections.size() - 1);
}

void PaneSections::pageShown(const QString& file)
{
    if (m_sections.isEmpty() || file.isEmpty())
        return;
    const qsizetype found = find(file);
    if (found >= 0) {
        m_current = int(found);
        return;
    }
    if (m_current < 0 || m_current >= m_sections.size())
        m_current = int(m_sections.size() - 1);
    m_sections[m_current] += QLatin1String("; ") + file.toLower();
}

QString PaneSections::currentStartPage() const
{
    if (m_current < 0 || m_current >= m_sections.size())
        return QString();
    return m_sections[m_current].section(QLatin1Char(';'), 0, 0).trimmed();
}
