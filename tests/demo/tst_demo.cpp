// The demo manual as built: its container, pack and plain files hold everything its scripts and
// pages refer to. A broken reference here is a broken demo.

#include "codepage.h"
#include "contentpack.h"
#include "pathresolver.h"
#include "readbin.h"
#include "scriptcodec.h"
#include "skinscript.h"
#include "startupvalues.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

const QString kDemo = QStringLiteral(VELBROOK_DEMO_DIR) + QLatin1Char('/');

QString withoutFragment(QString path)
{
    const qsizetype hash = path.indexOf(QLatin1Char('#'));
    return hash < 0 ? path : path.left(hash);
}

bool isPicture(const QString& name)
{
    const QString lower = name.toLower();
    return lower.endsWith(QLatin1String(".bmp")) || lower.endsWith(QLatin1String(".ico"));
}

} // namespace

class TestDemo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QFileInfo::exists(kDemo + "Kel.dhl"), "the demo manual has not been built");
        m_values = StartupValues::forContentFolder(kDemo);
        m_disk = std::make_unique<PathResolver>(m_values.programDrive);
        m_pack = std::make_unique<ContentPack>(*m_disk);
        QVERIFY(m_pack->OpenPack(kDemo + "interface.dat"));
        m_pack->SetPackBase(m_values.contentDir);
        m_container.Open(kDemo + "Kel.dhl");
    }

    void everyScriptIsInTheContainer()
    {
        for (const char* name : {"Struct.cfs", "Dialog.cfs", "About.cfs", "Tesaurus.cfs", "tree1.cfs", "tree2.cfs"})
            QVERIFY2(m_container.Exists(QLatin1String(name)), name);
    }

    // Every value in every script that names a file: pictures are container entries, anything
    // else a file of the content (packed or on disk).
    void everyFileTheScriptsNameExists()
    {
        static const QRegularExpression fileValue(
            QStringLiteral("([^=;\\[\\]\\s]+\\.(bmp|ico|htm|html|wav|mp3|avi|gif|jpg|jpeg|txt))(#[^;\\]\\s]*)?"),
            QRegularExpression::CaseInsensitiveOption);
        QStringList missing;
        for (const RBin& entry : m_container.directory()) {
            if (!entry.name.endsWith(QLatin1String(".cfs"), Qt::CaseInsensitive))
                continue;
            const bool tree = entry.name.startsWith(QLatin1String("tree"), Qt::CaseInsensitive);
            const QStringList lines = DecodeScript(*m_container.Read(entry.name), !tree);
            for (const QString& line : lines) {
                for (auto match = fileValue.globalMatch(line); match.hasNext();) {
                    const QString name = match.next().captured(1);
                    if (!exists(name, !tree && isPicture(name) && !name.contains(QLatin1Char('\\'))))
                        missing.append(entry.name + QStringLiteral(": ") + name);
                }
            }
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char('\n'))));
    }

    // The model of Struct.cfs uses every element kind, header key and popup kind.
    void mainScriptUsesEveryElementKind()
    {
        SkinScript script({m_values.programDrive, m_values.programDir});
        script.read(DecodeScript(*m_container.Read(QStringLiteral("Struct.cfs")), true));
        QVERIFY2(script.problems.isEmpty(), qPrintable(script.problems.join(QLatin1Char('\n'))));
        const SkinHeader& h = script.header;
        QVERIFY(!h.title.isEmpty() && !h.codec.isEmpty() && script.hasStartClip() && !h.helpwin.isEmpty());
        QVERIFY(!h.background.isEmpty() && !h.icon.isEmpty() && !h.bgsounddef.isEmpty());
        QVERIFY(!h.vertexmain.isEmpty() && h.hasMinimize && h.hasClose);
        QVERIFY(script.screens.size() >= 4);
        QVERIFY(!script.html.isEmpty() && !script.findtxt.isEmpty() && !script.path.isEmpty());
        QVERIFY(!script.clip.isEmpty() && !script.text.isEmpty() && !script.image.isEmpty());

        QSet<int> popupTypes;
        bool singles = false, groups = false, captions = false, stored = false;
        for (const SkinScreen& screen : script.screens) {
            QVERIFY(m_container.Exists(screen.background));
            singles = singles || !screen.switchone.isEmpty();
            groups = groups || !screen.switchgrp.isEmpty();
            for (const RPopupData& popup : screen.popups)
                popupTypes.insert(popup.type > 0 ? 1 : popup.type);
            for (const RBtn& button : screen.buttons)
                captions = captions || !button.textcaption.isEmpty();
            for (const RSwthOne& sw : screen.switchone)
                stored = stored || sw.store;
        }
        QVERIFY(singles && groups && captions && stored);
        QCOMPARE(popupTypes, (QSet<int>{PopupHistoryBack, PopupHistoryForward, PopupFavorite, PopupContextHtml, 1}));
        for (const RImage& area : script.image)
            QVERIFY2(m_disk->folderExists(area.dir), qPrintable(area.dir));
    }

    // Every link and picture of every page leads somewhere.
    void everyPageReferenceExists()
    {
        static const QRegularExpression reference(
            QStringLiteral("(?:href|src)\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]+))"),
            QRegularExpression::CaseInsensitiveOption);
        QStringList pages;
        for (const QString& path : m_pack->ListPackFiles())
            pages.append(kDemo + path);
        const QDir demo(kDemo);
        for (QDirIterator it(kDemo, {"*.htm", "*.html"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            pages.append(it.next());

        QStringList missing;
        for (const QString& page : pages) {
            const QString lower = page.toLower();
            if (!lower.endsWith(QLatin1String(".htm")) && !lower.endsWith(QLatin1String(".html")))
                continue;
            const QString text = fromCp1251(m_pack->readFile(page).value_or(QByteArray()));
            const QString folder = QFileInfo(page).path() + QLatin1Char('/');
            for (auto match = reference.globalMatch(text); match.hasNext();) {
                const QRegularExpressionMatch m = match.next();
                QString link = m.captured(1) + m.captured(2) + m.captured(3);
                const QString l = link.toLower();
                if (link.isEmpty() || link.startsWith(QLatin1Char('#')) || l.startsWith(QLatin1String("http:")) ||
                    l.startsWith(QLatin1String("https:")) || l.startsWith(QLatin1String("mailto:")) ||
                    l.startsWith(QLatin1String("copylist:")) || l.startsWith(QLatin1String("javascript:")))
                    continue;
                // The archive arrives with the archive listing.
                if (l.contains(QLatin1String(".rar")))
                    continue;
                for (const char* action : {"printhtml:", "copy:"}) {
                    if (l.startsWith(QLatin1String(action)))
                        link = link.mid(qsizetype(strlen(action)));
                }
                link = withoutFragment(link);
                const bool found = exists(folder + link, false) || exists(kDemo + link, false);
                if (!found)
                    missing.append(demo.relativeFilePath(page) + QStringLiteral(" -> ") + link);
            }
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char('\n'))));
    }

private:
    bool exists(const QString& name, bool containerEntry) const
    {
        if (containerEntry)
            return m_container.Exists(name);
        const QString path =
            QFileInfo(name).isAbsolute() || name.startsWith(QLatin1Char('/')) ? name : m_values.programDir + name;
        return m_pack->PackFileExists(withoutFragment(path));
    }

    StartupValues m_values;
    std::unique_ptr<PathResolver> m_disk;
    std::unique_ptr<ContentPack> m_pack;
    TReadBin m_container;
};

QTEST_GUILESS_MAIN(TestDemo)
#include "tst_demo.moc"
