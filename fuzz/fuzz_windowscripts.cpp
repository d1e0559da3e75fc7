// The scripts of the companion windows, all from one text: the skinned dialog (Dialog.cfs) read
// and its message and find pages laid out; the thesaurus window's script (Tesaurus.cfs); the about
// window (About.cfs) built from a container as the program builds it; and the popup lists a skin
// script declares, made for each screen and opened. The text reaches every reader through our
// script writer and the program's decoder.

#include "aboutbox.h"
#include "appcontext.h"
#include "controlpopupwindow.h"
#include "cooldialog.h"
#include "dialogscript.h"
#include "fuzzsupport.h"
#include "popupwindow.h"
#include "readbin.h"
#include "scriptcodec.h"
#include "skinscript.h"
#include "startupvalues.h"

#include <QBuffer>
#include <QDir>
#include <QImage>

#include <memory>

namespace {

std::unique_ptr<AppContext> g_context;
QByteArray g_picture; // every picture the popups ask for

QByteArray bitmap(QSize size, Qt::GlobalColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

// The pictures a script may name: the seeds and the dictionary use these names.
void addPictures(ContainerWriter& container)
{
    container.add(QStringLiteral("a.bmp"), bitmap({160, 120}, Qt::darkGray));
    container.add(QStringLiteral("b.bmp"), bitmap({40, 20}, Qt::yellow));
    container.add(QStringLiteral("c.bmp"), bitmap({16, 16}, Qt::blue));
}

void readDialog(const QStringList& lines, const ProgramFolders& folders)
{
    DialogScript script = readDialogScript(lines, folders);
    FUZZ_CHECK(script.pages.size() <= DialogScript::kMaxPages, QStringLiteral("too many dialog pages"));
    TCoolDialog dialog(*g_context, std::move(script), nullptr);
    dialog.ShowDialogPage(TCoolDialog::kMessagePage, QStringLiteral("Страница не найдена: glava9.htm"));
    dialog.closeDialog();
    dialog.ShowDialogPage(TCoolDialog::kFindPage, QString());
    dialog.SetSearchHint(QStringLiteral("Найдено: 2"));
    dialog.closeDialog();
}

void readAbout(const QStringList& lines, const ProgramFolders& folders)
{
    ContainerWriter writer;
    writer.add(QStringLiteral("About.cfs"), encodeScript(lines));
    addPictures(writer);
    const QString path = QDir(fuzz::tempDir()).filePath(QStringLiteral("about/Kel.dhl"));
    writer.write(path);
    TReadBin container;
    container.Open(path);
    FUZZ_CHECK(TAboutBox::available(container), QStringLiteral("About.cfs went missing"));
    TAboutBox about(container, folders, {});
    about.background();
}

void readPopups(const QStringList& lines, const ProgramFolders& folders)
{
    SkinScript script(folders);
    script.read(lines);
    int screen = 0;
    PopupServices services;
    services.currentScreen = [&screen] { return screen; };
    services.readResource = [](const QString&) { return std::optional<QByteArray>(g_picture); };
    services.desktop = [](QPoint) { return QRect(0, 0, 1280, 1024); };
    TControlPopupWindow popups(script, g_context->settings, folders, services);
    const QStringList titles = {QStringLiteral("Глава 1"), QString(), QString(300, u'Ж')};
    for (screen = 0; screen < qMin<int>(int(script.screens.size()), 4); ++screen) {
        popups.BuildPopups();
        const QList<RPopupData>& elements = script.screens[screen].popups;
        for (qsizetype i = 0; i < qMin<qsizetype>(elements.size(), 8); ++i) {
            if (TPopupWindow* window = popups.popup(elements[i].type))
                window->visibleItemCount();
        }
        popups.fillHistoryLists(titles, 1);
        if (!elements.isEmpty()) {
            popups.OpenPopup(elements.first().type, QPoint(100, 100));
            popups.CloseAllPopups();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::start(argc, argv, fuzz::App::Gui);
    const QString content = QDir(fuzz::tempDir()).filePath(QStringLiteral("content"));
    QDir().mkpath(content);
    QDir().mkpath(QDir(fuzz::tempDir()).filePath(QStringLiteral("about")));
    ContainerWriter kel;
    addPictures(kel);
    kel.write(content + QStringLiteral("/Kel.dhl"));
    g_context = std::make_unique<AppContext>(StartupValues::forContentFolder(content));
    g_context->container.Open(content + QStringLiteral("/Kel.dhl"));
    g_context->values.appTitle = QStringLiteral("Velbrook fuzz");
    g_picture = bitmap({120, 160}, Qt::darkGray);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QStringList text = fuzz::textLines(data, size);
    const QStringList lines = fuzz::storedScriptLines(text, true);
    const ProgramFolders folders = g_context->folders();

    readDialog(lines, folders);

    SkinScript thesaurus(folders, SkinScript::Variant::Thesaurus);
    thesaurus.read(lines);

    readAbout(text, folders);
    readPopups(lines, folders);
    return 0;
}
