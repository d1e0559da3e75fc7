// RunCommand: every action of the skinned window is a command string. The click sound plays
// first; then the first rule that matches the command decides what happens.

#include "mainform.h"

#include "appcontext.h"
#include "clicksound.h"
#include "commandmatch.h"
#include "hotarea.h"
#include "runtarget.h"
#include "settingskeys.h"
#include "settingsstore.h"
#include "shortcuts.h"
#include "skinlog.h"

#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

void TMainForm::RunCommand(const QString& command, const QString& sound, bool silent, CommandSource source,
                           int sourceIndex)
{
    if (m_context.busy) {
        qCDebug(lcSkin) << "command dropped while busy:" << command;
        return;
    }
    const ComponentHooks& c = m_components;
    ScreenElement* button = source == CommandSource::Button ? element(ElementKind::Button, sourceIndex) : nullptr;
    const bool fromButton = button && sourceIndex < screenRecord().buttons.size();

    const CommandMatch match = matchCommand(command);
    if (match.kind == CommandKind::Exit) {
        if (c.media && c.media->videoExists() && c.media->videoActive() && !c.media->videoHalted())
            c.media->freezeVideo();
        if (source == CommandSource::Button)
            m_exitButton = sourceIndex;
        close(); // the window captioned with the title is this one: the closing effect starts
        return;
    }

    if (!silent && !sound.isEmpty() && sound != QLatin1String("no") && m_context.userSettings.wav)
        clickSound().play(m_context.disk.resolve(m_context.values.programDir + sound));

    const ProgramFolders folders = m_context.folders();
    const auto buttonCorner = [&](bool right) {
        const RBtn& b = screenRecord().buttons[sourceIndex];
        return mapToGlobal(QPoint(right ? b.right : b.vx, b.bottom));
    };

    using K = CommandKind;
    switch (match.kind) {
    case K::Exit:
        break;
    case K::Screen: {
        // The first time in a run, the reading screen asked for with its start page opens where the
        // reader left it in the last run: the tree then has no page of its own to open.
        const QString page = CommandArg(command, folders);
        const bool resumes = c.panes && c.panes->resumesLastPage(match.number, page);
        if (c.trees)
            c.trees->setPendingPage(resumes ? QString() : page);
        changeScreen(match.number, source, sourceIndex);
        break;
    }
    case K::VideoOff:
        if (c.media && c.media->videoExists())
            c.media->setVideoActive(false);
        break;
    case K::VideoOn:
        if (c.media)
            c.media->setVideoActive(true);
        break;
    case K::Run:
        runTarget(command);
        break;
    case K::About:
        if (c.misc)
            c.misc->showAbout();
        break;
    case K::Minimize:
        showMinimized();
        if (fromButton) {
            button->hover = false;
            button->pressed = false;
        }
        break;
    case K::Tree1:
        if (c.trees)
            c.trees->chooseTree(2);
        break;
    case K::Tree2:
        if (c.trees)
            c.trees->chooseTree(1);
        break;
    case K::OnTree:
        if (c.trees)
            c.trees->showTrees();
        break;
    case K::OffTree:
        if (c.trees)
            c.trees->hideTrees();
        break;
    case K::HistoryBack:
        if (fromButton && c.popups)
            c.popups->open(-1, buttonCorner(true));
        break;
    case K::HistoryForward:
        if (fromButton && c.popups)
            c.popups->open(-2, buttonCorner(false));
        break;
    case K::ShowFavorite:
        if (fromButton && c.popups)
            c.popups->open(-3, buttonCorner(false));
        break;
    case K::AddToFavorite:
        if (c.popups)
            c.popups->AddFavorite();
        break;
    case K::DeleteFromFavorite:
        if (fromButton && c.popups)
            c.popups->open(-4, buttonCorner(false));
        break;
    case K::Thesaurus:
        if (c.misc)
            c.misc->thesaurus();
        break;
    case K::ContextMenu:
        if (fromButton && c.popups)
            c.popups->open(match.number, QCursor::pos());
        break;
    case K::Back:
    case K::Forward:
        if (c.history) {
            if (match.kind == K::Back)
                c.history->GoBackPage();
            else
                c.history->GoForwardPage();
        }
        if (c.trees)
            c.trees->SyncTreeWithPage(QStringLiteral("fromhistory"));
        break;
    case K::Html: {
        const QString page = CommandArg(command, folders);
        if (c.history)
            c.history->AddSection(page);
        if (c.panes)
            c.panes->ShowHtmlElement(match.number, page);
        break;
    }
    case K::CopyHtml:
        if (c.panes)
            c.panes->CopyPageFiles();
        break;
    case K::PrintHtml:
        if (c.panes)
            c.panes->printCurrentPage();
        break;
    case K::TopHtml:
        if (c.panes)
            c.panes->ScrollToTop();
        break;
    case K::NextChapter:
        if (c.trees)
            c.trees->NextChapter();
        break;
    case K::PrevChapter:
        if (c.trees)
            c.trees->PrevChapter();
        break;
    case K::FindNext:
        if (m_context.thesaurusMode()) {
            if (c.search)
                c.search->FindNext(match.number);
        } else if (c.dialogs) {
            c.dialogs->showFindPage();
        }
        break;
    case K::FindTextAll:
    case K::FindTextLimit:
        if (c.search)
            c.search->SetAllPages(match.kind == K::FindTextAll);
        break;
    case K::CaseOn:
    case K::CaseOff:
        if (c.search)
            c.search->setMatchCase(match.kind == K::CaseOn);
        break;
    case K::BackgroundSound:
        if (source == CommandSource::Button) {
            UserSettings& settings = m_context.userSettings;
            settings.bgSound = !settings.bgSound;
            if (c.media) {
                if (settings.bgSound)
                    c.media->StartMusic();
                else
                    c.media->StopMusic();
            }
            m_context.settings.writeBool(SettingsKeys::BGSound, settings.bgSound);
            musicChanged();
        }
        break;
    case K::StandardWindow:
        StartStandardWindow();
        break;
    case K::Options:
        if (c.dialogs)
            c.dialogs->showOptions();
        break;
    case K::Help:
        showHelpTopic(helpTopicForScreen(m_screen));
        break;
    case K::Unarc:
        if (c.panes && c.panes->archiveMode()) {
            if (c.misc)
                c.misc->ExtractArchive();
        } else if (c.dialogs) {
            c.dialogs->ShowMessage(QStringLiteral(u"Выберите файл для распаковки."));
        } else if (c.misc) {
            c.misc->showStatus(QStringLiteral(u"Выберите файл для распаковки."));
        }
        break;
    case K::Play:
        if (c.media)
            c.media->PlayClip(QString(), QString(), 0);
        break;
    case K::Stop:
    case K::Pause:
    case K::StepForward:
    case K::StepBack:
        if (c.media)
            c.media->clipCommand(command);
        break;
    case K::Clip:
        if (c.media)
            c.media->PlayClip(CommandArg(command, folders), CommandTarget(command, folders), 4);
        break;
    case K::NextPicture:
        if (c.media)
            c.media->NextPicture();
        break;
    case K::PrevPicture:
        if (c.media)
            c.media->PrevPicture();
        break;
    case K::InstallFonts:
        if (c.misc)
            c.misc->InstallFonts();
        break;
    case K::ScreenNumber:
        if (match.number >= 0 && match.number < m_script.screens.size() &&
            !m_script.screens[match.number].background.isEmpty()) {
            if (c.search && c.dialogs && c.dialogs->dialogVisible()) {
                c.search->stop();
                c.dialogs->closeDialog();
            }
            // A screen asked for by its number alone opens no page: the page a screen command gave
            // the tree earlier must not come again over the one the reader has moved on to.
            if (c.trees)
                c.trees->setPendingPage(QString());
            changeScreen(match.number, source, sourceIndex);
        }
        break;
    }
}

void TMainForm::runTarget(const QString& command)
{
    const auto report = [this](const QString& text) {
        qCDebug(lcSkin) << "run:" << text;
        if (m_components.misc)
            m_components.misc->showStatus(text);
    };
    const qsizetype equals = command.indexOf(QLatin1Char('='));
    const QString value = equals < 0 ? QString() : command.mid(equals + 1).trimmed();
    if (value.isEmpty() || value.startsWith(QLatin1Char('='))) {
        qCDebug(lcSkin) << "run: the command names no file:" << command;
        return;
    }
    if (isWebAddress(value)) {
        const QUrl url = QUrl::fromUserInput(value);
        if (!m_services.openUrl(url))
            report(QStringLiteral(u"Не удалось открыть адрес %1").arg(value));
        return;
    }
    const ProgramFolders folders = m_context.folders();
    const QString file = m_context.disk.resolve(CommandArg(command, folders));
    const QString name = QFileInfo(file).fileName();
    if (file.isEmpty() || !QFileInfo::exists(file)) {
        report(QStringLiteral(u"Файл не найден: %1").arg(name.isEmpty() ? value : name));
        return;
    }
    // The program starts in its own folder; the reader's current folder stays as it is.
    const QString folder = QFileInfo(file).absolutePath();
    const RunAction action = classifyRunTarget(file);
    if (action == RunAction::StartProgram || action == RunAction::StartShellScript) {
        QStringList parameters = QProcess::splitCommand(CommandTarget(command, folders));
        QString program = file;
        if (action == RunAction::StartShellScript) {
            parameters.prepend(file);
            program = QStringLiteral("/bin/sh");
        }
        if (!m_services.startProgram(program, parameters, folder))
            report(QStringLiteral(u"Не удалось запустить программу %1").arg(name));
        return;
    }
    if (!m_services.openUrl(QUrl::fromLocalFile(file)))
        report(QStringLiteral(u"Не удалось открыть файл %1").arg(name));
}
