#include "synthmanual.h"

#include "codepage.h"
#include "contenterror.h"
#include "indexbuilder.h"
#include "packwriter.h"
#include "scriptcodec.h"

#include <QDir>
#include <QSaveFile>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

constexpr int kVocabulary = 40000;
constexpr int kPagesPerPart = 100;
constexpr qsizetype kPageBytes = 8 * 1024;

// Syllables of the vocabulary. None has 'ё', 'ф', 'ь' or 'щ', so the rare and the missing word
// below can never be drawn by chance.
const char16_t* const kSyllables[] = {
    u"ка", u"ло", u"ти",  u"ра",  u"ни",    u"ве",  u"до",   u"ми",  u"су",  u"пе",  u"то",  u"ла",
    u"ро", u"ны", u"ста", u"про", u"ко",    u"на",  u"ре",   u"ли",  u"се",  u"за",  u"тор", u"мо",
    u"ви", u"де", u"па",  u"ры",  u"жи",    u"гу",  u"ба",   u"чи",  u"ше",  u"бо",  u"вы",  u"го",
    u"зе", u"ку", u"лу",  u"ме",  u"ность", u"ние", u"тель", u"ско", u"вод", u"гат", u"дви", u"ус",
};
constexpr int kSyllableCount = int(std::size(kSyllables));

// Words by rank: frequent words are short, as in real text.
QStringList vocabulary(std::mt19937& random)
{
    QStringList words;
    QSet<QString> seen;
    while (words.size() < kVocabulary) {
        const qsizetype rank = words.size();
        const int syllables = rank < 30 ? 1 : rank < 1500 ? 2 : rank < 20000 ? 3 : 4;
        QString word;
        for (int i = 0; i < syllables; ++i)
            word += QString::fromUtf16(kSyllables[random() % kSyllableCount]);
        if (!seen.contains(word)) {
            seen.insert(word);
            words.append(word);
        }
    }
    return words;
}

// Draws ranks with probability proportional to 1 / (rank + 1).
class ZipfDraw
{
public:
    ZipfDraw()
    {
        double sum = 0;
        m_cumulative.reserve(kVocabulary);
        for (int rank = 0; rank < kVocabulary; ++rank) {
            sum += 1.0 / (rank + 1);
            m_cumulative.push_back(sum);
        }
    }

    int operator()(std::mt19937& random) const
    {
        const double at = std::uniform_real_distribution<double>(0, m_cumulative.back())(random);
        return int(std::upper_bound(m_cumulative.begin(), m_cumulative.end(), at) - m_cumulative.begin());
    }

private:
    std::vector<double> m_cumulative;
};

QString capitalised(const QString& word)
{
    return word.left(1).toUpper() + word.mid(1);
}

QString pagePath(int page)
{
    return QStringLiteral("html/part%1/page%2.htm")
        .arg(page / kPagesPerPart + 1, 2, 10, QLatin1Char('0'))
        .arg(page + 1, 4, 10, QLatin1Char('0'));
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw ContentError(QStringLiteral("Cannot write file %1").arg(path));
}

} // namespace

SyntheticManual syntheticWords(int pages)
{
    SyntheticManual manual;
    manual.pages = pages;
    manual.rareWord = QStringLiteral(u"щёткодержатель");
    manual.missingWord = QStringLiteral(u"фьючерсный");
    std::mt19937 random(20240521);
    manual.commonWord = vocabulary(random).first();
    return manual;
}

QStringList forEachSyntheticPage(int pages,
                                 const std::function<void(const QString& path, const QByteArray& bytes)>& page)
{
    const SyntheticManual manual = syntheticWords(pages);
    std::mt19937 random(20240521);
    const QStringList words = vocabulary(random);
    const ZipfDraw draw;
    const QSet<int> rarePages{qMin(7, pages - 1), pages / 2, qMax(0, pages - 3)};

    QStringList tree;
    for (int number = 0; number < pages; ++number) {
        const QString title = QStringLiteral(u"Раздел %1. %2 %3")
                                  .arg(number + 1)
                                  .arg(capitalised(words[draw(random)]), words[draw(random)]);
        QString html = QStringLiteral("<html><head><title>") + title +
                       QStringLiteral("</title></head>\r\n<body>\r\n<h1>") + title + QStringLiteral("</h1>\r\n");
        if (rarePages.contains(number))
            html += QStringLiteral(u"<p>Проверьте ") + manual.rareWord + QStringLiteral(".</p>\r\n");
        while (html.size() < kPageBytes) {
            html += QStringLiteral("<p>");
            for (int sentence = 0; sentence < 4; ++sentence) {
                const int length = 6 + int(random() % 10);
                for (int i = 0; i < length; ++i) {
                    const QString& word = words[draw(random)];
                    if (i == 0)
                        html += capitalised(word);
                    else if (random() % 40 == 0)
                        html += QStringLiteral(" <b>") + word + QStringLiteral("</b>");
                    else
                        html += QLatin1Char(' ') + word;
                }
                html += QStringLiteral(". ");
            }
            html += QStringLiteral("</p>\r\n");
        }
        html += QStringLiteral("</body></html>\r\n");

        const QString path = pagePath(number);
        page(path, toCp1251(html));

        const QString link = QString(path).replace(QLatin1Char('/'), QLatin1Char('\\'));
        if (number % kPagesPerPart == 0)
            tree.append(link + QStringLiteral(u";Часть %1").arg(number / kPagesPerPart + 1));
        tree.append(QLatin1Char('\t') + link + QLatin1Char(';') + title);
    }
    return tree;
}

SyntheticManual makeSyntheticManual(const QString& folder, int pages)
{
    SyntheticManual manual = syntheticWords(pages);
    manual.folder = QDir(folder).absolutePath();
    manual.packPath = manual.folder + QStringLiteral("/interface.dat");
    if (!QDir().mkpath(manual.folder))
        throw ContentError(QStringLiteral("Cannot create folder %1").arg(manual.folder));

    PackWriter pack;
    FullTextIndexBuilder index;
    const QStringList tree = forEachSyntheticPage(pages, [&](const QString& path, const QByteArray& bytes) {
        pack.addFile(path, bytes);
        index.addPage(path, bytes);
    });

    const FullTextIndex built = index.build();
    manual.keywords = built.keywords.count('\n');
    pack.addFile(QStringLiteral("keywords.idx"), built.keywords);
    pack.addFile(QStringLiteral("index.idx"), built.numbers);
    pack.addFile(QStringLiteral("files.idx"), built.files);
    pack.write(manual.packPath);

    writeFile(manual.folder + QStringLiteral("/tree1.txt"), tree.join(QLatin1Char('\n')).toUtf8() + '\n');
    writeFile(manual.folder + QStringLiteral("/tree1.cfs"), encodeScript(tree));
    return manual;
}
