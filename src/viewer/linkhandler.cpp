#include "linkhandler.h"

#include "appcontext.h"
#include "copydata.h"
#include "scripthelpers.h"
#include "viewerlog.h"
#include "windowcaptions.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QSaveFile>

namespace {

QString fileName(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace

void fillDesktopLinkServices(LinkServices& services, QWidget* parent, const AppContext& context)
{
    if (!services.startCopy)
        services.startCopy = [&context](const QString& file) {
            // A copy that shows the picture already comes forward instead of a second one.
            if (raiseWindowShowing(WindowCaption::enlargedPicture(), file))
                return;
            QProcess::startDetached(QCoreApplication::applicationFilePath(),
                                    {QStringLiteral("--content"), context.values.programDir, file});
        };
    if (!services.openUrl)
        services.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    if (!services.startProgram)
        services.startProgram = [](const QString& program) {
            QProcess::startDetached(program, {}, QFileInfo(program).absolutePath());
        };
    if (!services.saveFileName)
        services.saveFileName = [parent](const QString& folder, const QString& proposedName) {
            // The first save of a run starts in the reader's home folder, not wherever the program
            // was started from.
            const QString start = folder.isEmpty() ? QDir::homePath() : folder;
            return QFileDialog::getSaveFileName(parent, QString(), QDir(start).filePath(proposedName),
                                                QStringLiteral(u"Zip файлы (*.zip);;Все файлы (*)"));
        };
    if (!services.setClipboard)
        services.setClipboard = [](const QString& text) { QGuiApplication::clipboard()->setText(text); };
}

TLinkHandler::TLinkHandler(const AppContext& context, LinkServices services)
    : m_context(context), m_services(std::move(services))
{
}

bool TLinkHandler::HandleLinkClick(const LinkClick& click, bool archiveMode, const QString& currentFile,
                                   const std::function<void(const QString&)>& markVisited)
{
    const QString fullPath = linkFullPath(click.document, click.link);
    const LinkRule rule = classifyLink(click.target, click.link, fullPath, archiveMode);
    const auto visit = [&](const QString& path) {
        if (markVisited)
            markVisited(path.toLower());
    };
    switch (rule) {
    case LinkRule::NewCopy: {
        const QString file = withoutFragment(fullPath);
        if (!m_context.pack.PackFileExists(file)) {
            qCDebug(lcViewer) << "no copy started: no such file" << file;
            return true;
        }
        visit(fullPath);
        if (m_services.startCopy)
            m_services.startCopy(m_context.disk.resolve(file));
        return true;
    }
    case LinkRule::Shell: {
        visit(fullPath);
        const QString address = click.link.trimmed();
        if (m_services.openUrl && !m_services.openUrl(QUrl(address))) {
            qCDebug(lcViewer) << "no program opened" << address;
            tell(kCannotOpenAddress.toString().arg(address));
        }
        return true;
    }
    case LinkRule::Print: {
        const qsizetype at = click.link.toLower().indexOf(QLatin1String("printhtml:"));
        const QString file = linkFullPath(click.document, click.link.left(at) + click.link.mid(at + 10));
        visit(file);
        if (m_services.printFile)
            m_services.printFile(m_context.disk.resolve(file));
        return true;
    }
    case LinkRule::CopyFile: {
        visit(fullPath);
        const QString folder = destinationFolder();
        if (folder.isEmpty()) {
            tell(kNoCopyFolder);
            return true;
        }
        const QString file = withoutFragment(linkFullPath(click.document, click.link.mid(5)));
        const bool copied = copyFile(file, folder + fileName(m_context.disk.resolve(file)));
        if (!copied)
            qCDebug(lcViewer) << "copy: cannot copy" << file << "to" << folder;
        tell(copied ? kPageCopied : kPageNotCopied);
        return true;
    }
    case LinkRule::CopyList:
        visit(fullPath);
        CopyListValue(click.link.mid(9), click.lists);
        return true;
    case LinkRule::FileAction:
    case LinkRule::ShowPage:
    case LinkRule::FollowSync:
    case LinkRule::Follow:
        break;
    }

    // A member of the listed archive exists once the archive is unpacked.
    if (archiveMode && !click.link.startsWith(QLatin1Char('#')) &&
        !m_context.pack.PackFileExists(withoutFragment(fullPath)) && m_services.extractArchive)
        m_services.extractArchive();
    switch (rule) {
    case LinkRule::FileAction:
        visit(fullPath);
        fileAction(fullPath, archiveMode, currentFile);
        return true;
    case LinkRule::ShowPage: {
        const QString file = withoutFragment(fullPath);
        const QString local = m_context.disk.resolve(file);
        if (!archiveMode && m_services.syncTree && linkExtension(file).startsWith(QLatin1String(".htm")))
            m_services.syncTree(local);
        if (m_services.showPage)
            m_services.showPage(local + fullPath.mid(file.size()));
        return true;
    }
    case LinkRule::FollowSync:
        if (m_services.syncTree)
            m_services.syncTree(withoutFragment(fullPath));
        return false;
    default:
        return false;
    }
}

void TLinkHandler::fileAction(const QString& fullPath, bool archiveMode, const QString& currentFile)
{
    // Links written for the drive the disc was made on reach the drive the program runs from.
    const QString path = withoutFragment(archiveMode ? fullPath : m_context.disk.toLocal(fullPath));
    const QString extension = linkExtension(fullPath);
    const QString local = m_context.disk.resolve(path);
    if (extension.contains(QLatin1String(".zip"))) {
        if (!m_services.saveFileName)
            return;
        const QString chosen = m_services.saveFileName(m_lastSaveFolder, fileName(local));
        if (chosen.isEmpty())
            return;
        m_lastSaveFolder = QFileInfo(chosen).absolutePath();
        copyFile(path, chosen);
    } else if (extension.contains(QLatin1String(".rar"))) {
        if (m_services.showArchive)
            m_services.showArchive(local, currentFile);
    } else if (extension.contains(QLatin1String(".wav"))) {
        if (m_services.playClip)
            m_services.playClip(local);
    } else {
        if (!QFileInfo::exists(local)) {
            qCDebug(lcViewer) << "the linked file is not there:" << local;
            tell(kFileNotFound.toString().arg(QDir::toNativeSeparators(local)));
        } else if (extension == QLatin1String(".exe") || extension == QLatin1String(".com")) {
            if (m_services.startProgram)
                m_services.startProgram(local);
        } else if (m_services.openUrl && !m_services.openUrl(QUrl::fromLocalFile(local))) {
            qCDebug(lcViewer) << "no program opened" << local;
            tell(kCannotOpenFile.toString().arg(fileName(local)));
        }
    }
}

QString TLinkHandler::destinationFolder() const
{
    QString folder = m_services.pathFolder ? toInternalPath(m_services.pathFolder()) : QString();
    // The folder the reader copies to is on the reader's own disk, what "c:\" was on the system
    // the manual was written for: a drive letter stands for the home folder here, not for the
    // (read-only) volume the manual comes from.
    if (hasDriveLetter(folder)) {
        QString rest = folder.mid(2);
        if (rest.startsWith(QLatin1Char('/')))
            rest.remove(0, 1);
        folder = QDir::homePath() + QLatin1Char('/') + rest;
    }
    return folder;
}

bool TLinkHandler::copyFile(const QString& from, const QString& to) const
{
    // A file on disk is copied as it is; a file that only the pack holds is unpacked to the target.
    const QString target = m_context.disk.resolveForWrite(to);
    if (!QDir().mkpath(QFileInfo(target).absolutePath()))
        return false;
    const QString source = m_context.disk.resolve(from);
    if (QFileInfo(source).isFile() && m_context.pack.FindPackEntry(from) < 0) {
        if (QFileInfo(source).canonicalFilePath() == QFileInfo(target).canonicalFilePath())
            return true;
        QFile::remove(target);
        return QFile::copy(source, target);
    }
    const std::optional<QByteArray> bytes = m_context.pack.readFile(from);
    if (!bytes)
        return false;
    QSaveFile out(target);
    return out.open(QIODevice::WriteOnly) && out.write(*bytes) == bytes->size() && out.commit();
}

void TLinkHandler::tell(QStringView text) const
{
    if (m_services.showStatus)
        m_services.showStatus(text.toString());
}

void TLinkHandler::CopyPageFiles(const QString& currentFile)
{
    if (currentFile.isEmpty()) {
        qCDebug(lcViewer) << "copyhtml: no page shown, nothing copied";
        return;
    }
    const QString folder = destinationFolder();
    if (folder.isEmpty()) {
        qCDebug(lcViewer) << "copyhtml: no path field, nothing copied";
        tell(kNoCopyFolder);
        return;
    }
    const auto report = [this](QStringView text) { tell(text); };
    if (!copyFile(currentFile, folder + fileName(m_context.disk.resolve(currentFile)))) {
        qCDebug(lcViewer) << "copyhtml: cannot copy" << currentFile << "to" << folder;
        report(kPageNotCopied);
        return;
    }
    // The pictures and styles a saved web page keeps beside it: x.htm has x.files.
    const QString pageFolder = currentFile.left(currentFile.lastIndexOf(QLatin1Char('/')) + 1);
    const QString companion = currentFile.left(currentFile.lastIndexOf(QLatin1Char('.'))) + QStringLiteral(".files");
    QStringList files;
    if (m_context.disk.folderExists(companion)) {
        const QString localPageFolder = m_context.disk.resolve(pageFolder);
        for (const QString& path : FindFiles(m_context.disk, companion, {QStringLiteral("*.*")}, true, true))
            files.append(pageFolder + path.mid(localPageFolder.size() + (localPageFolder.endsWith('/') ? 0 : 1)));
    } else {
        // A packed page keeps its companion folder in the pack, whose paths are relative to the
        // pack's base (the content folder, above a "run" folder the program may live in) and whose
        // names are upper case: the copies take the folder's name as the page has it and lower
        // case below it, as pages link.
        const QString base = m_context.values.contentDir;
        const QString local = m_context.disk.toLocal(companion);
        const QString prefix =
            (local.startsWith(base, Qt::CaseInsensitive) ? local.mid(base.size()) : local) + QLatin1Char('/');
        for (const QString& entry : m_context.pack.ListPackFiles()) {
            if (entry.startsWith(prefix, Qt::CaseInsensitive))
                files.append(companion + QLatin1Char('/') + entry.mid(prefix.size()).toLower());
        }
    }
    bool complete = true;
    for (const QString& path : std::as_const(files)) {
        const QString relative = path.mid(pageFolder.size());
        const bool copied = path.endsWith(QLatin1Char('/'))
                                ? QDir().mkpath(m_context.disk.resolveForWrite(folder + relative))
                                : copyFile(path, folder + relative);
        if (!copied) {
            qCDebug(lcViewer) << "copyhtml: cannot copy" << path << "to" << folder + relative;
            complete = false;
        }
    }
    report(complete ? kPageCopied : kPageCopiedInPart);
}

void TLinkHandler::CopyListValue(const QString& name, const QList<std::pair<QString, QString>>& lists)
{
    for (const auto& [listName, selected] : lists) {
        if (listName.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (m_services.setClipboard)
            m_services.setClipboard(selected);
        if (m_services.showStatus)
            m_services.showStatus(QStringLiteral(u"Серийный номер скопирован"));
    }
}
