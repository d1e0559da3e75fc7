#include "searchcomponents.h"

#include "appcomponents.h"
#include "appcontext.h"
#include "appdialogs.h"
#include "applog.h"
#include "clicksound.h"
#include "cooldialog.h"
#include "findtxthtml.h"
#include "mainform.h"
#include "scalebar.h"
#include "scriptcodec.h"
#include "setbusy.h"
#include "skinscript.h"
#include "textmsg.h"
#include "textscontroller.h"
#include "treescontroller.h"

#include <QPointer>
#include <QScreen>

SearchComponents::SearchComponents(TMainForm& form, AppContext& context, const SkinScript& script,
                                   AppComponents& components)
    : m_form(form), m_components(components)
{
    const bool thesaurus = context.thesaurusMode();
    if (!thesaurus && context.container.Exists(QStringLiteral("Dialog.cfs"))) {
        const std::optional<QByteArray> stored = context.container.Read(QStringLiteral("Dialog.cfs"));
        DialogScript dialogScript =
            readDialogScript(DecodeScript(stored.value_or(QByteArray()), true), context.folders());
        for (const QString& problem : std::as_const(dialogScript.problems))
            qCDebug(lcApp) << "Dialog.cfs:" << problem;
        m_dialog = std::make_unique<TCoolDialog>(context, std::move(dialogScript), &form);
        // The player starts with the first sound, not with the window: libmpv costs start-up time.
        m_dialog->setSoundPlayer([this, &context](const QString& file) {
            if (!m_sound)
                m_sound = std::make_unique<ClickSound>();
            m_sound->play(context.disk.resolve(file));
        });
        m_dialog->setScaleBar(&components.texts().scaleBar());
        // A closed dialog takes its last word with it: opened again, it does not still say
        // "Текст не найден".
        QObject::connect(m_dialog.get(), &TCoolDialog::closed, m_dialog.get(),
                         [&components] { components.texts().clearStatus(); });
        if (TTextMsg* labels = components.texts().texts()) {
            labels->setDialogWindow(m_dialog.get());
            m_dialog->setOverlayPainter(
                [labels](QPainter& painter) { labels->PaintTexts(painter, TTextMsg::Owner::Dialog); });
        }
        form.components().dialogs = this;
    }
    if (script.findtxt.isEmpty())
        return;

    FindServices services;
    services.panes = [&form] { return form.components().panes; };
    services.showStatus = [&components](const QString& text) { components.texts().showStatus(text); };
    services.clearStatus = [&components] { components.texts().clearStatus(); };
    services.setBusy = [&context](bool busy) { SetBusy(context, busy); };
    services.findInTree = [&components](const QString& text) { return components.trees().findInTree(text); };
    services.syncTree = [&components](const QString& page) { components.trees().SyncTreeWithPage(page); };
    services.advanceBar = [&components](int k, int n) { components.texts().scaleBar().advanceTo(k, n); };
    services.resetBar = [&components] { components.texts().scaleBar().ResetBar(); };
    services.currentScreen = [&form] { return form.currentScreen(); };
    if (m_dialog) {
        TCoolDialog* dialog = m_dialog.get();
        services.setSearchHint = [dialog](const QString& hint) { dialog->SetSearchHint(hint); };
        services.showResults = [dialog](const QStringList& files, const QStringList& titles) {
            dialog->ShowResults(files, titles);
        };
        services.enterInFirstBox = [dialog] { dialog->RunDialogCommand(QStringLiteral("findnext1"), QString()); };
        services.escape = [this, dialog] {
            if (m_search->isRunning())
                m_search->StopSearch();
            else
                dialog->closeDialog();
        };
        services.matchShown = [this](const QString& text, bool matchCase, int matches, int active) {
            keepPanelClearOf(text, matchCase, matches, active);
        };
    } else {
        services.showResults = [](const QStringList&, const QStringList&) {};
        services.enterInFirstBox = [this] { m_search->FindNext(1); };
        services.escape = [this, &form] {
            if (m_search->isRunning())
                m_search->StopSearch();
            else if (form.isWindow())
                form.close();
        };
    }
    QWidget* boxParent = m_dialog ? static_cast<QWidget*>(m_dialog.get()) : &form;
    m_search = std::make_unique<TFindTxtHtml>(context, script.findtxt, boxParent, std::move(services));
    if (m_dialog) {
        m_dialog->setSearch(m_search.get());
        m_search->setBoxesShown(false);
        // The panel's scope switches and the window's "Стр." and "Все" are one setting.
        m_search->setAllPagesThroughIndex(true);
        QObject::connect(m_search.get(), &TFindTxtHtml::scopeChanged, m_search.get(), [this] { showScope(); });
    }
    form.components().search = m_search.get();
}

void SearchComponents::showScope()
{
    // The window's switch group has the shown page and all pages; the panel adds the contents
    // tree, which is neither: both of the window's switches are off then.
    const QString limit = QStringLiteral("findtxtlimit");
    const QString all = QStringLiteral("findtxtall");
    if (m_search->treeMode()) {
        m_dialog->showSwitchOn(QStringLiteral("findtxtcontents"));
        m_form.showGroupSwitch(limit, false);
        m_form.showGroupSwitch(all, false);
        return;
    }
    const QString scope = m_search->indexMode() || m_search->allPages() ? all : limit;
    m_dialog->showSwitchOn(scope);
    m_form.showGroupSwitch(scope, true);
}

void SearchComponents::keepPanelClearOf(const QString& text, bool matchCase, int matches, int active)
{
    HtmlPanesHooks* panes = m_form.components().panes;
    if (!panes || !m_dialog || !m_dialog->isVisible())
        return;
    QPointer<TCoolDialog> dialog = m_dialog.get();
    panes->revealMatch(text, matchCase, active, matches, dialog->frameGeometry(), [dialog](QRect hit) {
        // A page too short to scroll the match out from under the panel: the panel moves instead,
        // under the match when the screen has room there, else over it.
        if (!dialog || !dialog->isVisible() || hit.isEmpty() || !hit.intersects(dialog->frameGeometry()))
            return;
        constexpr int kGap = 8;
        const QScreen* screen = dialog->screen();
        const QRect room = screen ? screen->availableGeometry() : QRect();
        QRect moved = dialog->frameGeometry();
        moved.moveTop(hit.bottom() + 1 + kGap);
        if (room.isValid() && moved.bottom() > room.bottom())
            moved.moveBottom(hit.top() - 1 - kGap);
        dialog->move(moved.topLeft());
    });
}

SearchComponents::~SearchComponents()
{
    ComponentHooks& hooks = m_form.components();
    if (hooks.dialogs == this)
        hooks.dialogs = nullptr;
    if (hooks.search == m_search.get())
        hooks.search = nullptr;
    if (m_dialog)
        m_dialog->setSearch(nullptr);
    m_search.reset();
    m_dialog.reset();
}

bool SearchComponents::dialogVisible() const
{
    return m_dialog && m_dialog->isVisible();
}

void SearchComponents::closeDialog()
{
    if (m_dialog)
        m_dialog->closeDialog();
}

void SearchComponents::showFindPage()
{
    if (m_dialog && !m_dialog->ShowDialogPage(TCoolDialog::kFindPage, QString()))
        m_components.texts().showStatus(QStringLiteral(u"Окно поиска не открылось"));
}

void SearchComponents::ShowMessage(const QString& text)
{
    if (!m_dialog || !m_dialog->ShowDialogPage(TCoolDialog::kMessagePage, text))
        m_components.texts().showStatus(text);
}

void SearchComponents::showOptions()
{
    // The skinned dialog has no options page: the options dialog of the window answers.
    m_components.dialogs().showOptions();
}
