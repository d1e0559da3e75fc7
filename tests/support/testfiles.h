#pragma once

// Writing fixture files, folders created as needed. A fixture that cannot be written ends the test
// program: nothing after it would mean anything.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

inline void writeTestFile(const QString& path, const QByteArray& bytes = QByteArray())
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write the fixture %s", qPrintable(path));
}
