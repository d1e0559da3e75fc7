// velbrook-tool send: speaks to a window of the program as the companion program would.

#include "copydata.h"
#include "toolsupport.h"

#include <algorithm>

int runSendCommand(ToolArgs& args)
{
    const QStringList words = args.positional(2, 2 + CopyDataRecord::kSlots);
    const QString caption = words[0];
    bool ok = false;
    const int kind = words[1].toInt(&ok);
    const auto known = {int(CopyDataKind::ShowPage), int(CopyDataKind::PrintFile), int(CopyDataKind::QueryFile)};
    if (!ok || std::find(known.begin(), known.end(), kind) == known.end())
        fail(ExitBadInput,
             QStringLiteral("KIND is 0 (show page), 1 (print file) or 3 (query file), not \"%1\"").arg(words[1]));
    CopyDataRecord record;
    record.kind = quint16(kind);
    // String i goes to slot i with type code i.
    for (qsizetype i = 2; i < words.size(); ++i)
        record.strings.append({qint32(i - 2), words[i]});
    if (record.strings.isEmpty())
        fail(ExitBadInput, QStringLiteral("a request carries at least one string"));
    if (!record.encode())
        fail(ExitBadInput, QStringLiteral("a string does not fit its slot: at most %1 bytes in code page 1251")
                               .arg(CopyDataRecord::kMaxStringBytes));

    const std::optional<CopyDataAnswer> answer = SendCopyDataByCaption(caption, record);
    switch (CopyDataKind(kind)) {
    case CopyDataKind::QueryFile:
        if (answer && answer->message == kMsgQueryAnswer) {
            writeLine(answer->parameter == 1 ? QStringLiteral("yes") : QStringLiteral("no"));
            return answer->parameter == 1 ? ExitOk : ExitNotFound;
        }
        break;
    case CopyDataKind::ShowPage:
        if (answer && answer->message == kMsgPageShown) {
            writeLine(QStringLiteral("shown"));
            return ExitOk;
        }
        break;
    case CopyDataKind::PrintFile:
        // The window takes a file to print with a "print pending" answer; any other answer means
        // it refused the file (not a file of the manual's or the temporary folder, or a window
        // that does not print).
        if (answer && answer->message == kMsgPrintPending) {
            writeLine(QStringLiteral("sent"));
            return ExitOk;
        }
        if (answer) {
            writeLine(QStringLiteral("refused"));
            return ExitNotFound;
        }
        break;
    }
    writeLine(QStringLiteral("none"));
    return ExitNotFound;
}
