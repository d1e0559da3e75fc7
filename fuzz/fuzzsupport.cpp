#include "fuzzsupport.h"

#include "codepage.h"
#include "scriptcodec.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace fuzz {

namespace {

std::unique_ptr<QTemporaryDir> g_temp;
// Never destroyed: libFuzzer ends the process with exit(), after which Qt's own globals may be
// gone before a static application would be.
QCoreApplication* g_app = nullptr;

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

void start(int* argc, char*** argv, App app)
{
    g_temp = std::make_unique<QTemporaryDir>();
    if (!g_temp->isValid()) {
        std::fprintf(stderr, "fuzz: no temporary folder\n");
        std::abort();
    }
    const QByteArray temp = QFile::encodeName(g_temp->path());
    qputenv("HOME", temp);
    qputenv("XDG_CONFIG_HOME", temp + "/config");
    qputenv("XDG_DATA_HOME", temp + "/data");
    qputenv("XDG_CACHE_HOME", temp + "/cache");
    qputenv("XDG_RUNTIME_DIR", temp);
    qputenv("VELBROOK_RUNTIME_DIR", temp);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quiet);
    // The application keeps argc by reference: it must outlive the process's last input.
    if (app == App::Gui)
        g_app = new QApplication(*argc, *argv);
    else
        g_app = new QCoreApplication(*argc, *argv);
}

QString tempDir()
{
    return g_temp->path();
}

QString writeFile(const QString& name, const uint8_t* data, size_t size)
{
    const QString path = g_temp->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size)) {
        std::fprintf(stderr, "fuzz: cannot write %s\n", qPrintable(path));
        std::abort();
    }
    return path;
}

QByteArray bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

QStringList textLines(const uint8_t* data, size_t size)
{
    QStringList lines;
    const QByteArrayView text(reinterpret_cast<const char*>(data), qsizetype(size));
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        QByteArrayView line = text.sliced(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        lines.append(fromCp1251(line));
        start = end + 1;
    }
    return lines;
}

QStringList storedScriptLines(const QStringList& lines, bool lowerCase)
{
    return DecodeScript(encodeScript(lines), lowerCase);
}

void clearFolder(const QString& path)
{
    QDir folder(path);
    const QFileInfoList entries =
        folder.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
    }
}

void fail(const char* what, const QString& detail)
{
    std::fprintf(stderr, "fuzz: check failed: %s\n  %s\n", what, qPrintable(detail));
    std::abort();
}

} // namespace fuzz
