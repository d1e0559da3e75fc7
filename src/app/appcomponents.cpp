#include "appcomponents.h"

#include "aboutbox.h"
#include "appcontext.h"
#include "appdialogs.h"
#include "applog.h"
#include "clicksound.h"
#include "controlpopupwindow.h"
#include "lazypanes.h"
#include "mainform.h"
#include "mediacontroller.h"
#include "pathresolver.h"
#include "popupwiring.h"
#include "privatefolder.h"
#include "screenids.h"
#include "setbusy.h"
#include "textscontroller.h"
#include "thesauruscommand.h"
#include "tnavfont.h"
#include "treescontroller.h"
#include "tunrar.h"

#include <QCoreApplication>
#include <QDir>
#include <QScopedValueRollback>
#include <QUrl>

namespace {

// The pane's own popup menu, and the way a sound or clip linked from a page is played.
constexpr int kPanePopup = -5;
constexpr int kClipFromPage = 3;
// The contents trees stand on the reading screen (kReadingScreen), beside its pane; a tree opens
// a page in the pane numbered 20 when the reading screen's pane is not shown.
constexpr int kTreePane = 20;

} // namespace

AppComponents::AppComponents(TMainForm& form, AppContext& context, const SkinScript& script,
                             std::function<EngineParts*()> engine)
    : m_form(form), m_context(context),
      m_texts(std::make_unique<TextsController>(&form, context, script, [&form] { return form.currentScreen(); }))
{
    form.components().misc = this;
    NavFontHooks fontHooks;
    fontHooks.showMessage = [this](const QString& text) { showArchiveMessage(text); };
    fontHooks.fontsAdded = [&form] {
        if (HtmlPanesHooks* panes = form.components().panes)
            panes->fontsAdded();
    };
    fontHooks.setBusy = [&context](bool busy) { SetBusy(context, busy); };
    m_navFont = std::make_unique<TNavFont>(context.pack, context.disk, context.values.contentDir, std::move(fontHooks));
    if (!script.html.isEmpty()) {
        PaneCallbacks callbacks;
        ComponentHooks& hooks = form.components();
        callbacks.currentScreen = [&form] { return form.currentScreen(); };
        callbacks.pageChanged = [this](const QString& file, const QString& title) { pageChanged(file, title); };
        callbacks.hidePopups = [&hooks] {
            if (hooks.popups)
                hooks.popups->hideAll();
        };
        callbacks.openPanePopup = [&hooks](QPoint at) {
            if (hooks.popups)
                hooks.popups->open(kPanePopup, at);
        };
        callbacks.pointerLeftElements = [&form] { form.pointerOffElements(); };

        LinkServices links;
        links.pathFolder = [this] { return m_texts->copyFolder(); };
        links.showStatus = [this](const QString& text) { showStatus(text); };
        links.syncTree = [this](const QString& page) { m_trees->SyncTreeWithPage(page); };
        links.showArchive = [this](const QString& archive, const QString& fromPage) { showArchive(archive, fromPage); };
        // A link in a listing whose file is not unpacked yet: the archive goes into its listing's folder.
        links.extractArchive = [this] {
            if (m_unrar)
                m_unrar->ExtractArchive(false, true);
            else
                qCDebug(lcApp) << "nothing unpacked for the link: no archive was listed";
        };
        links.playClip = [&hooks](const QString& file) {
            if (hooks.media)
                hooks.media->PlayClip(file, QString(), kClipFromPage);
        };

        m_panes = std::make_unique<LazyPanes>(&form, form.documentPanel(), context, script.html, callbacks, links,
                                              std::move(engine));
        hooks.panes = m_panes.get();
        hooks.history = this;
    }
    m_trees = std::make_unique<TreesController>(context, form.documentPanel());
    TreeCallbacks& tree = m_trees->callbacks();
    tree.currentScreen = [&form] { return form.currentScreen(); };
    tree.currentFile = [this] { return m_panes ? m_panes->currentFile() : QString(); };
    tree.openPage = [this, &form](const QString& page) {
        if (!m_panes)
            return;
        // The trees belong to the reading screen: a page a tree opens (its pending page, when
        // another screen shows) never goes into the pane of another screen.
        if (form.currentScreen() != kReadingScreen) {
            qCDebug(lcApp) << "a tree's page is not opened off the reading screen:" << page;
            return;
        }
        if (m_panes->currentVisible())
            m_panes->ShowPage(page);
        else
            m_panes->ShowHtmlElement(kTreePane, page);
    };
    tree.chapterHints = [&form](const QString& next, const QString& previous) {
        form.setButtonHints(QStringLiteral("nextchapter"), next);
        form.setButtonHints(QStringLiteral("prevchapter"), previous);
    };
    tree.hidePopups = [&form] {
        if (form.components().popups)
            form.components().popups->hideAll();
    };
    tree.treeAreaChanged = [this](int width) {
        if (m_panes)
            m_panes->setTreeWidth(width);
    };
    form.components().trees = m_trees.get();
    m_popups = makePopups(form, context, script);
    form.components().popups = m_popups.get();

    MediaWindow window;
    window.window = &form;
    window.currentScreen = [&form] { return form.currentScreen(); };
    window.picture = [&form] { return form.composedBackground(); };
    window.pointerOff = [&form] { form.pointerOffElements(); };
    window.musicChanged = [&form] { form.musicChanged(); };
    m_media = std::make_unique<MediaController>(window, context, script, form.components());
    // The options dialog belongs to every skinned window; a skinned dialog that comes later takes
    // over the other dialog requests and hands "options" on to it.
    m_dialogs = std::make_unique<AppDialogs>(&form, context, script, *m_media, form.components());
}

AppComponents::~AppComponents()
{
    // The window outlives its components: it must not reach them from now on.
    ComponentHooks& hooks = m_form.components();
    if (hooks.misc == this)
        hooks.misc = nullptr;
    if (hooks.history == this)
        hooks.history = nullptr;
    if (hooks.panes == m_panes.get())
        hooks.panes = nullptr;
    if (hooks.trees == m_trees.get())
        hooks.trees = nullptr;
    if (hooks.popups == m_popups.get())
        hooks.popups = nullptr;
    // The archive's temporary folders go with it. The popups write the favorites back as they go.
    // The views go before the engine's profile, which the window owns.
    m_dialogs.reset();
    m_media.reset();
    m_unrar.reset();
    m_popups.reset();
    m_trees.reset();
    m_panes.reset();
}

void AppComponents::pageChanged(const QString& file, const QString& title)
{
    // The page title, the tree that follows the page, and the chapter buttons' hints after it;
    // the trees follow the reading screen's pane only.
    m_texts->setPageTitle(title);
    m_navFont->RememberPageFolder(file);
    if (PopupsHooks* popups = m_form.components().popups; popups && m_panes)
        popups->fillHistoryLists(m_panes->historyTitles(), m_panes->historyIndex());
    if (m_unrar)
        m_unrar->PageShown(file);
    if (m_form.currentScreen() != kReadingScreen)
        return;
    m_trees->SyncTreeWithPage(file);
    m_trees->updateChapterHints();
}

void AppComponents::AddSection(const QString& page)
{
    if (m_panes)
        m_panes->AddSection(page);
}

void AppComponents::GoBackPage()
{
    if (m_panes)
        m_form.pressSwitchesFor(m_panes->GoBackPage());
}

void AppComponents::GoForwardPage()
{
    if (m_panes)
        m_form.pressSwitchesFor(m_panes->GoForwardPage());
}

void AppComponents::ShowArchive(const QString& archive)
{
    showArchive(archive, m_panes ? m_panes->currentFile() : QString());
}

void AppComponents::showArchive(const QString& archive, const QString& fromPage)
{
    if (!m_panes) {
        qCDebug(lcApp) << "archive not listed: the skin has no HTML pane:" << archive;
        return;
    }
    if (!m_unrar) {
        UnRarHooks hooks;
        hooks.showMessage = [this](const QString& text) { showArchiveMessage(text); };
        hooks.showPage = [this](const QString& page) { m_panes->ShowPage(page); };
        hooks.archiveMode = [this] { return m_panes->archiveMode(); };
        hooks.setArchiveMode = [this](bool on) { m_panes->setArchiveMode(on); };
        hooks.pathFolder = [this]() -> std::optional<QString> {
            if (!m_texts->pathFields())
                return std::nullopt;
            // As for copied files: a drive letter stands for the reader's home folder here.
            QString folder = toInternalPath(m_texts->copyFolder());
            if (hasDriveLetter(folder))
                folder = QDir::homePath() + QLatin1Char('/') + folder.mid(2);
            return folder;
        };
        hooks.setBusy = [this](bool busy) { SetBusy(m_context, busy); };
        // Never the shared temporary folder: a folder of the user's alone, each run in its own.
        m_unrar = std::make_unique<TUnRar>(std::move(hooks),
                                           privateFolder({QStringLiteral("velbrook-archives")}).value_or(QString()));
    }
    m_unrar->ListArchive(archive, fromPage);
}

void AppComponents::showArchiveMessage(const QString& text)
{
    if (ComponentHooks& hooks = m_form.components(); hooks.dialogs)
        hooks.dialogs->ShowMessage(text);
    else
        m_texts->showStatus(text);
}

void AppComponents::ExtractArchive()
{
    // "unarc" while the pane shows a listing.
    if (!m_unrar) {
        qCDebug(lcApp) << "unarc: no archive was listed, nothing unpacked";
        return;
    }
    m_unrar->ExtractArchive(true, false);
}

void AppComponents::InstallFonts()
{
    m_navFont->InstallFonts();
}

void AppComponents::showAbout()
{
    if (!m_about) {
        if (!TAboutBox::available(m_context.container)) {
            qCDebug(lcApp) << "about: the container has no About.cfs";
            return;
        }
        TAboutBox::Services services;
        services.hints = m_context.userSettings.hint;
        // Through the window's desktop services, as every other link and address of the window.
        services.openUrl = [this](const QUrl& url) {
            if (!m_form.desktopServices().openUrl(url))
                showStatus(QStringLiteral(u"Не удалось открыть адрес %1").arg(url.toString()));
        };
        services.playSound = [this](const QString& file) {
            if (!m_context.userSettings.wav)
                return;
            if (!m_aboutSound)
                m_aboutSound = std::make_unique<ClickSound>();
            m_aboutSound->play(m_context.disk.resolve(file));
        };
        m_about = std::make_unique<TAboutBox>(m_context.container, m_context.folders(), services, &m_form);
        // The about window goes with the others when the skinned window closes.
        QObject::connect(&m_form, &TMainForm::closingFinished, m_about.get(), &QDialog::reject);
    }
    m_about->showAbout();
}

void AppComponents::thesaurus()
{
    // The copy starts as the window starts its other copies (the help).
    const ThesaurusOpened result =
        openThesaurus(m_context, QCoreApplication::applicationFilePath(),
                      [this](const QString& program, const QStringList& arguments) {
                          return m_form.desktopServices().startProgram(program, arguments, QString());
                      });
    const QString failure = thesaurusFailureText(result);
    // An index that cannot be read is a warning to confirm, as the other index files give.
    if (result == ThesaurusOpened::IndexUnreadable)
        showArchiveMessage(failure);
    else if (!failure.isEmpty())
        showStatus(failure);
}

void AppComponents::HideFields(bool hide)
{
    m_texts->hideFields(hide);
}

void AppComponents::ShowFieldsForScreen()
{
    m_texts->ShowFieldsForScreen();
}

void AppComponents::PaintTexts(QPainter& painter)
{
    m_texts->PaintTexts(painter);
}

void AppComponents::showStatus(const QString& text)
{
    // A screen without a status line of its own says it in the skinned dialog's message page,
    // so that nothing the reader did goes untold. The dialogs' own fallback comes back here.
    ComponentHooks& hooks = m_form.components();
    if (m_texts->statusLineShown() || !hooks.dialogs || m_telling) {
        m_texts->showStatus(text);
        return;
    }
    const QScopedValueRollback telling(m_telling, true);
    hooks.dialogs->ShowMessage(text);
}
