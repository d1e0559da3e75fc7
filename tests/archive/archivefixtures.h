#pragma once

// Archives for the tests: written by our RarWriter, or decoded from the uuencoded archives of
// RAR packers in data/.

#include "rarwriter.h"
#include "testfiles.h"

#include <QFile>
#include <QString>

// The bytes of a uuencoded file of data/.
inline QByteArray uudecodedFixture(const QString& name)
{
    QFile file(QStringLiteral(ARCHIVE_TEST_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read the fixture %s", qPrintable(name));
    QByteArray out;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (line.isEmpty() || line.startsWith("begin") || line == "end" || line == "`")
            continue;
        const int count = (line[0] - 0x20) & 0x3f;
        QByteArray decoded;
        for (qsizetype i = 1; i < line.size() && decoded.size() < count; i += 4) {
            quint32 group = 0;
            for (int k = 0; k < 4; ++k)
                group = group << 6 | quint32(((i + k < line.size() ? line[i + k] : ' ') - 0x20) & 0x3f);
            decoded.append(char(group >> 16)).append(char(group >> 8)).append(char(group));
        }
        out += decoded.left(count);
    }
    return out;
}

inline QString writeUudecodedFixture(const QString& name, const QString& path)
{
    writeTestFile(path, uudecodedFixture(name));
    return path;
}

// A small manual's archive: a folder with a file, a file at the top, names in code page 866 and
// one that only Unicode holds.
inline RarWriter sampleArchive()
{
    RarWriter writer;
    const qint32 time = RarWriter::dosTimeOf(2024, 1, 5, 10, 30);
    writer.addFolder(QStringLiteral("docs"), time);
    writer.addFile(QStringLiteral("docs/a.txt"), QByteArray(2500, 'a'), time);
    writer.addFile(QStringLiteral("readme.txt"), QByteArray(999, 'r'), time);
    writer.addFile(QStringLiteral(u"Инструкция.txt"), QByteArrayLiteral("ключи"), 0);
    writer.addFile(QStringLiteral(u"日本.txt"), QByteArrayLiteral("nihon"), time);
    return writer;
}
