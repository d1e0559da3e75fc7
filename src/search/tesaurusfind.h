#pragma once

// The thesaurus index tezaurus.idx: lines key + "~" + page, the page relative to the index folder
// and optionally with "#" + anchor. The first line's page is where the thesaurus opens.

#include "indexmessage.h"

#include <QString>

class ContentPack;

class TMakeTesaurusFind final
{
public:
    explicit TMakeTesaurusFind(const ContentPack& opener);
    Q_DISABLE_COPY_MOVE(TMakeTesaurusFind)

    // The folder that holds tezaurus.idx; one trailing separator is removed.
    void SetIndexFolder(const QString& folder);
    QString indexFolder() const { return m_folder; }

    // An empty word gives the start page. Otherwise the first line whose key, without regard to
    // case, occurs within word gives its page, so the key "двигател" answers "Двигателя". Lines
    // that have no page (no "~", an empty key or page, the empty piece after the last line end)
    // are passed over, and so are lines whose page leaves the index's folder ("..\\..\\x.htm",
    // an absolute path, a drive letter). page comes with '/' between folders. Not found when tezaurus.idx does not
    // exist; a file that exists but cannot be opened also sets the message.
    IndexLookup FindInThesaurus(const QString& word, QString& page) const;

private:
    const ContentPack& m_opener;
    QString m_folder;
};
