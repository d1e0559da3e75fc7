#pragma once

// The parts of the manual a pane has been read in. A part starts with the page an "html" command
// named (its start page) and goes on with the lower-cased path of every further page reached while
// it was the current part, each after "; ", in the order first reached. Going back or forward into
// another part tells which switch opens it, so that switch can show as selected again.

#include <QString>
#include <QStringList>

class PaneSections final
{
public:
    // An "html" command names page: the first part that holds it (without regard to case)
    // becomes current, or it starts a new part.
    void add(const QString& page);
    // A page was shown: the first part that holds it (without regard to case) becomes current, or
    // it joins the current part.
    // Nothing happens before the first part.
    void pageShown(const QString& file);

    // The start page of the current part (its text up to the first ';', trimmed); empty before
    // the first part.
    QString currentStartPage() const;

    const QStringList& sections() const { return m_sections; }
    int current() const { return m_current; }

private:
    qsizetype find(const QString& text) const;

    QStringList m_sections;
    int m_current = -1;
};
