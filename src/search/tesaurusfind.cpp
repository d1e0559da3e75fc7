#include "tesaurusfind.h"

#include "codepage.h"
#include "comprstream.h"
#include "contentpack.h"
#include "indexfile.h"
#include "pathresolver.h"
#include "searchlog.h"
#include "streamtext.h"

namespace {

constexpr char kThesaurus[] = "tezaurus.idx";

} // namespace

TMakeTesaurusFind::TMakeTesaurusFind(const ContentPack& opener) : m_opener(opener) {}

void TMakeTesaurusFind::SetIndexFolder(const QString& folder)
{
    m_folder = indexFolderOf(folder);
}

IndexLookup TMakeTesaurusFind::FindInThesaurus(const QString& word, QString& page) const
{
    IndexLookup result;
    const QString path = indexFilePath(m_folder, kThesaurus);
    if (!m_opener.PackFileExists(path))
        return result;
    const std::unique_ptr<TComprStream> stream = openIndexFile(m_opener, path);
    if (!stream) {
        result.message = IndexMessage::ThesaurusUnreadable;
        return result;
    }
    const QString lowerWord = word.toLower();
    IndexLines lines(*stream);
    QByteArrayView line;
    while (lines.next(line)) {
        const QStringList fields = SplitText(QStringLiteral("~"), fromCp1251(line));
        if (fields.size() < 2)
            continue;
        const QString target = trimBlanks(fields[1]);
        if (target.isEmpty())
            continue;
        // A page outside the manual's folder is no page of the thesaurus.
        if (!staysInsideFolder(target)) {
            qCDebug(lcSearch) << "tezaurus.idx: a page outside the manual's folder left out:" << target;
            continue;
        }
        // SplitText leaves no empty first field, so the key is never empty here.
        if (word.isEmpty() || lowerWord.contains(trimBlanks(fields[0]).toLower())) {
            page = toInternalPath(target);
            result.found = true;
            return result;
        }
    }
    return result;
}
