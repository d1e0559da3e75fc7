#include "tesaurusfind.h"

#include "codepage.h"
#include "comprstream.h"
#include "contentpack.h"
#include "indexfile.h"
#include "pathresolver.h"
#include "streamtext.h"

namespace {

constexpr char kThesaurus[] = "tezaurus.idx";

} // namespace

TMakeTesaurusFind::TMakeTesaurusFind(const ContentPack& opener) : m_opener(opener) {}

void TMakeTesaurusFind::SetIndexFolder(const QString& folder)
{
    m_folder = IndexFolderOf(folder);
}

IndexLookup TMakeTesaurusFind::FindInThesaurus(const QString& word, QString& page) const
{
    IndexLookup result;
    const QString path = IndexFilePath(m_folder, kThesaurus);
    if (!m_opener.PackFileExists(path))
        return result;
    const std::unique_ptr<TComprStream> stream = OpenIndexFile(m_opener, path);
    if (!stream) {
        result.message = IndexMessage::ThesaurusUnreadable;
        return result;
    }
    const QString lowerWord = word.toLower();
    IndexLines lines(*stream);
    QByteArrayView line;
    while (lines.next(line)) {
        const QStringList fields = SplitText(QStringLiteral("~"), FromCp1251(line));
        if (fields.size() < 2)
            continue;
        const QString target = TrimBlanks(fields[1]);
        if (target.isEmpty())
            continue;
        // SplitText leaves no empty first field, so the key is never empty here.
        if (word.isEmpty() || lowerWord.contains(TrimBlanks(fields[0]).toLower())) {
            page = ToInternalPath(target);
            result.found = true;
            return result;
        }
    }
    return result;
}
