// The panes' fonts on the real engine: fonts installed from a page's folder reach the page shown
// (measured by the width of a text in it) and fontconfig; the font dialog, its sample and its
// edge cases; the dialog's choices reaching the panes and the settings.

#include "appcontext.h"
#include "contentscheme.h"
#include "htmlframe.h"
#include "packwriter.h"
#include "pagescript.h"
#include "settingskeys.h"
#include "settingsstore.h"
#include "testfiles.h"
#include "tfontform.h"
#include "tnavfont.h"

#include <QApplication>
#include <QFontDatabase>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace {

// The user's folders (fonts, font cache, settings) point into a folder of the test before
// anything reads them, so the real user's font folder is never written.
QString testHome()
{
    static QTemporaryDir home;
    return home.path();
}

const bool kHomeSet = [] {
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
        qputenv(name, (testHome() + QLatin1Char('/') + QLatin1String(name)).toLocal8Bit());
    return true;
}();

// A font no system has: a font of the system's own under a new family name of the same length,
// written over the family and PostScript names in its name table (UTF-16 and single-byte forms).
QByteArray renamedFont(const QString& file, const QString& from, const QString& to)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        qFatal("no font %s: run scripts/setup-deps", qPrintable(file));
    QByteArray bytes = in.readAll();
    auto utf16 = [](const QString& text) {
        QByteArray out;
        for (QChar c : text)
            out.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
        return out;
    };
    for (const QString& name : {from, QString(from).remove(QLatin1Char(' '))}) {
        const QString renamed = name.contains(QLatin1Char(' ')) ? to : QString(to).remove(QLatin1Char(' '));
        bytes.replace(utf16(name), utf16(renamed));
        bytes.replace(name.toLatin1(), renamed.toLatin1());
    }
    return bytes;
}

const QString kSerif = QStringLiteral("Velbrk Serif");           // "DejaVu Serif" renamed
const QString kProgramFont = QStringLiteral("Velbrk Prog Serf"); // "Liberation Serif" renamed

// Two texts, one asking for the family first: they are as wide as each other until the family is
// there.
QByteArray measuredPage(const QString& family)
{
    return QStringLiteral("<html><head><title>fonts</title></head><body>"
                          "<span id=s style=\"font-family: '%1', monospace; font-size: 40px\">Wwwwiiii mmm</span><br>"
                          "<span id=m style=\"font-family: 'No Such Family', monospace; font-size: 40px\">"
                          "Wwwwiiii mmm</span></body></html>")
        .arg(family)
        .toUtf8();
}

} // namespace

class TestPaneFonts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(kHomeSet);
        QVERIFY(m_dir.isValid());
        const QString root = m_dir.path() + QLatin1Char('/');
        const QByteArray serif =
            renamedFont(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf"), "DejaVu Serif", kSerif);
        m_sans = renamedFont(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"), "DejaVu Sans",
                             QStringLiteral("Velbrk Sans"));
        PackWriter writer;
        writer.addFile(QStringLiteral("shrift/page.htm"), measuredPage(kSerif));
        writer.addFile(QStringLiteral("shrift/packed.ttf"), serif);
        writer.addFile(QStringLiteral("nofonts/page.htm"), measuredPage(kSerif));
        writer.write(root + "interface.dat");
        writeTestFile(root + "disk/page.htm", measuredPage(kSerif));
        writeTestFile(root + "disk/Sans.TTF", m_sans);
        writeTestFile(root + "broken/bad.ttf", "not a font at all");
        // A font beside the program, added to the program as the skinned window does at start,
        // before the engine has started.
        writeTestFile(root + "program.htm", measuredPage(kProgramFont));
        writeTestFile(root + "Program.ttf",
                      renamedFont(QStringLiteral("/usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf"),
                                  QStringLiteral("Liberation Serif"), kProgramFont));
        QVERIFY(QFontDatabase::addApplicationFont(root + "Program.ttf") >= 0);
        m_context = std::make_unique<AppContext>(StartupValues::forContentFolder(root));
        QVERIFY(m_context->pack.OpenPack(root + "interface.dat"));
        m_context->pack.SetPackBase(m_context->values.contentDir);
        m_context->values.appTitle = QStringLiteral("pane fonts test");
        m_context->openSettings();
        m_root = m_context->values.programDir;

        m_window.resize(700, 500);
        TDynamicHtmlArray elements;
        elements.append(RHTML{0, 0, 700, 500, m_root + "shrift/page.htm", 1, 1});
        THtmlFrame::Callbacks callbacks;
        callbacks.currentScreen = [] { return 1; };
        m_frame = std::make_unique<THtmlFrame>(
            &m_window, nullptr, *m_context, elements,
            [this] { return m_profile ? m_profile : m_profile = makeContentProfile(m_context->pack, this); },
            callbacks);
        m_window.show();
        m_frame->ShowScreenPane();
        QTRY_COMPARE_WITH_TIMEOUT(m_frame->currentView() ? m_frame->currentView()->title() : QString(),
                                  QStringLiteral("fonts"), 30000);
    }

    void installFonts_packedFontOfThePage_reachesThePageShown_andFontconfig()
    {
        QTRY_COMPARE_WITH_TIMEOUT(widthDifference(), 0.0, 10000); // the page is laid out, the font missing
        QStringList messages;
        int added = 0;
        NavFontHooks hooks;
        hooks.showMessage = [&messages](const QString& text) { messages << text; };
        hooks.fontsAdded = [this, &added] {
            ++added;
            m_frame->fontsAdded();
        };
        TNavFont fonts(m_context->pack, m_context->disk, m_context->values.contentDir, hooks);
        QCOMPARE(fonts.fontFolder(), testHome() + QStringLiteral("/XDG_DATA_HOME/fonts"));
        fonts.RememberPageFolder(m_frame->currentFile());

        QCOMPARE(fonts.InstallFonts(), 1);
        QCOMPARE(messages, QStringList{QStringLiteral(u"Установлено шрифтов: 1")});
        QCOMPARE(added, 1);
        QVERIFY(QFile::exists(fonts.fontFolder() + QStringLiteral("/PACKED.TTF")));
        QVERIFY(QFontDatabase::families().contains(kSerif));
        // The page, shown before the font came, now sets its text in it.
        QTRY_VERIFY_WITH_TIMEOUT(widthDifference() != 0.0, 30000);
        // Other programs, and the next run, find it through fontconfig.
        QProcess list;
        list.start(QStringLiteral("fc-list"), {QStringLiteral(":"), QStringLiteral("family")});
        QVERIFY(list.waitForFinished(60000));
        QVERIFY2(QString::fromUtf8(list.readAllStandardOutput()).contains(kSerif), "not in fontconfig's list");
    }

    void programFolderFont_reachesThePages()
    {
        m_frame->ShowHtmlElement(1, m_root + "program.htm");
        QTRY_VERIFY_WITH_TIMEOUT(m_frame->currentFile().endsWith(QLatin1String("program.htm")), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(widthDifference() > 0.0 || widthDifference() < -1.0, 30000);
    }

    void installFonts_cases_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QByteArray>("stale"); // a file already in the font folder under the same name
        QTest::addColumn<QString>("folderInTheWay");
        QTest::addColumn<int>("installed");
        QTest::addColumn<QStringList>("left"); // in the font folder afterwards
        QTest::addColumn<QString>("message");
        QTest::newRow("no page loaded yet") << QString() << QByteArray() << QString() << 0 << QStringList()
                                            << QStringLiteral(u"В папке страницы нет шрифтов");
        QTest::newRow("a folder without fonts") << "nofonts/page.htm" << QByteArray() << QString() << 0 << QStringList()
                                                << QStringLiteral(u"В папке страницы нет шрифтов");
        QTest::newRow("a disk font replaces the file of its name")
            << "disk/page.htm" << QByteArray("an older file") << QString() << 1 << QStringList{"Sans.TTF"}
            << QStringLiteral(u"Установлено шрифтов: 1");
        QTest::newRow("a damaged font is refused and not left behind")
            << "broken/page.htm" << QByteArray() << QString() << 0 << QStringList()
            << QStringLiteral(u"Не удалось установить шрифты: bad.ttf");
        QTest::newRow("a damaged font leaves the user's own font of its name as it was")
            << "broken/page.htm" << m_sans << QString() << 0 << QStringList{"bad.ttf"}
            << QStringLiteral(u"Не удалось установить шрифты: bad.ttf");
        QTest::newRow("a font folder that cannot be made")
            << "disk/page.htm" << QByteArray() << "file" << 0 << QStringList()
            << QStringLiteral(u"Не удалось создать папку шрифтов %1");
    }

    void installFonts_cases()
    {
        QFETCH(QString, page);
        QFETCH(QByteArray, stale);
        QFETCH(QString, folderInTheWay);
        QFETCH(int, installed);
        QFETCH(QStringList, left);
        QFETCH(QString, message);
        QTemporaryDir target;
        QString folder = target.path() + QStringLiteral("/fonts");
        if (!folderInTheWay.isEmpty()) {
            writeTestFile(target.path() + QLatin1Char('/') + folderInTheWay, "a file");
            folder = target.path() + QLatin1Char('/') + folderInTheWay + QStringLiteral("/fonts");
        }
        if (!stale.isEmpty())
            writeTestFile(folder + QLatin1Char('/') + left.value(0), stale);
        QStringList messages;
        int added = 0;
        NavFontHooks hooks;
        hooks.showMessage = [&messages](const QString& text) { messages << text; };
        hooks.fontsAdded = [&added] { ++added; };
        TNavFont fonts(m_context->pack, m_context->disk, m_context->values.contentDir, hooks, folder);
        if (!page.isEmpty())
            fonts.RememberPageFolder(m_root + page);

        QCOMPARE(fonts.InstallFonts(), installed);
        QCOMPARE(added, installed > 0 ? 1 : 0);
        // Nothing else is left in the font folder, not even a hidden temporary file.
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), left);
        if (!stale.isEmpty()) {
            QFile kept(folder + QLatin1Char('/') + left.value(0));
            QVERIFY(kept.open(QIODevice::ReadOnly));
            QCOMPARE(kept.readAll(), m_sans);
        }
        QCOMPARE(messages,
                 QStringList{message.contains(QLatin1String("%1")) ? message.arg(QDir::toNativeSeparators(folder))
                                                                   : message});
    }

    void fontDialog_sampleShowsEachChoice()
    {
        TFontForm form;
        form.setFonts({QStringLiteral("DejaVu Sans"), 0x0000FF, 20, 0x00FF00, 0xC0DCC0});
        QWebEnginePage& page = *form.FontViewer()->page();
        QTRY_COMPARE_WITH_TIMEOUT(
            runPageScript(page, QStringLiteral("(() => { const s = getComputedStyle(document.body);"
                                               " return [s.fontFamily, s.fontSize, s.color,"
                                               " getComputedStyle(document.querySelector('a')).color,"
                                               " getComputedStyle(document.documentElement).backgroundColor,"
                                               " document.body.innerText.includes('Наклонный текст')].join('|'); })()"))
                .toString(),
            QStringLiteral("\"DejaVu Sans\"|26.6667px|rgb(255, 0, 0)|rgb(0, 255, 0)|rgb(192, 220, 192)|true"), 30000);
    }

    void fontDialog_edgeCases()
    {
        TFontForm form;
        // A font the system lacks: the sample keeps its name, the list and the result say Arial.
        form.setFontName(QStringLiteral("No Such Family"));
        QCOMPARE(form.sampleFontName(), QStringLiteral("No Such Family"));
        QCOMPARE(form.fontName(), QStringLiteral("Arial"));
        // A background the list does not name is added to it, by its RGB form.
        const int rows = form.BackListBox()->count();
        form.setBackground(0x123456);
        QCOMPARE(form.BackListBox()->count(), rows + 1);
        QCOMPARE(form.BackListBox()->currentItem()->text(), u"Цвет #563412"_qs);
        QCOMPARE(form.background(), 0x123456);
        form.setBackground(0xC0C0C0);
        QCOMPARE(form.BackListBox()->count(), rows + 1);
        QCOMPARE(form.BackListBox()->currentItem()->text(), u"Серебристый"_qs);
        // "По умолчанию" and "Без цвета" are no colours: the pane's white, not black.
        for (const QString& name : {u"По умолчанию"_qs, u"Без цвета"_qs}) {
            form.BackListBox()->setCurrentItem(form.BackListBox()->findItems(name, Qt::MatchExactly).first());
            QCOMPARE(form.background(), 0xFFFFFF);
        }
        // Nothing selected: the button face.
        form.BackListBox()->clearSelection();
        const QColor face = QApplication::palette().color(QPalette::Button);
        QCOMPARE(form.background(), face.red() | (face.green() << 8) | (face.blue() << 16));
        form.show();
        QTest::keyClick(form.HotSpotColorGrid(), Qt::Key_Down); // the keyboard chooses too
        QCOMPARE(form.hotSpotColor(), ColorGrid::colors().first());
        QTest::keyClick(form.HotSpotColorGrid(), Qt::Key_Down);
        QCOMPARE(form.hotSpotColor(), ColorGrid::colors()[ColorGrid::kColumns]);
        QCOMPARE(form.sample().linkColor, ColorGrid::colors()[ColorGrid::kColumns]);
    }

    // The background list speaks Russian; the values kept are the colours themselves, so names
    // in any form read back to the same value.
    void fontDialog_colourNames_areRussian_valuesUnchanged_data()
    {
        QTest::addColumn<int>("color");
        QTest::addColumn<QString>("name");
        QTest::newRow("olive") << 0x008080 << u"Оливковый"_qs;
        QTest::newRow("navy") << 0x800000 << u"Тёмно-синий"_qs;
        QTest::newRow("white") << 0xFFFFFF << u"Белый"_qs;
        QTest::newRow("cream") << 0xF0FBFF << u"Кремовый"_qs;
        QTest::newRow("no name") << 0x123456 << u"Цвет #563412"_qs;
    }

    void fontDialog_colourNames_areRussian_valuesUnchanged()
    {
        QFETCH(int, color);
        QFETCH(QString, name);
        QCOMPARE(TFontForm::colorToName(color), name);
        QCOMPARE(TFontForm::nameToColor(name), color);
        TFontForm form;
        form.setBackground(color);
        QCOMPARE(form.BackListBox()->currentItem()->text(), name);
        QCOMPARE(form.fonts().background, color);
        // A name as the platform wrote it still reads.
        QCOMPARE(TFontForm::nameToColor(QStringLiteral("clOlive")), 0x008080);
        QCOMPARE(TFontForm::nameToColor(QStringLiteral("$00123456")), 0x123456);
        for (int i = 0; i < form.BackListBox()->count(); ++i) {
            const QString entry = form.BackListBox()->item(i)->text();
            QVERIFY2(!entry.startsWith(QLatin1String("cl")), qPrintable(entry));
            QVERIFY2(entry.contains(QRegularExpression(QStringLiteral(u"[а-яё]"))), qPrintable(entry));
        }
    }

    // The arrow keys in the font and background lists reach the sample as a click does, and the
    // values the dialog gives.
    void fontDialog_keyboardChoices_reachTheSample()
    {
        TFontForm form;
        form.setFonts({QStringLiteral("DejaVu Sans"), 0, 12, 0xFF0000, 0xFFFFFF});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        form.FontListBox()->setFocus();
        const int row = form.FontListBox()->currentRow();
        QTest::keyClick(form.FontListBox(), Qt::Key_Down);
        QCOMPARE(form.FontListBox()->currentRow(), row + 1);
        const QString next = form.FontListBox()->item(row + 1)->text();
        QCOMPARE(form.fontName(), next);
        QCOMPARE(form.sampleFontName(), next);

        form.BackListBox()->setFocus();
        QTest::keyClick(form.BackListBox(), Qt::Key_Home);
        QCOMPARE(form.BackListBox()->currentItem()->text(), u"Чёрный"_qs);
        QCOMPARE(form.sample().background, 0x000000);
        QTest::keyClick(form.BackListBox(), Qt::Key_Down);
        QCOMPARE(form.sample().background, 0x000080);
        QCOMPARE(form.fonts().background, 0x000080);
        QWebEnginePage& page = *form.FontViewer()->page();
        QTRY_COMPARE_WITH_TIMEOUT(
            runPageScript(page, QStringLiteral("getComputedStyle(document.documentElement).backgroundColor"))
                .toString(),
            QStringLiteral("rgb(128, 0, 0)"), 30000);
    }

    // "Сброс" brings the panes' default look back, in the lists, the sample and the values given.
    void fontDialog_resetButton_restoresTheDefaultLook()
    {
        TFontForm form;
        form.setFonts({QStringLiteral("DejaVu Serif"), 0x000080, 14, 0x800000, 0xC0DCC0});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.FontColorGrid()->choose(9);
        QPushButton* reset = nullptr;
        for (QPushButton* button : form.findChildren<QPushButton*>()) {
            if (button->text() == u"&Сброс"_qs)
                reset = button;
        }
        QVERIFY(reset);
        QTest::mouseClick(reset, Qt::LeftButton);
        const PaneFonts defaults;
        QCOMPARE(form.fontColor(), defaults.color);
        QCOMPARE(form.fontSize(), defaults.size);
        QCOMPARE(form.FontSizeEdit()->value(), defaults.size);
        QCOMPARE(form.hotSpotColor(), defaults.linkColor);
        QCOMPARE(form.background(), defaults.background);
        QCOMPARE(form.BackListBox()->currentItem()->text(), u"Белый"_qs);
        QCOMPARE(form.sampleFontName(), defaults.name);
        QCOMPARE(form.sample(), defaults);
        QCOMPARE(form.FontColorGrid()->chosen(), -1);
    }

    void chooseFont_okReachesThePaneAndIsKept_cancelChangesNothing()
    {
        const PaneFonts before = m_frame->fonts();
        const PaneFonts chosen{QStringLiteral("DejaVu Sans Mono"), 0x008000, 16, 0xFF0000, 0xF0FBFF};
        answerDialog([&chosen](TFontForm& form) {
            form.setFonts(chosen);
            form.reject();
        });
        m_frame->chooseFont();
        QCOMPARE(m_frame->fonts(), before);

        answerDialog([&chosen](TFontForm& form) {
            form.setFonts(chosen);
            form.accept();
        });
        m_frame->chooseFont();
        QCOMPARE(m_frame->fonts(), chosen);
        SettingsStore& settings = m_context->settings;
        QCOMPARE(settings.readString(SettingsKeys::FontName), chosen.name);
        QCOMPARE(settings.readInt(SettingsKeys::FontColor), chosen.color);
        QCOMPARE(settings.readInt(SettingsKeys::FontSize), chosen.size);
        QCOMPARE(settings.readInt(SettingsKeys::HotSpotColor), chosen.linkColor);
        QCOMPARE(settings.readInt(SettingsKeys::Background), chosen.background);
        QTRY_COMPARE_WITH_TIMEOUT(
            runPageScript(*m_frame->currentView()->page(), QStringLiteral("getComputedStyle(document.body).color"))
                .toString(),
            QStringLiteral("rgb(0, 128, 0)"), 30000);
    }

    void cleanupTestCase()
    {
        m_frame.reset();
        // Its scheme handler reads the context: the profile goes before the context does.
        delete m_profile;
        m_profile = nullptr;
        m_context->settings.close();
    }

private:
    double widthDifference()
    {
        const QVariant value =
            runPageScript(*m_frame->currentView()->page(),
                          QStringLiteral("document.readyState == 'complete' ? "
                                         "document.getElementById('s').getBoundingClientRect().width"
                                         " - document.getElementById('m').getBoundingClientRect().width"
                                         " : -1"));
        return value.typeId() == QMetaType::QString ? -1 : value.toDouble();
    }

    // Answers the next font dialog once it is up.
    void answerDialog(std::function<void(TFontForm&)> answer)
    {
        QTimer::singleShot(0, this, [answer] {
            auto* form = qobject_cast<TFontForm*>(QApplication::activeModalWidget());
            if (!form) {
                QFAIL("no font dialog came up");
                return;
            }
            answer(*form);
        });
    }

    QTemporaryDir m_dir;
    QByteArray m_sans;
    std::unique_ptr<AppContext> m_context;
    QString m_root;
    QWidget m_window;
    QWebEngineProfile* m_profile = nullptr;
    std::unique_ptr<THtmlFrame> m_frame;
};

QTEST_MAIN(TestPaneFonts)
#include "tst_panefonts.moc"
