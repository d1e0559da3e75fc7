#include "thesauruscommand.h"

#include "appcontext.h"
#include "applog.h"
#include "copydata.h"
#include "tesaurusfind.h"
#include "windowcaptions.h"
#include "windowdirectory.h"

#include <QProcess>

ThesaurusOpened openThesaurus(const AppContext& context, const QString& program, const StartCopy& start)
{
    TMakeTesaurusFind find(context.pack);
    find.SetIndexFolder(context.values.programDir);
    QString page;
    const IndexLookup lookup = find.FindInThesaurus(QString(), page);
    if (lookup.message == IndexMessage::ThesaurusUnreadable) {
        qCDebug(lcApp) << "tesaurus: tezaurus.idx cannot be read";
        return ThesaurusOpened::IndexUnreadable;
    }
    if (!lookup || page.isEmpty()) {
        qCDebug(lcApp) << "tesaurus: no start page in tezaurus.idx";
        return ThesaurusOpened::NoThesaurus;
    }
    const QString target = context.values.programDir + toInternalPath(page);
    const QString caption = WindowCaption::Thesaurus();
    if (WindowDirectory::exists(caption)) {
        CopyDataRecord show;
        show.kind = quint16(CopyDataKind::ShowPage);
        show.strings.append({0, target});
        if (SendCopyDataByCaption(caption, show) && WindowDirectory::requestRaise(caption))
            return ThesaurusOpened::SentToOpenWindow;
        qCDebug(lcApp) << "tesaurus: the open thesaurus window did not take the page; a copy starts";
    }
    const QString file = target.section(QLatin1Char('#'), 0, 0);
    if (!context.pack.PackFileExists(file)) {
        qCDebug(lcApp) << "tesaurus: the start page does not exist:" << file;
        return ThesaurusOpened::NoStartPage;
    }
    const QStringList arguments{QStringLiteral("--content"), context.values.programDir, target, QStringLiteral("/t")};
    if (!(start ? start(program, arguments) : QProcess::startDetached(program, arguments))) {
        qCDebug(lcApp) << "tesaurus: the thesaurus copy could not be started";
        return ThesaurusOpened::StartFailed;
    }
    return ThesaurusOpened::CopyStarted;
}

QString thesaurusFailureText(ThesaurusOpened result)
{
    switch (result) {
    case ThesaurusOpened::SentToOpenWindow:
    case ThesaurusOpened::CopyStarted:
        return QString();
    case ThesaurusOpened::NoThesaurus:
    case ThesaurusOpened::NoStartPage:
        return QStringLiteral(u"Тезаурус не найден");
    case ThesaurusOpened::IndexUnreadable:
        return indexMessageText(IndexMessage::ThesaurusUnreadable);
    case ThesaurusOpened::StartFailed:
        return QStringLiteral(u"Не удалось открыть тезаурус");
    }
    return QString();
}
