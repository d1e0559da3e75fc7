#include "tnavfont.h"

#include "componentslog.h"
#include "contentpack.h"
#include "pathresolver.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>

namespace {

constexpr int kFcCacheWait = 60000; // ms; fc-cache over one folder takes well under a second

bool isFontName(const QString& name)
{
    return name.endsWith(QLatin1String(".ttf"), Qt::CaseInsensitive);
}

QString folderOf(const QString& path)
{
    QString internal = path;
    internal.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const int slash = internal.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : internal.left(slash + 1);
}

} // namespace

TNavFont::TNavFont(const ContentPack& pack, const PathResolver& disk, QString packBase, NavFontHooks hooks,
                   QString fontFolder)
    : m_pack(pack), m_disk(disk), m_packBase(std::move(packBase)), m_hooks(std::move(hooks)),
      m_fontFolder(fontFolder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                                              QStringLiteral("/fonts")
                                        : std::move(fontFolder))
{
}

TNavFont::~TNavFont() = default;

void TNavFont::RememberPageFolder(const QString& page)
{
    m_folder = folderOf(page);
}

QStringList TNavFont::fontFiles(const QString& folder) const
{
    QMap<QString, QString> found; // lower-cased name -> content path; disk names win
    const QString base =
        m_packBase.endsWith(QLatin1Char('/')) || m_packBase.isEmpty() ? m_packBase : m_packBase + QLatin1Char('/');
    if (!folder.isEmpty() && folder.startsWith(base, Qt::CaseInsensitive)) {
        const QString relative = folder.mid(base.size());
        for (const QString& packed : m_pack.ListPackFiles()) {
            const QString name = packed.mid(packed.lastIndexOf(QLatin1Char('/')) + 1);
            if (isFontName(name) && folderOf(packed).compare(relative, Qt::CaseInsensitive) == 0)
                found.insert(name.toLower(), folder + name);
        }
    }
    if (!folder.isEmpty()) {
        const QDir dir(m_disk.resolve(folder));
        for (const QString& name : dir.entryList({QStringLiteral("*.ttf")}, QDir::Files, QDir::Name | QDir::IgnoreCase))
            found.insert(name.toLower(), folder + name);
    }
    return found.values();
}

int TNavFont::InstallFonts()
{
    if (m_hooks.setBusy)
        m_hooks.setBusy(true);
    auto say = [this](const QString& text) {
        if (m_hooks.showMessage)
            m_hooks.showMessage(text);
    };
    const QStringList files = fontFiles(m_folder);
    QStringList failed;
    bool diskFull = false;
    int installed = 0;
    const bool noFolder = !files.isEmpty() && !QDir().mkpath(m_fontFolder);
    if (!noFolder) {
        for (const QString& file : files) {
            const QString target = m_fontFolder + QLatin1Char('/') + QFileInfo(file).fileName();
            const std::optional<QByteArray> bytes = m_pack.readFile(file);
            // The new file goes in under a temporary name and is checked there; only a font that
            // loads takes the place of a file of its name, which may be the user's own font.
            QTemporaryFile out(m_fontFolder + QStringLiteral("/.velbrook-font-XXXXXX"));
            errno = 0;
            const bool written = bytes && out.open() && out.write(*bytes) == bytes->size() && out.flush();
            const int checked = written ? QFontDatabase::addApplicationFont(out.fileName()) : -1;
            if (checked >= 0) {
                QFontDatabase::removeApplicationFont(checked);
                // rename() replaces the old file in one step: it is never missing or half written.
                if (::rename(QFile::encodeName(out.fileName()).constData(), QFile::encodeName(target).constData()) ==
                    0) {
                    out.setAutoRemove(false);
                    // This process's font list, which the interface and the engine's pages read.
                    if (const auto old = m_added.find(target); old != m_added.end())
                        QFontDatabase::removeApplicationFont(old.value());
                    const int id = QFontDatabase::addApplicationFont(target);
                    if (id >= 0) {
                        m_added.insert(target, id);
                        ++installed;
                        continue;
                    }
                    m_added.remove(target);
                }
            } else if (!written) {
                diskFull = errno == ENOSPC || out.error() == QFileDevice::ResourceError;
            }
            // Not installed: the temporary file goes (QTemporaryFile), whatever had the name stays.
            qCDebug(lcComponents) << "font not installed:" << file << "->" << target << out.errorString();
            failed.append(QFileInfo(file).fileName());
            if (diskFull)
                break;
        }
    }
    if (installed > 0) {
        // Other programs, and this one's next run, find the fonts through fontconfig's cache.
        QProcess cache;
        cache.start(QStringLiteral("fc-cache"), {m_fontFolder});
        if (!cache.waitForFinished(kFcCacheWait) || cache.exitCode() != 0)
            qCDebug(lcComponents) << "fc-cache did not update the font cache:" << cache.errorString();
        if (m_hooks.fontsAdded)
            m_hooks.fontsAdded();
    }
    if (noFolder)
        say(QStringLiteral(u"Не удалось создать папку шрифтов %1").arg(QDir::toNativeSeparators(m_fontFolder)));
    else if (diskFull)
        say(QStringLiteral(u"Недостаточно места на диске: шрифты установлены не все"));
    else if (!failed.isEmpty())
        say(QStringLiteral(u"Не удалось установить шрифты: %1").arg(failed.join(QStringLiteral(", "))));
    else if (files.isEmpty())
        say(QStringLiteral(u"В папке страницы нет шрифтов"));
    else
        say(QStringLiteral(u"Установлено шрифтов: %1").arg(installed));
    if (m_hooks.setBusy)
        m_hooks.setBusy(false);
    return installed;
}
