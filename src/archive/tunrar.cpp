#include "tunrar.h"

#include "archivelog.h"
#include "archivewalk.h"
#include "listingpages.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>

#include <sys/stat.h>

namespace {

const QLatin1String kRunPrefix("run-");
const QLatin1String kLockSuffix(".lock");

bool containsText(const QStringList& texts, const QString& text)
{
    return std::any_of(texts.cbegin(), texts.cend(),
                       [&](const QString& t) { return t.compare(text, Qt::CaseInsensitive) == 0; });
}

// A folder and everything below it: files first, read-only ones made writable; then the
// folders, the deepest first. A symbolic link is removed as a link: what it points to is never
// touched.
void removeTree(const QString& folder)
{
    QStringList subfolders;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        if (entry.isDir() && !entry.isSymLink()) {
            subfolders.append(entry.filePath());
            continue;
        }
        if (!QFile::remove(entry.filePath())) {
            QFile::setPermissions(entry.filePath(), entry.permissions() | QFileDevice::WriteOwner);
            QFile::remove(entry.filePath());
        }
    }
    std::sort(subfolders.begin(), subfolders.end(),
              [](const QString& a, const QString& b) { return a.count(u'/') > b.count(u'/'); });
    for (const QString& sub : std::as_const(subfolders))
        QDir().rmdir(sub);
    QDir().rmdir(folder);
}

std::unique_ptr<QLockFile> runLock(const QString& path)
{
    auto lock = std::make_unique<QLockFile>(path + kLockSuffix);
    lock->setStaleLockTime(0); // a reader runs for hours: only a lock whose owner is gone is stale
    return lock;
}

} // namespace

TUnRar::TUnRar(UnRarHooks hooks, QString root) : m_hooks(std::move(hooks)), m_root(std::move(root))
{
    if (!m_root.isEmpty() && !m_root.endsWith(QLatin1Char('/')))
        m_root += QLatin1Char('/');
    makeRunFolder();
    RemoveLeftovers();
}

TUnRar::~TUnRar()
{
    RemoveLeftovers();
    if (!m_tempDir.isEmpty())
        removeTree(m_tempDir);
    m_lock.reset(); // the lock file goes with the lock
}

// The lock first, then the folder: a folder is never seen without its lock by another reader
// clearing leftovers.
void TUnRar::makeRunFolder()
{
    if (m_root.isEmpty()) {
        qCDebug(lcArchive) << "no folder for archive listings: no private folder of the user's";
        return;
    }
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QString name =
            kRunPrefix + QString::number(QRandomGenerator::global()->generate64(), 36).rightJustified(13, u'0');
        const QString path = m_root + name;
        std::unique_ptr<QLockFile> lock = runLock(path);
        if (!lock->tryLock(0))
            continue;
        if (::mkdir(QFile::encodeName(path).constData(), S_IRWXU) != 0)
            continue; // taken already: the lock goes, another name is tried
        m_lock = std::move(lock);
        m_tempDir = path + QLatin1Char('/');
        return;
    }
    qCDebug(lcArchive) << "no folder for archive listings could be made in" << m_root;
}

void TUnRar::message(const QString& text) const
{
    if (m_hooks.showMessage)
        m_hooks.showMessage(text);
}

void TUnRar::ListArchive(const QString& archivePath, const QString& currentPage)
{
    if (m_tempDir.isEmpty()) {
        qCDebug(lcArchive) << "listing not shown: no folder for it:" << archivePath;
        message(QStringLiteral(u"Не удалось создать папку для списка архива ") + archivePath);
        return;
    }
    m_archivePath = archivePath;
    m_tempFolder = m_tempDir + archiveTempFolderName(archivePath) + QLatin1Char('/');
    const QString frameset = m_tempFolder + framesetPageName(archivePath);
    // The page the reader came from, also when the archive was listed before from another page,
    // so that going back to it always leaves the archive mode.
    const bool inArchive = m_hooks.archiveMode && m_hooks.archiveMode();
    if (!inArchive && !currentPage.isEmpty() && !containsText(m_returnPages, currentPage))
        m_returnPages.append(currentPage);
    // Pages are shown again only when this run wrote them.
    if (!m_listingPages.contains(frameset) || !QFileInfo::exists(frameset)) {
        if (!QDir().mkpath(m_tempFolder)) {
            qCDebug(lcArchive) << "listing not shown: cannot make" << m_tempFolder;
            message(QStringLiteral("File ") + m_tempFolder + QStringLiteral(" create error"));
            return;
        }
        m_listingPages.append(frameset);
        if (listArchiveInto(archivePath, m_tempFolder, [this](const QString& text) { message(text); }).isEmpty()) {
            qCDebug(lcArchive) << "listing not shown:" << archivePath;
            return;
        }
    }
    if (m_hooks.showPage)
        m_hooks.showPage(frameset);
}

void TUnRar::PageShown(const QString& page)
{
    if (!m_hooks.archiveMode || !m_hooks.setArchiveMode)
        return;
    if (m_hooks.archiveMode()) {
        if (containsText(m_returnPages, page))
            m_hooks.setArchiveMode(false);
    } else if (containsText(m_listingPages, page)) {
        m_hooks.setArchiveMode(true);
    }
}

QString TUnRar::freeSubfolder(const QString& folder, const QString& archivePath)
{
    const QString name = QFileInfo(archivePath).fileName();
    const QDir dir(folder);
    if (!dir.exists(name))
        return name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    const QString extension = dot < 0 ? QString() : name.mid(dot);
    for (int n = 1;; ++n) {
        const QString candidate = base + QString::number(n) + extension;
        if (!dir.exists(candidate))
            return candidate;
    }
}

void TUnRar::ExtractArchive(bool toUserFolder, bool directly)
{
    if (m_archivePath.isEmpty()) {
        qCDebug(lcArchive) << "nothing unpacked: no archive was listed";
        return;
    }
    QString folder = m_tempFolder;
    if (toUserFolder) {
        const std::optional<QString> field = m_hooks.pathFolder ? m_hooks.pathFolder() : std::nullopt;
        if (!field) {
            qCDebug(lcArchive) << "nothing unpacked: the window has no path field";
            message(kNoFolderField.toString());
            return;
        }
        // An empty field would unpack into whatever folder the program runs in.
        if (field->trimmed().isEmpty()) {
            qCDebug(lcArchive) << "nothing unpacked: the path field is empty";
            message(QStringLiteral(u"Укажите папку для распаковки."));
            return;
        }
        folder = *field;
    }
    // The walk makes the destination with the first entry: an archive that cannot be opened leaves
    // no folder behind.
    const QString destination = directly ? folder : QDir(folder).filePath(freeSubfolder(folder, m_archivePath));
    if (m_hooks.setBusy)
        m_hooks.setBusy(true);
    int reported = 0;
    const ExtractOutcome outcome =
        extractArchiveEntries(m_archivePath, destination, [this, &reported](const QString& text) {
            ++reported;
            message(text);
        });
    if (m_hooks.setBusy)
        m_hooks.setBusy(false);
    qCDebug(lcArchive) << "unpacked" << outcome.written.size() << "entries of" << m_archivePath << "into"
                       << destination;
    // Into the reader's folder the work is told, and where it went; on demand the file the reader
    // asked for simply opens. Every failure has been told already.
    if (toUserFolder && reported == 0 && outcome.refused.isEmpty() && outcome.openResult == 0)
        message(kUnpackedInto.toString().arg(QDir::toNativeSeparators(destination)));
}

void TUnRar::RemoveLeftovers()
{
    if (!m_tempDir.isEmpty()) {
        const QFileInfoList folders =
            QDir(m_tempDir).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        for (const QFileInfo& info : folders) {
            if (info.fileName().startsWith(QLatin1String("as_"), Qt::CaseInsensitive) && !info.isSymLink())
                removeTree(info.filePath());
        }
    }
    if (m_root.isEmpty())
        return;
    // The folders of readers that ended without clearing theirs: a run folder whose lock is free.
    const QFileInfoList runs =
        QDir(m_root).entryInfoList({kRunPrefix + QLatin1Char('*')}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& info : runs) {
        if (info.isSymLink() || info.filePath() + QLatin1Char('/') == m_tempDir)
            continue;
        const std::unique_ptr<QLockFile> lock = runLock(info.filePath());
        if (!lock->tryLock(0))
            continue; // that reader still runs
        qCDebug(lcArchive) << "the listings of an earlier run removed:" << info.filePath();
        removeTree(info.filePath());
    }
}
