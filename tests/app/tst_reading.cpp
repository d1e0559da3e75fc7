// Reading the demo manual in the skinned window, as a reader does: the reading screen with its
// start page, the title in the page label, the contents tree following the page, the chapter
// buttons with their hints, a link clicked in a page, and a serial number copied from a list.

#include "appcomponents.h"
#include "appcontext.h"
#include "cooldialog.h"
#include "enginetestmain.h"
#include "findtxthtml.h"
#include "hotarea.h"
#include "htmlframe.h"
#include "lazypanes.h"
#include "listingpages.h"
#include "mainform.h"
#include "modalwatch.h"
#include "pagescript.h"
#include "pathinputbox.h"
#include "rarwriter.h"
#include "scriptcodec.h"
#include "searchcomponents.h"
#include "settingsstore.h"
#include "skinscript.h"
#include "statusline.h"
#include "testfiles.h"
#include "textmsg.h"
#include "textscontroller.h"
#include "tpreviewform.h"
#include "treescontroller.h"
#include "tunrar.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPdfDocument>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWebEngineScript>
#include <QWebEngineView>

// The demo's window has its status line in the label numbered 0.
constexpr int kStatusLabel = 0;

// The text of every page of a PDF.
QString pdfText(const QByteArray& pdf)
{
    QTemporaryFile file;
    if (!file.open() || file.write(pdf) != pdf.size() || !file.flush())
        return {};
    QPdfDocument document;
    if (document.load(file.fileName()) != QPdfDocument::Error::None)
        return {};
    QString text;
    for (int page = 0; page < document.pageCount(); ++page)
        text += document.getAllText(page).text();
    return text;
}

class TestReading : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // The shared temporary folder and the private runtime folder of this run are the test's
        // own, before any component (the archive listings among them) looks for them.
        QVERIFY(m_sharedTemp.isValid() && m_runtimeDir.isValid());
        qputenv("TMPDIR", QFile::encodeName(m_sharedTemp.path()));
        qputenv("VELBROOK_RUNTIME_DIR", QFile::encodeName(m_runtimeDir.path()));
        m_context = std::make_unique<AppContext>(StartupValues::forContentFolder(QStringLiteral(VELBROOK_DEMO_DIR)));
        const QString root = m_context->values.programDir;
        QVERIFY(m_context->pack.OpenPack(root + "interface.dat"));
        m_context->pack.SetPackBase(m_context->values.contentDir);
        m_context->container.Open(root + "Kel.dhl");
        const QStringList lines = DecodeScript(*m_context->container.Read(QStringLiteral("Struct.cfs")), true);
        m_script = std::make_unique<SkinScript>(m_context->folders());
        m_script->readHeader(lines);
        m_context->values.appTitle = m_script->header.title + QStringLiteral(" reading test");
        m_script->readElements(lines);
        m_context->openSettings();
        m_form = std::make_unique<TMainForm>(*m_context, *m_script);
        // As the program starts: the components first, then the first screen that uses them.
        m_components = std::make_unique<AppComponents>(*m_form, *m_context, *m_script, staticEngineParts);
        m_search = std::make_unique<SearchComponents>(*m_form, *m_context, *m_script, *m_components);
        m_form->buildFirstScreen();
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }

    void readingScreen_showsTheStartPage_itsTitle_andItsTreeItem()
    {
        // The start screen has no pane: the engine is not asked for before the reading screen.
        QVERIFY(!m_components->panes()->made());
        m_form->RunCommand(QStringLiteral("2"), QString(), true);
        QVERIFY(m_components->panes()->made());
        waitForTitle(u"Добро пожаловать"_qs);
        QVERIFY(panes()->currentView()->isVisible());
        QCOMPARE(panes()->currentView()->parentWidget(), m_form->documentPanel());
        QCOMPARE(m_components->texts().texts()->text(1), u"Добро пожаловать  "_qs);
        QCOMPARE(focusedCaption(), u"Введение"_qs);

        // The pane shows the page: the panel's part of the window is far from one plain colour.
        QTest::qWait(300);
        const QImage shot = m_form->grab(TMainForm::kDocumentPanel).toImage();
        QSet<QRgb> colours;
        for (int y = 0; y < shot.height(); y += 3) {
            for (int x = 0; x < shot.width(); x += 3)
                colours.insert(shot.pixel(x, y));
        }
        QVERIFY2(colours.size() > 50, qPrintable(QString::number(colours.size())));
    }

    void chapterButtons_stepOverEqualLinks_andCarryTheirNeighboursAsHints()
    {
        QCOMPARE(buttonHint("prevchapter"), u"Первый раздел"_qs);
        QCOMPARE(buttonHint("nextchapter"), u"Глава 1. Общие сведения об автомобиле"_qs);

        m_form->RunCommand(QStringLiteral("nextchapter"), QString(), true);
        waitForTitle(u"Глава 1. Общие сведения об автомобиле"_qs);
        QCOMPARE(buttonHint("prevchapter"), u"Введение"_qs);
        // The first child opens the chapter's own page: the step goes past it.
        QCOMPARE(buttonHint("nextchapter"), u"Глава 1. Общие сведения об автомобиле : Устройство автомобиля"_qs);

        m_form->RunCommand(QStringLiteral("nextchapter"), QString(), true);
        waitForTitle(u"Устройство автомобиля"_qs);
        QCOMPARE(focusedCaption(), u"Устройство автомобиля"_qs);
        m_form->RunCommand(QStringLiteral("prevchapter"), QString(), true);
        waitForTitle(u"Глава 1. Общие сведения об автомобиле"_qs);
    }

    void linkInAPage_loadsItAndTheTreeFollows()
    {
        clickLink(QStringLiteral("a[href='glava2.htm']"));
        waitForTitle(u"Глава 2. Двигатель"_qs);
        QCOMPARE(focusedCaption(), u"Глава 2. Двигатель"_qs);
        QCOMPARE(m_components->texts().texts()->text(1), u"Глава 2. Двигатель  "_qs);
    }

    void serialNumberLink_copiesTheChosenNumber()
    {
        panes()->ShowPage(m_context->values.programDir + "serial.htm");
        waitForTitle(u"Серийный номер"_qs);
        const QString chosen =
            evaluate(QStringLiteral("(() => { const s = document.querySelector('select[name=serial]');"
                                    " s.selectedIndex = s.options.length - 1;"
                                    " return s.options[s.selectedIndex].text; })()"))
                .toString();
        QVERIFY(!chosen.isEmpty());
        QGuiApplication::clipboard()->clear();
        clickLink(QStringLiteral("a[href='copylist:serial']"));
        QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::clipboard()->text(), chosen, 10000);
        // The status line blinks the message.
        QTRY_COMPARE_WITH_TIMEOUT(m_components->texts().texts()->text(kStatusLabel), u"Серийный номер скопирован"_qs,
                                  5000);
        QCOMPARE(panes()->currentView()->title(), u"Серийный номер"_qs);
    }

    // The media screen's small pane shows the page its own element names, not the reading
    // screen's start page that the contents tree still holds from "screen2=intro.htm".
    void mediaScreenPane_showsItsOwnPage_andTheReadingPaneKeepsItsPage()
    {
        m_form->RunCommand(QStringLiteral("1"), QString(), true);
        m_form->RunCommand(QStringLiteral("screen2=intro.htm"), QString(), true);
        waitForTitle(u"Добро пожаловать"_qs);
        QWebEngineView* reading = panes()->currentView();
        panes()->ShowPage(m_context->values.programDir + "glava2.htm");
        waitForTitle(u"Глава 2. Двигатель"_qs);

        m_form->RunCommand(QStringLiteral("3"), QString(), true);
        QCOMPARE(m_form->currentScreen(), 2);
        QVERIFY(panes()->currentView() != reading);
        waitForTitle(u"Устройство автомобиля"_qs);
        QTest::qWait(1000); // nothing else comes into it afterwards
        QCOMPARE(panes()->currentView()->title(), u"Устройство автомобиля"_qs);
        QVERIFY(panes()->currentFile().endsWith(QLatin1String("/ustroistvo.htm")));
        QCOMPARE(panes()->history().size(), 1);
        QVERIFY(panes()->currentView()->isVisible());
        QVERIFY(!reading->isVisible());
        QCOMPARE(reading->title(), u"Глава 2. Двигатель"_qs);
    }

    // "copyhtml" copies the page into the path field's folder and says so in the status line.
    void copyPageCommand_copiesThePage_andSaysSo()
    {
        m_form->RunCommand(QStringLiteral("2"), QString(), true);
        panes()->ShowPage(m_context->values.programDir + "ustroistvo.htm");
        waitForTitle(u"Устройство автомобиля"_qs);
        QTemporaryDir target;
        m_components->texts().pathFields()->field(0)->setText(target.path());
        m_form->RunCommand(QStringLiteral("copyhtml"), QString(), true);
        QVERIFY(QFileInfo::exists(target.filePath("ustroistvo.htm")));
        QVERIFY(QFileInfo(target.filePath("ustroistvo.files")).isDir());
        QTRY_COMPARE_WITH_TIMEOUT(m_components->texts().texts()->text(kStatusLabel), u"Файл скопирован"_qs, 5000);
    }

    // The tabs of the links screen are a switch group; each tab's command names a part of the
    // manual. Back and forward across the parts turn their tab on again, without reloading the
    // part's start page over the page history led to.
    void historyAcrossParts_turnsTheirTabOnAgain()
    {
        m_form->RunCommand(QStringLiteral("4"), QString(), true);
        QCOMPARE(m_form->currentScreen(), 3);
        const auto tabs = [this] { return m_script->screens[3].switchgrp; };
        const auto shown = [this] { return QFileInfo(panes()->currentFile()).fileName(); };
        QTRY_COMPARE_WITH_TIMEOUT(shown(), u"ssylki.htm"_qs, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!panes()->isLoading(), 30000);
        QVERIFY(tabs()[0].state);

        clickAt(QPoint(tabs()[1].vx + 5, tabs()[1].vy + 5));
        QTRY_COMPARE_WITH_TIMEOUT(shown(), u"ustroistvo.htm"_qs, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!panes()->isLoading(), 30000);
        QVERIFY(tabs()[1].state && !tabs()[0].state);

        m_form->RunCommand(QStringLiteral("back"), QString(), true);
        QTRY_COMPARE_WITH_TIMEOUT(shown(), u"ssylki.htm"_qs, 30000);
        QVERIFY(tabs()[0].state && !tabs()[1].state);
        QTRY_VERIFY_WITH_TIMEOUT(!panes()->isLoading(), 30000);

        m_form->RunCommand(QStringLiteral("forward"), QString(), true);
        QTRY_COMPARE_WITH_TIMEOUT(shown(), u"ustroistvo.htm"_qs, 30000);
        QVERIFY(tabs()[1].state && !tabs()[0].state);
        QTRY_VERIFY_WITH_TIMEOUT(!panes()->isLoading(), 30000);
        // The history still holds both pages: nothing was loaded over them.
        QCOMPARE(panes()->historyFiles().size(), 2);
        m_form->RunCommand(QStringLiteral("2"), QString(), true);
    }

    // A print link to a page that only the pack holds prints that page.
    void printLink_toAPackedPage_previewsThatPage()
    {
        m_form->RunCommand(QStringLiteral("2"), QString(), true);
        panes()->ShowPage(m_context->values.programDir + "ssylki.htm");
        waitForTitle(u"Полезные ссылки и файлы"_qs);
        QString text;
        whenModal<TPreviewForm>([&](TPreviewForm* preview) {
            text = pdfText(preview->Pages().pdf());
            preview->reject();
        });
        clickLink(QStringLiteral("a[href='printhtml:glava1.htm']"));
        QTRY_VERIFY_WITH_TIMEOUT(!text.isEmpty(), 60000);
        QVERIFY2(text.contains(u"Глава 1. Общие сведения об автомобиле"_qs), qPrintable(text.left(300)));
        QVERIFY(text.contains(u"Страница 1"_qs));
    }

    // With no printer set up, the print button still opens the preview, and its print button saves
    // the pages as a PDF file.
    void printButton_withoutAPrinter_opensThePreview_andSavesAPdf()
    {
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("a printer is set up on this machine");
        m_form->RunCommand(QStringLiteral("2"), QString(), true);
        panes()->ShowPage(m_context->values.programDir + "glava2.htm");
        waitForTitle(u"Глава 2. Двигатель"_qs);
        QTemporaryDir folder;
        const QString out = folder.filePath(QStringLiteral("glava2.pdf"));
        bool shown = false;
        whenModal<TPreviewForm>([&](TPreviewForm* preview) {
            shown = !preview->failed() && preview->pageCount() > 0;
            whenModal<QFileDialog>([&](QFileDialog* dialog) {
                // Typed into the name field, which has the focus (selectFile leaves a focused field alone).
                dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(out);
                static_cast<QDialog*>(dialog)->accept();
            });
            preview->button(QStringLiteral("PrintBut"))->click();
            preview->reject();
        });
        m_form->RunCommand(QStringLiteral("printhtml"), QString(), true);
        QTRY_VERIFY_WITH_TIMEOUT(shown, 60000);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(out), 10000);
        QFile saved(out);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(pdfText(saved.readAll()).contains(u"Глава 2. Двигатель"_qs));
    }

    // The start page's banner narrows beside the contents tree: no scroll bar across the page.
    void startPage_fitsBesideTheTree()
    {
        m_form->RunCommand(QStringLiteral("2"), QString(), true);
        panes()->ShowPage(m_context->values.programDir + "intro.htm");
        waitForTitle(u"Добро пожаловать"_qs);
        QVERIFY(m_components->trees().treeOfTheMoment()->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(
            evaluate(QStringLiteral(
                "(() => { const e = document.scrollingElement;"
                " return e.scrollWidth <= e.clientWidth || e.scrollWidth + ' > ' + e.clientWidth; })()")),
            QVariant(true), 10000);
    }

    // The demo's archive listed in the pane: its size and date cells keep to one line, and a text
    // member saved in UTF-8 reads as it was written.
    void archiveListing_datesOnOneLine_andUtf8MemberReadsRight()
    {
        m_form->RunCommand(QStringLiteral("2"), QString(), true);
        m_components->ShowArchive(m_context->values.programDir + "files/instrumenty.rar");
        QTRY_VERIFY_WITH_TIMEOUT(panes()->currentView()->title().startsWith(u"Содержимое архива"_qs), 30000);
        const QString rows = QStringLiteral(
            "(() => { const d = frames[1] && frames[1].document; if (!d || d.readyState != 'complete') return -1;"
            " const cells = [...d.querySelectorAll('td')].filter(c => c.cellIndex > 0 && c.textContent.trim());"
            " const oneLine = c => { const r = d.createRange(); r.selectNodeContents(c);"
            " return r.getClientRects().length == 1; };"
            " return cells.length && cells.every(oneLine) ? cells.length : 'wrapped'; })()");
        QTRY_VERIFY_WITH_TIMEOUT(evaluate(rows).toInt() > 0, 30000);
        QVERIFY2(evaluate(rows).toInt() > 0, qPrintable(evaluate(rows).toString()));

        clickInListing(u"Инструмент"_qs);
        QTRY_VERIFY_WITH_TIMEOUT(
            evaluate(QStringLiteral("(() => { const d = frames[1].document;"
                                    " return [...d.links].some(a => a.textContent == 'ключи.txt'); })()"))
                .toBool(),
            30000);
        QVERIFY2(evaluate(rows).toInt() > 0, qPrintable(evaluate(rows).toString()));
        clickInListing(u"ключи.txt"_qs);
        QTRY_VERIFY_WITH_TIMEOUT(panes()->currentFile().endsWith(u"ключи.txt"_qs), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(evaluate(QStringLiteral("document.body ? document.body.innerText : ''"))
                                     .toString()
                                     .startsWith(u"Ключи рожковые"_qs),
                                 30000);
        m_form->RunCommand(QStringLiteral("back"), QString(), true);
        m_form->RunCommand(QStringLiteral("back"), QString(), true);
    }

    // "unarc" tells where it unpacked the listed archive.
    void unpackingTheListedArchive_saysWhere()
    {
        m_components->ShowArchive(m_context->values.programDir + "files/instrumenty.rar");
        QTRY_VERIFY_WITH_TIMEOUT(panes()->archiveMode(), 30000);
        QTemporaryDir target;
        m_components->texts().pathFields()->field(0)->setText(target.path());
        m_form->RunCommand(QStringLiteral("unarc"), QString(), true);
        const QString folder = target.filePath(QStringLiteral("instrumenty.rar"));
        QVERIFY(QFileInfo(folder + u"/Инструмент/ключи.txt"_qs).isFile());
        QCOMPARE(m_search->dialog()->currentPage(), int(TCoolDialog::kMessagePage));
        QCOMPARE(m_search->dialog()->pageText(),
                 TUnRar::kUnpackedInto.toString().arg(QDir::toNativeSeparators(folder)));
        m_search->dialog()->closeDialog();
    }

    // The links screen has no status line of its own: what a link did is said in the dialog's
    // message page; copies go to the path field the window has.
    void linksScreen_tellsWhatALinkDid()
    {
        m_form->RunCommand(QStringLiteral("4"), QString(), true);
        QCOMPARE(m_form->currentScreen(), 3);
        panes()->ShowPage(m_context->values.programDir + "ssylki.htm");
        QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(panes()->currentFile()).fileName(), u"ssylki.htm"_qs, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!panes()->isLoading(), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(QStringLiteral("document.readyState")).toString(),
                                  QStringLiteral("complete"), 10000);
        QVERIFY(!m_components->texts().statusLineShown());
        QTemporaryDir target;
        m_components->texts().pathFields()->field(0)->setText(target.path());
        clickLink(QStringLiteral("a[href='copy:files/zapchasti.txt']"));
        QTRY_VERIFY_WITH_TIMEOUT(m_search->dialog()->isVisible(), 10000);
        QVERIFY(QFileInfo::exists(target.filePath(QStringLiteral("zapchasti.txt"))));
        QCOMPARE(m_search->dialog()->currentPage(), int(TCoolDialog::kMessagePage));
        QCOMPARE(m_search->dialog()->pageText(), u"Файл скопирован"_qs);
        m_search->dialog()->closeDialog();
        m_form->RunCommand(QStringLiteral("2"), QString(), true);
    }

    // A word the page does not hold: "Текст не найден" in the find page; closed and opened
    // again, the page does not still say it.
    void findPage_closedAndOpenedAgain_isClearOfTheLastWord()
    {
        m_form->RunCommand(QStringLiteral("2"), QString(), true);
        panes()->ShowPage(m_context->values.programDir + "intro.htm");
        waitForTitle(u"Добро пожаловать"_qs);
        m_form->RunCommand(QStringLiteral("findnext1"), QString(), true);
        QTRY_VERIFY_WITH_TIMEOUT(m_search->dialog()->isVisible(), 10000);
        auto* box = m_search->dialog()->findChild<QLineEdit*>();
        QVERIFY(box);
        box->setText(u"ксилофон"_qs);
        QTest::keyClick(box, Qt::Key_Return);
        // The status line blinks: its message stays while the labels go on and off.
        QTRY_COMPARE_WITH_TIMEOUT(m_components->texts().statusLine().message(), u"Текст не найден"_qs, 30000);
        m_search->dialog()->closeDialog();
        m_form->RunCommand(QStringLiteral("findnext1"), QString(), true);
        QTRY_VERIFY_WITH_TIMEOUT(m_search->dialog()->isVisible(), 10000);
        QTest::qWait(500);
        QCOMPARE(m_components->texts().texts()->text(TTextMsg::kDialogNumber), QString());
        QCOMPARE(m_components->texts().statusLine().message(), QString());
        m_search->dialog()->closeDialog();
    }

    // An archive linked from a page is listed in a folder of the user's alone, made by this run:
    // what lies in the shared temporary folder is neither shown nor removed, even under the name
    // the listing's folder has.
    void archiveListing_keepsOutOfTheSharedTemporaryFolder()
    {
        QTemporaryDir& shared = m_sharedTemp;
        QTemporaryDir& runtime = m_runtimeDir;
        const QString archive = shared.filePath("tools.rar");
        RarWriter writer;
        writer.addFile(QStringLiteral("readme.txt"), "read me");
        QVERIFY(!writer.write(archive).isEmpty());
        const QString planted = shared.filePath(archiveTempFolderName(archive) + "/as_tools.rar.htm");
        writeTestFile(planted, "<html><head><title>planted</title></head></html>");
        writeTestFile(shared.filePath("as_other/keep.txt"), "another program's");

        m_form->RunCommand(QStringLiteral("2"), QString(), true);
        m_components->ShowArchive(archive);
        QTRY_VERIFY_WITH_TIMEOUT(panes()->currentFile().endsWith(QLatin1String("/as_tools.rar.htm")), 30000);
        const QString listing = panes()->currentFile();
        QVERIFY2(listing.startsWith(runtime.path() + "/velbrook-archives/run-"), qPrintable(listing));
        QCOMPARE(QFileInfo(runtime.path() + "/velbrook-archives").permissions() & 0x0077, QFileDevice::Permissions());
        QVERIFY(QFileInfo(planted).isFile());
        QVERIFY(QFileInfo(shared.filePath("as_other/keep.txt")).isFile());
    }

    void cleanupTestCase()
    {
        m_search.reset();
        m_components.reset();
        m_form.reset();
        m_context->settings.close();
    }

private:
    THtmlFrame* panes() const { return dynamic_cast<THtmlFrame*>(m_components->panes()->made()); }

    void waitForTitle(const QString& title)
    {
        QTRY_COMPARE_WITH_TIMEOUT(panes() && panes()->currentView() ? panes()->currentView()->title() : QString(),
                                  title, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(QStringLiteral("document.readyState")).toString(),
                                  QStringLiteral("complete"), 10000);
    }

    QString focusedCaption()
    {
        TTreeViews* tree = m_components->trees().treeOfTheMoment();
        return tree ? tree->currentIndex().data().toString() : QString();
    }

    QString buttonHint(const char* command) const
    {
        for (const RBtn& button : m_script->screens[m_form->currentScreen()].buttons) {
            if (button.go.compare(QLatin1String(command), Qt::CaseInsensitive) == 0)
                return button.hint;
        }
        return QString();
    }

    QVariant evaluate(const QString& script) { return runPageScript(*panes()->currentView()->page(), script); }

    // A click of the window's element under point, through its hot area.
    void clickAt(QPoint point)
    {
        for (QWidget* area : m_form->hotAreas()) {
            if (area->geometry().contains(point)) {
                QTest::mouseMove(area, point - area->pos());
                QTest::mouseClick(area, Qt::LeftButton, {}, point - area->pos());
                return;
            }
        }
        QFAIL("no element there");
    }

    // Clicks the link with text in the listing's lower frame, with the mouse.
    void clickInListing(const QString& text)
    {
        const QVariantList box =
            evaluate(
                QStringLiteral("(() => { const f = document.getElementsByTagName('frame')[1].getBoundingClientRect();"
                               " const a = [...frames[1].document.links].find(l => l.textContent == '%1');"
                               " a.scrollIntoView({block: 'center'}); const r = a.getBoundingClientRect();"
                               " return [f.x + r.x + r.width / 2, f.y + r.y + r.height / 2]; })()")
                    .arg(text))
                .toList();
        QCOMPARE(box.size(), 2);
        QTest::qWait(200);
        QWidget* surface = panes()->currentView()->focusProxy();
        QVERIFY(surface);
        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(box[0].toInt(), box[1].toInt()));
    }

    // Scrolls the link into view and clicks its middle with the mouse.
    void clickLink(const QString& selector)
    {
        const QVariantList box =
            evaluate(QStringLiteral(
                         "(() => { const a = document.querySelector(\"%1\"); a.scrollIntoView({block: 'center'});"
                         " const r = a.getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; })()")
                         .arg(selector))
                .toList();
        QCOMPARE(box.size(), 2);
        QTest::qWait(200); // the scrolled page is drawn
        QWidget* surface = panes()->currentView()->focusProxy();
        QVERIFY(surface);
        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(box[0].toInt(), box[1].toInt()));
    }

    QTemporaryDir m_sharedTemp;
    QTemporaryDir m_runtimeDir;
    std::unique_ptr<AppContext> m_context;
    std::unique_ptr<SkinScript> m_script;
    std::unique_ptr<TMainForm> m_form;
    std::unique_ptr<AppComponents> m_components;
    std::unique_ptr<SearchComponents> m_search;
};

int main(int argc, char* argv[])
{
    return runEngineTest<TestReading>(argc, argv);
}
#include "tst_reading.moc"
