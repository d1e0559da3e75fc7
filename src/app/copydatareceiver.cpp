#include "copydatareceiver.h"

#include "applog.h"
#include "copydata.h"
#include "panehistory.h"
#include "windowdirectory.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace {

constexpr int kFileSlotType = 0;
constexpr int kFirstValueType = 1;
constexpr int kSecondValueType = 2;

CopyDataAnswer showPage(const CopyDataTarget& target, const QString& path)
{
    if (target.kind != CopyDataTarget::Kind::Skinned) {
        if (target.showPage)
            target.showPage(path);
        return {};
    }
    const QString page = target.programDir + path;
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
// the window posts to itself.
void printLater(QObject* owner, const CopyDataTarget& target, const CopyDataRecord& record)
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
        return;
    }
    QTimer::singleShot(0, owner, [target, file, first, second] {
        if (target.printFile)
            target.printFile(file, first, second);
        else
            qCDebug(lcApp) << "a print request is not printed in this build:" << file;
        // The sender hands the file over: it goes once printed, and never a folder.
        if (QFileInfo(file).isFile() && !QFile::remove(file))
            qCDebug(lcApp) << "the printed file could not be deleted:" << file;
    });
}

CopyDataAnswer queryFile(const CopyDataTarget& target, const CopyDataRecord& record)
{
    const CopyDataString& asked = record.strings.first();
    const bool yes =
        asked.type == kFileSlotType && !target.startedFile.isEmpty() && target.startedFile.trimmed() == asked.text;
    return {kMsgQueryAnswer, yes ? 1 : 0};
}

} // namespace

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
                             printLater(owner, target, *record);
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
