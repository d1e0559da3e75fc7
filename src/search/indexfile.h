#pragma once

// Reading the index files (keywords.idx, index.idx, files.idx, tezaurus.idx): code page 1251
// lines ended by CR LF, opened through the file opener.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>

class ContentPack;
class QBuffer;
class TComprStream;

// The file opened through the opener, or nothing when neither the pack nor the disk can give it.
std::unique_ptr<TComprStream> openIndexFile(const ContentPack& opener, const QString& path);

// The lines of an index file as its readers count them: every line ended by CR, and a last line
// without its end when it holds anything. The empty piece after a final CR LF is not a line, so
// it can never be taken for an empty keyword or an extra record. Lines are read as ReadStreamLine
// reads them (a CR ends a line, an LF is ignored wherever it stands), but in place in the
// opener's buffer: a line that is only compared or skipped is never copied.
class IndexLines
{
public:
    // Reads from the stream's position on; the stream is not moved.
    explicit IndexLines(const QBuffer& stream);

    // line stays valid until the next call.
    bool next(QByteArrayView& line);

private:
    QByteArray m_data;
    qsizetype m_at = 0;
    QByteArray m_withoutLineFeeds;
};

// folder + '/' + name, the folder as SetIndexFolder stored it.
QString indexFilePath(const QString& folder, const char* name);

// folder without one trailing separator ('\' as the content writes it, or '/').
QString indexFolderOf(const QString& folder);

// The text with blanks (every character up to ' ') removed from both ends.
QString trimBlanks(const QString& text);
