#include "copydatareceiver.h"

#include "applog.h"
#include "copydata.h"
#include "panehistory.h"
#include "pathresolver.h"
#include "windowdirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <unistd.h>

namespace {

constexpr int kFileSlotType = 0;
constexpr int kFirstValueType = 1;
constexpr int kSecondValueType = 2;

CopyDataAnswer showPage(const CopyDataTarget& target, const QString& path)
{
    const QString page = acceptedPage(path, target.programDir);
    if (page.isEmpty()) {
        qCDebug(lcApp) << "a page outside the manual's folder is not shown:" << path;
        return {};
    }
    if (target.kind != CopyDataTarget::Kind::Skinned) {
        if (target.showPage)
            target.showPage(page);
        return {};
    }
    const int screen = target.currentScreen ? target.currentScreen() : 0;
    if (screen != 0) {
        const QString shown = target.currentFile ? target.currentFile() : QString();
        if (!sameFile(shown, page) && target.showPage)
            target.showPage(page);
    } else if (target.runCommand) {
        target.runCommand(QStringLiteral("screen2=") + page);
    }
    if (target.syncTree)
        target.syncTree(page);
    return {kMsgPageShown, qint32(QCoreApplication::applicationPid())};
}

// The print request is taken at once and carried out once the sender has its answer, as a notice
// the window posts to itself. The file is checked first: the request hands it over to be printed
// and deleted, so only a file of the manual's folder or of the temporary folder is taken, and the
// file deleted is the one printed, by the same path, once it was printed.
CopyDataAnswer printLater(QObject* owner, const CopyDataTarget& target, const CopyDataRecord& record)
{
    QString file;
    int first = 0;
    int second = 0;
    for (const CopyDataString& string : record.strings) {
        if (string.type == kFileSlotType)
            file = string.text;
        else if (string.type == kFirstValueType)
            first = string.text.trimmed().toInt();
        else if (string.type == kSecondValueType)
            second = string.text.trimmed().toInt();
    }
    if (file.isEmpty()) {
        qCDebug(lcApp) << "a print request without a file dropped";
        return {};
    }
    if (!target.printFile) {
        qCDebug(lcApp) << "a print request refused: this window does not print:" << file;
        return {};
    }
    const QString accepted = acceptedPrintFile(file, target.programDir, target.tempDir);
    if (accepted.isEmpty()) {
        qCDebug(lcApp) << "a print request refused: not a file of the manual's or the temporary folder:" << file;
        return {};
    }
    if (target.packHolds && target.packHolds(accepted)) {
        qCDebug(lcApp) << "a print request refused: the content pack holds a file of that path:" << accepted;
        return {};
    }
    QTimer::singleShot(0, owner, [target, accepted, first, second] {
        if (!target.printFile(accepted, first, second)) {
            qCDebug(lcApp) << "the file to print was not printed, and is kept:" << accepted;
            return;
        }
        // The sender handed the file over: it goes once printed.
        if (!QFile::remove(accepted))
            qCDebug(lcApp) << "the printed file could not be deleted:" << accepted;
    });
    return {kMsgPrintPending, 0};
}

CopyDataAnswer queryFile(const CopyDataTarget& target, const CopyDataRecord& record)
{
    const CopyDataString& asked = record.strings.first();
    const bool yes =
        asked.type == kFileSlotType && !target.startedFile.isEmpty() && target.startedFile.trimmed() == asked.text;
    return {kMsgQueryAnswer, yes ? 1 : 0};
}

// The folder with its links resolved and a trailing '/'; empty when it does not exist.
QString canonicalFolder(const QString& folder)
{
    const QString canonical = folder.isEmpty() ? QString() : QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() || canonical.endsWith(QLatin1Char('/')) ? canonical : canonical + QLatin1Char('/');
}

} // namespace

QString acceptedPage(const QString& requested, const QString& programDir)
{
    const QString path = toInternalPath(requested);
    if (path.startsWith(QLatin1Char('/')))
        return isWithinFolder(path, programDir) ? path : QString();
    return staysInsideFolder(path) ? programDir + path : QString();
}

QString acceptedPrintFile(const QString& requested, const QString& programDir, const QString& tempDir)
{
    QString path = toInternalPath(requested);
    if (path.isEmpty() || hasDriveLetter(path))
        return {};
    if (!path.startsWith(QLatin1Char('/')))
        path = programDir + path;
    const QFileInfo info(path);
    // The named file itself: a link is refused rather than followed to whatever it names.
    if (info.isSymLink() || !info.isFile())
        return {};
    const QString canonical = info.canonicalFilePath();
    const QString content = canonicalFolder(programDir);
    if (!content.isEmpty() && canonical.startsWith(content))
        return canonical;
    const QString temp = canonicalFolder(tempDir);
    if (!temp.isEmpty() && canonical.startsWith(temp) && info.ownerId() == uint(geteuid()))
        return canonical;
    return {};
}

void receiveCopyData(WindowEndpoint& endpoint, QObject* owner, CopyDataTarget target)
{
    QObject::connect(&endpoint, &WindowEndpoint::recordReceived, owner,
                     [owner, target](const QByteArray& bytes, int* answer, QByteArray* reply) {
                         const std::optional<CopyDataRecord> record = CopyDataRecord::decode(bytes);
                         if (!record) {
                             qCDebug(lcApp) << "a malformed request record dropped," << bytes.size() << "bytes";
                             return;
                         }
                         if (target.hasPane && !target.hasPane()) {
                             qCDebug(lcApp) << "a request dropped: this window has no pane";
                             return;
                         }
                         CopyDataAnswer result;
                         switch (CopyDataKind(record->kind)) {
                         case CopyDataKind::ShowPage:
                             result = showPage(target, record->strings.first().text);
                             break;
                         case CopyDataKind::PrintFile:
                             result = printLater(owner, target, *record);
                             break;
                         case CopyDataKind::QueryFile:
                             result = queryFile(target, *record);
                             break;
                         default:
                             qCDebug(lcApp) << "a request of unknown kind dropped:" << record->kind;
                             return;
                         }
                         const RecordReply out = copyDataReply(result);
                         *answer = out.answer;
                         *reply = out.payload;
                     });
}
