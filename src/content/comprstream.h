#pragma once

#include <QBuffer>

class ContentPack;

// The file opener's stream: the whole file, from the pack or the disk, in memory and positioned
// at 0, so readers can seek freely. Raises ContentError "Cannot open file <path>" when neither
// has it.
class TComprStream : public QBuffer
{
    Q_OBJECT
public:
    TComprStream(const ContentPack& pack, const QString& path, QObject* parent = nullptr);
};
