// Start-up in the three run modes, and the ordered end of the skinned window.

#include "startup.h"

#include "appcomponents.h"
#include "appcontext.h"
#include "applog.h"
#include "codecinstall.h"
#include "commandmatch.h"
#include "contenterror.h"
#include "copydatareceiver.h"
#include "engine.h"
#include "instancelock.h"
#include "lazypanes.h"
#include "mainform.h"
#include "mediacontroller.h"
#include "pathresolver.h"
#include "picturebytes.h"
#include "picturecache.h"
#include "scriptcodec.h"
#include "scriptpaths.h"
#include "settingsstore.h"
#include "skinnedprogram.h"
#include "skinscript.h"
#include "startupmessages.h"
#include "treescontroller.h"
#include "tstartclip.h"
#include "windowcaptions.h"
#include "windowdirectory.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

// Opens the content pack; a missing pack leaves the disk files, a damaged one is reported once
// and the start goes on without it. Returns false when the pack is there but cannot be read.
bool openPack(AppContext& context)
{
    const QString path = context.values.programDir + QStringLiteral("interface.dat");
    bool readable = true;
    if (context.disk.fileExists(path)) {
        try {
            if (!context.pack.OpenPack(path)) {
                printError(context.pack.errorString());
                readable = false;
            }
        } catch (const ContentError& error) {
            printError(error.message());
            readable = false;
        }
    }
    context.pack.SetPackBase(context.values.contentDir);
    return readable;
}

QString nativePath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Files that authors leave in the program folder while they work on the scripts: the program
// refuses to start beside them, so that a disc never ships with the plain scripts.
bool authoringLeftoversFound(const AppContext& context, const StartupMessages& messages)
{
    static const std::pair<const char*, const char16_t*> leftovers[] = {
        {"Struct.txt", u"Файл Struct.txt не удален"},
        {"About.txt", u"Файл About.txt не удален"},
        {"Dialog.txt", u"Файл Dialog.txt не удален"},
        {"Coder.exe", u"А зачем тут кодер лежит?"},
    };
    bool found = false;
    for (const auto& [file, message] : leftovers) {
        if (context.disk.fileExists(context.values.programDir + QLatin1String(file))) {
            // A run without a reader at the screen would wait for ever on the box: it gets the line.
            printError(QString::fromUtf16(message));
            messages.tell(QMessageBox::Warning, QString::fromUtf16(message));
            found = true;
        }
    }
    return found;
}

// Moves the window to the front of its caption's order each time it becomes the active window.
class ActivationWatch final : public QObject
{
public:
    ActivationWatch(WindowEndpoint& endpoint, QWidget& window) : QObject(&window), m_endpoint(&endpoint)
    {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::WindowActivate && m_endpoint)
            m_endpoint->markActivated();
        return false;
    }

private:
    // The endpoint may go before the window.
    QPointer<WindowEndpoint> m_endpoint;
};

// Makes the window findable by its caption: other copies can close it and bring it to the front.
void publish(WindowEndpoint& endpoint, QWidget& window)
{
    new ActivationWatch(endpoint, window);
    QObject::connect(&endpoint, &WindowEndpoint::closeRequested, &window, &QWidget::close);
    QObject::connect(&endpoint, &WindowEndpoint::raiseRequested, &window, [&window, &endpoint] {
        window.showNormal();
        window.raise();
        window.activateWindow();
        // Brought to the front, it is the window of its caption asked first from now on.
        endpoint.markActivated();
    });
}

// Writes the window into a picture once it has painted, then quits.
template <typename Window> void scheduleScreenshot(Window& form, const CommandLine& commandLine)
{
    if (commandLine.screenshot.isEmpty())
        return;
    const QString file = commandLine.screenshot;
    QTimer::singleShot(commandLine.screenshotAfter, &form, [&form, file] {
        auto* poll = new QTimer(&form);
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, &form, [&form, file, poll] {
            if (!form.hasPainted())
                return;
            poll->stop();
            // A picture that could not be written is a failed run, not a finished one.
            if (!form.grab().save(file, "PNG")) {
                printError(QStringLiteral("cannot write %1").arg(file));
                QCoreApplication::exit(1);
                return;
            }
            QCoreApplication::exit(0);
        });
        poll->start();
    });
}

// The commands of the command line, one after another: each runs once the page the one before
// it asked for has loaded (or after kCommandPageWaitMs), so a scripted run sees what a reader
// would. done follows the last command at once, as a screenshot's own wait (--after) does.
constexpr int kCommandPageWaitMs = 10000;
constexpr int kCommandPollMs = 10;

void runCommandsInTurn(TMainForm& form, const HtmlPanesHooks* panes, QStringList commands, std::function<void()> done)
{
    auto waited = std::make_shared<QElapsedTimer>();
    waited->start();
    // True once the last command has run.
    auto step = [&form, panes, commands, done, waited]() mutable {
        if (commands.isEmpty()) {
            done();
            return true;
        }
        if (panes && panes->isLoading()) {
            if (!waited->hasExpired(kCommandPageWaitMs))
                return false;
            qCDebug(lcApp) << "a page asked for by the command line did not finish loading; the next command runs";
        }
        const QString command = commands.takeFirst();
        qCDebug(lcApp) << "command line:" << command;
        form.RunCommand(command, QString(), true);
        waited->start();
        if (commands.isEmpty()) {
            done();
            return true;
        }
        return false;
    };
    // The first command runs at once unless a page is coming already (the first screen's own).
    if (step())
        return;
    auto* poll = new QTimer(&form);
    poll->setInterval(kCommandPollMs);
    QObject::connect(poll, &QTimer::timeout, &form, [poll, step]() mutable {
        if (step()) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start();
}

// Whether a command shows a page it names: a screen or pane command with a page.
bool namesAPage(const QString& command, const AppContext& context)
{
    const CommandKind kind = matchCommand(command).kind;
    return (kind == CommandKind::Screen || kind == CommandKind::Html) &&
           !CommandArg(command, context.folders()).trimmed().isEmpty();
}

// Runs what once the window has painted its first frame (at once when it has).
void afterFirstPaint(TMainForm& form, std::function<void()> what)
{
    auto* poll = new QTimer(&form);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, &form, [&form, poll, what = std::move(what)] {
        if (!form.hasPainted())
            return;
        poll->stop();
        poll->deleteLater();
        what();
    });
    poll->start();
}

// The reader's words for a container that cannot be read.
QString damagedContainerText(const QString& kel)
{
    return QStringLiteral(u"Файл оформления руководства «%1» повреждён и не может быть прочитан.").arg(nativePath(kel));
}

int runSkinned(QApplication& app, const CommandLine& commandLine, AppContext& context, const StartupMessages& messages,
               bool packReadable)
{
    if (authoringLeftoversFound(context, messages))
        return 1;
    const QString kel = context.values.programDir + QStringLiteral("Kel.dhl");
    if (!context.disk.fileExists(kel)) {
        messages.fail(
            QStringLiteral("%1 holds no Kel.dhl: not a content folder (see --help)").arg(context.values.programDir),
            QStringLiteral(u"В папке «%1» нет руководства: не найден файл Kel.dhl.")
                .arg(nativePath(context.values.programDir)));
        return 1;
    }
    try {
        context.container.Open(context.disk.resolve(kel));
    } catch (const ContentError& error) {
        messages.fail(error.message(), damagedContainerText(kel));
        return 1;
    }
    const std::optional<QByteArray> stored = context.container.Read(QStringLiteral("Struct.cfs"));
    if (!stored) {
        messages.fail(QStringLiteral("%1 holds no Struct.cfs").arg(kel),
                      QStringLiteral(u"В файле оформления «%1» нет сценария Struct.cfs: руководство повреждено.")
                          .arg(nativePath(kel)));
        return 1;
    }
    const QStringList lines = DecodeScript(*stored, true);

    SkinScript script(context.folders());
    script.readHeader(lines);
    context.values.appTitle = script.header.title;

    // One copy per title: a second one leaves without a window of its own, but brings the first
    // one to the front, so a reader who minimised it sees it again.
    InstanceLock lock(context.values.appTitle);
    if (!lock.tryLock()) {
        context.setRunMode(RunMode::AbandonedSecondCopy);
        if (!WindowDirectory::requestRaise(context.values.appTitle))
            qCDebug(lcApp) << "a second start found no window to bring forward:" << context.values.appTitle;
        return 0;
    }
    context.setRunMode(RunMode::Skinned);
    app.setApplicationDisplayName(context.values.appTitle);
    // Told once, by the copy that opens the window; the pages on disk still show.
    if (!packReadable)
        messages.tell(QMessageBox::Warning,
                      QStringLiteral(u"Пакет страниц руководства interface.dat повреждён и не может быть прочитан: "
                                     u"страницы из него показаны не будут."));

    script.readElements(lines);
    // What the reader could not use of the script, for its author, one line each; and a script
    // without a usable first screen would open a black window with nothing on it.
    for (const QString& problem : std::as_const(script.problems))
        printError(QStringLiteral("Struct.cfs: %1").arg(problem));
    if (const QString problem = firstScreenProblem(script, context.container); !problem.isEmpty()) {
        messages.fail(QStringLiteral("%1: %2").arg(kel, problem),
                      QStringLiteral(u"Руководство повреждено: в его оформлении (Struct.cfs в «%1») нет первого "
                                     u"экрана, который можно показать.")
                          .arg(nativePath(kel)));
        return 1;
    }
    SettingsStore& settings = context.openSettings();
    context.userSettings = UserSettings::Load(settings, !script.image.isEmpty());
    if (script.header.bgsounddef.isEmpty())
        context.userSettings.bgSound = false;

    CodecInstall::installForStartup(script.header.codec, context.userSettings.clip);
    // The components are joined to the window first: building the first screen shows its pane
    // and tree and runs its switch commands, which act on them.
    SkinnedProgram program(context, script, loadEngine);
    TMainForm& form = program.form();
    AppComponents& components = program.components();
    if (const std::optional<QByteArray> icon = context.container.Read(script.header.icon)) {
        const QImage picture = pictureFromBytes(*icon);
        if (!picture.isNull())
            app.setWindowIcon(QIcon(QPixmap::fromImage(picture)));
    }
    WindowEndpoint endpoint(context.values.appTitle);
    publish(endpoint, form);
    QObject::connect(&form, &TMainForm::closingFinished, &app, &QCoreApplication::quit);

    CopyDataTarget target;
    target.kind = CopyDataTarget::Kind::Skinned;
    target.programDir = context.values.programDir;
    target.hasPane = [&components] { return components.panes() != nullptr; };
    target.currentScreen = [&form] { return form.currentScreen(); };
    target.currentFile = [&components] { return components.panes()->currentFile(); };
    target.showPage = [&components](const QString& page) { components.panes()->ShowPage(page); };
    target.runCommand = [&form](const QString& command) { form.RunCommand(command, QString(), true); };
    target.syncTree = [&components](const QString& page) { components.trees().SyncTreeWithPage(page); };
    target.tempDir = context.values.tempDir;
    target.packHolds = [&context](const QString& file) { return context.pack.FindPackEntry(file) >= 0; };
    // The companion's two print values are the size of the picture it sends, when it sends one.
    target.printFile = [&components](const QString& file, int first, int second) {
        HtmlPanesHooks* panes = components.panes();
        return panes && panes->printFile(file, first > 0 && second > 0 ? QSize(first, second) : QSize());
    };
    receiveCopyData(endpoint, &form, target);
    // A page the command line names is shown as named, not the page the last run ended at.
    if (components.panes() && std::any_of(commandLine.commands.cbegin(), commandLine.commands.cend(),
                                          [&context](const QString& command) { return namesAPage(command, context); }))
        components.panes()->forgetLastPage();
    form.buildFirstScreen();
    components.ShowFieldsForScreen();

    // The show step: the window opens, the command line's commands run, and the music starts once
    // the window has painted (libmpv loads then, not before the first frame). A run for one
    // picture plays no music: its fade-out would only hold up the end.
    const bool onePicture = !commandLine.screenshot.isEmpty();
    const auto showStep = [&](const std::function<void()>& afterCommands) {
        form.showStep();
        endpoint.markActivated();
        runCommandsInTurn(form, components.panes(), commandLine.commands, [&form, &commandLine, afterCommands] {
            if (afterCommands)
                afterCommands();
            scheduleScreenshot(form, commandLine);
        });
        if (!onePicture)
            afterFirstPaint(form, [&components] {
                components.media().windowShown();
                components.media().startMusicAtShow();
            });
    };
    // The start clip plays before the window opens; for a picture the window opens at once and
    // the clip plays above it, once the command line's commands have run (a clip they start is
    // not held back by it).
    std::unique_ptr<TStartClip> startClip;
    if (onePicture) {
        showStep([&] {
            afterFirstPaint(form, [&] {
                components.media().windowShown();
                startClip = components.media().makeStartClip();
            });
        });
    } else if ((startClip = components.media().makeStartClip())) {
        QObject::connect(
            startClip.get(), &TStartClip::finished, &form, [&showStep] { showStep({}); }, Qt::QueuedConnection);
    } else {
        showStep({});
    }

    const int code = app.exec();
    form.shutdown();
    components.media().stopAtEnd();
    return code;
}

// The thesaurus copy: a small skinned window from Tesaurus.cfs whose pane shows the page it was
// started with, with its buttons, search box and status line. Later pages come from the main
// copy's "tesaurus" command through the messages between copies.
int runThesaurus(QApplication& app, const CommandLine& commandLine, AppContext& context, WindowEndpoint& endpoint,
                 const StartupMessages& messages)
{
    const QString kel = context.values.programDir + QStringLiteral("Kel.dhl");
    std::optional<QByteArray> stored;
    try {
        context.container.Open(context.disk.resolve(kel));
        stored = context.container.Read(QStringLiteral("Tesaurus.cfs"));
    } catch (const ContentError& error) {
        messages.fail(error.message(), damagedContainerText(kel));
        return 1;
    }
    if (!stored) {
        messages.fail(QStringLiteral("%1 holds no Tesaurus.cfs: the thesaurus cannot open").arg(kel),
                      QStringLiteral(u"В файле оформления «%1» нет сценария Tesaurus.cfs: тезаурус открыть нельзя.")
                          .arg(nativePath(kel)));
        return 1;
    }
    SkinScript script(context.folders(), SkinScript::Variant::Thesaurus);
    script.read(DecodeScript(*stored, true));
    for (const QString& problem : std::as_const(script.problems))
        printError(QStringLiteral("Tesaurus.cfs: %1").arg(problem));
    if (!commandLine.argument.isEmpty()) {
        for (RHTML& pane : script.html)
            pane.fn = ExpandPath(commandLine.argument, context.folders());
    }

    SkinnedProgram program(context, script, loadEngine);
    TMainForm& form = program.form();
    AppComponents& components = program.components();
    publish(endpoint, form);
    CopyDataTarget target;
    target.kind = CopyDataTarget::Kind::Thesaurus;
    target.programDir = context.values.programDir;
    target.hasPane = [&components] { return components.panes() != nullptr; };
    target.showPage = [&components, &form](const QString& page) {
        components.panes()->ShowPage(page);
        form.showNormal();
        form.raise();
        form.activateWindow();
    };
    receiveCopyData(endpoint, &form, target);
    // A page the command line names is shown as named, not the page the last run ended at.
    if (components.panes() && std::any_of(commandLine.commands.cbegin(), commandLine.commands.cend(),
                                          [&context](const QString& command) { return namesAPage(command, context); }))
        components.panes()->forgetLastPage();
    form.buildFirstScreen();
    components.ShowFieldsForScreen();
    // The desktop's default place for a new window, and the same one every time: the top-left
    // corner of the screen's free area. Left to the window manager, the window would open
    // wherever it found room, somewhere else each time.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        form.move(screen->availableGeometry().topLeft());
    form.show();
    endpoint.markActivated();
    runCommandsInTurn(form, components.panes(), commandLine.commands,
                      [&form, &commandLine] { scheduleScreenshot(form, commandLine); });
    const int code = app.exec();
    form.shutdown();
    return code;
}

// The thesaurus and plain-window copies: a window of the right kind and caption.
int runCopy(QApplication& app, const CommandLine& commandLine, AppContext& context, const StartupMessages& messages)
{
    context.setRunMode(commandLine.runMode());
    const bool thesaurus = context.thesaurusMode();
    context.values.appTitle = thesaurus            ? WindowCaption::Thesaurus()
                              : context.copyFlag() ? WindowCaption::Help()
                                                   : WindowCaption::enlargedPicture();
    InstanceLock lock(context.values.appTitle);
    if (thesaurus && !lock.tryLock()) {
        if (!WindowDirectory::requestRaise(context.values.appTitle))
            qCDebug(lcApp) << "a second thesaurus found no window to bring forward";
        return 0;
    }

    WindowEndpoint endpoint(context.values.appTitle);
    if (!thesaurus) {
        // A file named in a shell may be relative to its current folder.
        QString file = commandLine.argument;
        if (!file.isEmpty() && !hasDriveLetter(file) && QFileInfo(toInternalPath(file)).isRelative())
            file = QDir::current().absoluteFilePath(toInternalPath(file));
        EngineParts* engine = loadEngine();
        if (!engine) {
            messages.tell(QMessageBox::Critical,
                          QStringLiteral(u"Окно не открыто: не удалось загрузить модуль показа страниц "
                                         u"libvelbrook-engine.so. Программа установлена не полностью."));
            return 1;
        }
        const std::unique_ptr<EngineWindow> window = engine->createPlainWindow(context, file);
        window->setWindowTitle(context.values.appTitle);
        publish(endpoint, *window);
        CopyDataTarget target;
        target.kind = CopyDataTarget::Kind::Copy;
        target.programDir = context.values.programDir;
        target.startedFile = file;
        target.showPage = [&window](const QString& page) {
            window->showFile(page);
            window->showNormal();
            window->raise();
            window->activateWindow();
        };
        receiveCopyData(endpoint, window.get(), target);
        window->show();
        endpoint.markActivated();
        scheduleScreenshot(*window, commandLine);
        return app.exec();
    }

    return runThesaurus(app, commandLine, context, endpoint, messages);
}

} // namespace

QString contentFolderFor(const CommandLine& commandLine)
{
    if (!commandLine.contentFolder.isEmpty())
        return commandLine.contentFolder;
    const QString programFolder = QCoreApplication::applicationDirPath();
    if (QFileInfo::exists(programFolder + QStringLiteral("/Kel.dhl")))
        return programFolder;
    return QDir::currentPath();
}

int runProgram(QApplication& app, const CommandLine& commandLine)
{
    const StartupMessages messages(commandLine);
    const QString folder = contentFolderFor(commandLine);
    if (!QFileInfo(folder).isDir()) {
        messages.fail(QStringLiteral("%1 is not a folder").arg(folder),
                      (QFileInfo::exists(folder) ? QStringLiteral(u"Руководство не открыто: «%1» — не папка.")
                                                 : QStringLiteral(u"Руководство не открыто: папка «%1» не найдена."))
                          .arg(nativePath(folder)));
        return 2;
    }
    AppContext context(StartupValues::forContentFolder(folder));
    const bool packReadable = openPack(context);
    context.printToFile = commandLine.printTo;
    if (commandLine.mode == CommandLine::Mode::Skinned)
        return runSkinned(app, commandLine, context, messages, packReadable);
    return runCopy(app, commandLine, context, messages);
}
