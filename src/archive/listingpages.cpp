#include "listingpages.h"

#include "archivelog.h"
#include "codepage.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace {

// The templates of the pages, one line each.
const char16_t kFrameset[] =
    u"<html> <head> <title>archivename</title> </head> <frameset rows=\"50,*\" frameborder=0> <frame "
    u"src=\"as_bar.htm\" name=\"Top\"> <frame src=\"filename\" name=\"Bot\"> </frameset> </head> </html>";
const char16_t kPageHead[] =
    u"<html> <head> <meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\"> "
    u"<title>archivename</title> </head> <body bgcolor=\"#FFFFFF\" text=\"#000000\"> <table border=\"0\" "
    u"cellpadding=3 width=\"100%\" cols=\"3\">";
const char16_t kColumnHeaders[] =
    u"<table border cellpadding=3 width=\"100%\" cols=\"3\" bordercolor=\"#37ffcd\"> <tr> <th align=\"left\" "
    u"width=\"50%\" nowrap>Имя</th> <th align=\"right\" width=\"25%\" nowrap>Размер</th> <th align=\"left\" "
    u"width=\"25%\" nowrap>Дата</th> </tr>";
const char16_t kRowStart[] = u"<tr> <td width=\"50%\"><a href=\"reffile\">";
const char16_t kRowName[] = u"refname</a></td>";
// The size and date cells keep to one line, as their headers do: a date broken after its day
// reads badly in a narrow pane.
const char16_t kRowEnd[] =
    u"<td align=\"right\" width=\"25%\" nowrap>size</td> <td width=\"25%\" nowrap>time</td> </tr>";
const char16_t kPageEnd[] = u"</table> </body> </html>";

const char16_t kTitlePrefix[] = u"Содержимое архива: ";
const char kBarPage[] = "as_bar.htm";

// Folder paths compare without regard to case: they are looked up by their case-folded text, so
// that a listing takes time in step with its entries and folders, however deep they go.
QString folderKey(const QString& folder)
{
    return folder.toCaseFolded();
}

qsizetype depth(const QString& folder)
{
    return folder.isEmpty() ? 0 : 1 + folder.count(QLatin1Char('/'));
}

// The template with its first placeholder replaced; the value is escaped for HTML.
QString fill(QString line, const QString& placeholder, const QString& value)
{
    const qsizetype at = line.indexOf(placeholder);
    if (at >= 0)
        line.replace(at, placeholder.size(), value.toHtmlEscaped());
    return line;
}

// Code page 1251, with every character it has no byte for written as a character reference, so
// names stored as Unicode keep all their characters.
QByteArray pageBytes(const QStringList& lines)
{
    QByteArray out;
    for (const QString& line : lines) {
        bool lossless = false;
        const QByteArray bytes = toCp1251(line, &lossless);
        if (lossless) {
            out += bytes;
        } else {
            for (const char32_t c : line.toUcs4()) {
                const QString one = QString::fromUcs4(&c, 1);
                const QByteArray byte = toCp1251(one, &lossless);
                out += lossless ? byte : "&#" + QByteArray::number(quint32(c)) + ';';
            }
        }
        out += "\r\n";
    }
    return out;
}

bool writePage(const QString& path, const QStringList& lines)
{
    QFile file(path);
    const QByteArray bytes = pageBytes(lines);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size())
        return true;
    qCDebug(lcArchive) << "listing page not written:" << path << file.errorString();
    return false;
}

// A file row's link: the entry's path inside the archive, which the page's folder resolves once
// the archive is unpacked there. A name that would read as an address of its own (a scheme such as
// "javascript:" or a drive letter before its first '/', or a leading '/') is made a path relative
// to the page, so it never runs or leads anywhere else.
QString fileLink(const QString& name)
{
    const qsizetype colon = name.indexOf(QLatin1Char(':'));
    const qsizetype slash = name.indexOf(QLatin1Char('/'));
    const bool scheme = colon >= 0 && (slash < 0 || colon < slash);
    if (scheme || name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\')))
        return QStringLiteral("./") + name;
    return name;
}

QString rowLine(const QString& link, const QString& label, const QString& size, const QString& time)
{
    return fill(QString::fromUtf16(kRowStart), QStringLiteral("reffile"), link) +
           fill(QString::fromUtf16(kRowName), QStringLiteral("refname"), label) +
           fill(fill(QString::fromUtf16(kRowEnd), QStringLiteral("size"), size), QStringLiteral("time"), time);
}

} // namespace

QString archiveFolderOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash);
}

QString archiveLastComponent(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

TListDir completeFolderList(const QList<ArchiveEntry>& entries)
{
    TListDir folders{{QString(), QString(), 0}};
    QSet<QString> listed{folderKey(QString())};
    const auto add = [&](const QString& name, qint32 time) {
        const QString key = folderKey(name);
        if (listed.contains(key))
            return;
        listed.insert(key);
        folders.append({name, QString(), time});
    };
    for (const ArchiveEntry& entry : entries) {
        if (entry.folder && !entry.name.isEmpty())
            add(entry.name, entry.time);
    }
    // Folders that only the paths of files name, then every missing ancestor, so each folder's
    // ".." row has a page to lead to.
    for (const ArchiveEntry& entry : entries) {
        if (!entry.folder)
            add(archiveFolderOf(entry.name), entry.time);
    }
    for (qsizetype k = 1; k < folders.size(); ++k)
        add(archiveFolderOf(folders[k].Name), folders[k].Time);
    return folders;
}

QList<RInfoFiles> buildPageRecords(const TListDir& folders, const QList<ArchiveEntry>& entries,
                                   const std::function<qint32()>& dosNow)
{
    QList<RInfoFiles> records;
    records.reserve(folders.size());
    // Every record of a folder, by the folder's key, in list order (a list may name a folder twice).
    QHash<QString, QList<qsizetype>> byFolder;
    for (qsizetype n = 0; n < folders.size(); ++n) {
        RInfoFiles record;
        record.Dir = folders[n].Name;
        record.Page = QStringLiteral("as_") + QString::number(n) + QString::number(dosNow()) + QStringLiteral(".htm");
        byFolder[folderKey(record.Dir)].append(n);
        records.append(record);
    }
    // Each file goes to every page of its folder, in walk order.
    for (const ArchiveEntry& entry : entries) {
        if (entry.folder)
            continue;
        const auto pages = byFolder.constFind(folderKey(archiveFolderOf(entry.name)));
        if (pages == byFolder.cend())
            continue;
        for (const qsizetype n : *pages)
            records[n].Files.append({entry.name, entry.size, entry.time});
    }
    // The ".." row first, leading to the first page of the parent folder; then one row per folder
    // within, in list order.
    QList<QString> parents(records.size());
    for (qsizetype k = 0; k < records.size(); ++k) {
        if (depth(records[k].Dir) == 0)
            continue;
        parents[k] = folderKey(archiveFolderOf(records[k].Dir));
        if (const auto up = byFolder.constFind(parents[k]); up != byFolder.cend())
            records[k].SubDirs.append({QStringLiteral(".."), records[up->first()].Page, 0});
    }
    for (qsizetype l = 0; l < records.size(); ++l) {
        if (depth(records[l].Dir) == 0)
            continue;
        const auto within = byFolder.constFind(parents[l]);
        if (within == byFolder.cend())
            continue;
        for (const qsizetype k : *within) {
            if (k != l)
                records[k].SubDirs.append({archiveLastComponent(records[l].Dir), records[l].Page, folders[l].Time});
        }
    }
    return records;
}

QLocale archiveLocale()
{
    return QLocale(QLocale::Russian, QLocale::Russia);
}

QString sizeText(qint64 size, const QLocale& locale)
{
    if (size < 1000)
        return QString::number(size) + QStringLiteral(u" байт");
    // Kilobytes of 1000 bytes, a half rounded to the even neighbour.
    qint64 kilobytes = size / 1000;
    const qint64 rest = size % 1000;
    if (rest > 500 || (rest == 500 && kilobytes % 2 == 1))
        ++kilobytes;
    return locale.toString(kilobytes) + QStringLiteral(u" Кбайт");
}

QString dateText(qint32 dosTime, const QLocale& locale)
{
    if (dosTime <= 0)
        return {};
    const quint32 value = quint32(dosTime);
    const QDate date(int(value >> 25) + 1980, int(value >> 21 & 0x0f), int(value >> 16 & 0x1f));
    const QTime time(int(value >> 11 & 0x1f), int(value >> 5 & 0x3f));
    if (!date.isValid() || !time.isValid())
        return {};
    QString month = locale.standaloneMonthName(date.month(), QLocale::ShortFormat);
    if (month.endsWith(QLatin1Char('.')))
        month.chop(1);
    return QStringLiteral("%1 %2 %3 %4")
        .arg(date.toString(QStringLiteral("dd")), month, date.toString(QStringLiteral("yy")),
             time.toString(QStringLiteral("hh:mm")));
}

qint32 currentDosTime()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    const quint32 high = quint32(date.year() - 1980) << 9 | quint32(date.month()) << 5 | quint32(date.day());
    const quint32 low = quint32(time.hour()) << 11 | quint32(time.minute()) << 5 | quint32(time.second() / 2);
    return qint32(high << 16 | low);
}

QString archiveTempFolderName(const QString& archivePath)
{
    QString name = archivePath;
    const auto separator = [](QChar c) {
        return c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':');
    };
    for (qsizetype i = name.size() - 1; i >= 0; --i) {
        if (separator(name[i]) || name[i] == QLatin1Char('.')) {
            name[i] = QLatin1Char('_');
            break;
        }
    }
    for (QChar& c : name) {
        if (separator(c))
            c = QLatin1Char('_');
    }
    // A deep path would make a name longer than a folder's name may be: its end is kept, with a
    // hash of the whole path so that two archives never share a folder.
    constexpr qsizetype kLongest = 160;
    if (name.size() > kLongest) {
        const QByteArray hash =
            QCryptographicHash::hash(archivePath.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
        name = QString::fromLatin1(hash) + QLatin1Char('_') + name.right(kLongest - 13);
    }
    return QStringLiteral("as_") + name;
}

QString framesetPageName(const QString& archivePath)
{
    QString path = archivePath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QStringLiteral("as_") + archiveLastComponent(path) + QStringLiteral(".htm");
}

bool writeListingPages(const QList<RInfoFiles>& records, const QString& folder, const QString& archivePath,
                       const QLocale& locale)
{
    const QString title = QString::fromUtf16(kTitlePrefix) + archivePath;
    const QString base = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    QString frameset = fill(QString::fromUtf16(kFrameset), QStringLiteral("archivename"), title);
    frameset = fill(frameset, QStringLiteral("filename"), records.isEmpty() ? QString() : records.first().Page);
    if (!writePage(base + framesetPageName(archivePath), {frameset}))
        return false;
    if (!writePage(base + QLatin1String(kBarPage),
                   {QString::fromUtf16(kPageHead), QString::fromUtf16(kColumnHeaders), QString::fromUtf16(kPageEnd)}))
        return false;
    for (const RInfoFiles& record : records) {
        QStringList lines{fill(QString::fromUtf16(kPageHead), QStringLiteral("archivename"), title)};
        for (const RListDir& row : record.SubDirs)
            lines.append(rowLine(row.Page, row.Name, QString(), dateText(row.Time, locale)));
        for (const RListFiles& file : record.Files)
            lines.append(rowLine(fileLink(file.Name), archiveLastComponent(file.Name), sizeText(file.Size, locale),
                                 dateText(file.Time, locale)));
        lines.append(QString::fromUtf16(kPageEnd));
        if (!writePage(base + record.Page, lines))
            return false;
    }
    return true;
}

QString listArchiveInto(const QString& archivePath, const QString& folder, const ArchiveReport& report)
{
    const ArchiveContents contents = readArchiveContents(archivePath, report);
    if (contents.openResult != 0)
        return {};
    const QList<RInfoFiles> records =
        buildPageRecords(completeFolderList(contents.entries), contents.entries, currentDosTime);
    if (!QDir().mkpath(folder) || !writeListingPages(records, folder, archivePath, archiveLocale())) {
        if (report)
            report(QStringLiteral(u"Не удалось записать страницы списка архива в папку ") + folder);
        return {};
    }
    return QDir(folder).filePath(framesetPageName(archivePath));
}
