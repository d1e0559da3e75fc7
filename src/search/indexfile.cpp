#include "indexfile.h"

#include "comprstream.h"
#include "contenterror.h"

#include <QBuffer>

std::unique_ptr<TComprStream> openIndexFile(const ContentPack& opener, const QString& path)
{
    try {
        return std::make_unique<TComprStream>(opener, path);
    } catch (const ContentError&) {
        return nullptr;
    }
}

IndexLines::IndexLines(const QBuffer& stream) : m_data(stream.data()), m_at(stream.pos()) {}

bool IndexLines::next(QByteArrayView& line)
{
    if (m_at >= m_data.size()) {
        line = QByteArrayView();
        return false;
    }
    const qsizetype end = m_data.indexOf('\r', m_at);
    const bool ended = end >= 0;
    line = QByteArrayView(m_data).sliced(m_at, (ended ? end : m_data.size()) - m_at);
    m_at = ended ? end + 1 : m_data.size();
    // In a CR LF file the LF of the previous line end starts every line.
    while (line.startsWith('\n'))
        line = line.sliced(1);
    if (line.contains('\n')) {
        m_withoutLineFeeds = line.toByteArray();
        m_withoutLineFeeds.removeIf([](char c) { return c == '\n'; });
        line = m_withoutLineFeeds;
    }
    return ended || !line.isEmpty();
}

QString indexFilePath(const QString& folder, const char* name)
{
    return folder + QLatin1Char('/') + QLatin1String(name);
}

QString indexFolderOf(const QString& folder)
{
    if (folder.endsWith(QLatin1Char('\\')) || folder.endsWith(QLatin1Char('/')))
        return folder.chopped(1);
    return folder;
}

QString trimBlanks(const QString& text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text[start].unicode() <= u' ')
        ++start;
    while (end > start && text[end - 1].unicode() <= u' ')
        --end;
    return text.mid(start, end - start);
}
