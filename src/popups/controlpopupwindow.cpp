#include "controlpopupwindow.h"
#include "picturebytes.h"

#include "historylists.h"
#include "htmlfavorite.h"
#include "popupslog.h"
#include "popupwindow.h"
#include "skinscript.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <QScreen>

namespace {

// A popup's pictures are small; anything larger than this is no popup picture and is not decoded.
constexpr int kMaxPictureSide = 4096;

QImage decodePicture(const QByteArray& bytes, const QString& name)
{
    QByteArray data = bytes; // shared, not copied
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    nameReaderFormat(reader, bytes);
    const QSize declared = reader.size();
    if (declared.isValid() && (declared.width() > kMaxPictureSide || declared.height() > kMaxPictureSide)) {
        qCDebug(lcPopups) << "popup picture" << name << "is too large to be one:" << declared;
        return {};
    }
    const QImage image = reader.read();
    if (image.isNull() || image.width() > kMaxPictureSide || image.height() > kMaxPictureSide) {
        qCDebug(lcPopups) << "popup picture" << name << "is no picture:" << reader.errorString();
        return {};
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

QRect desktopAt(QPoint point)
{
    QScreen* screen = QGuiApplication::screenAt(point);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace

TControlPopupWindow::TControlPopupWindow(const SkinScript& script, SettingsStore& settings, ProgramFolders folders,
                                         PopupServices services)
    : m_script(script), m_settings(settings), m_folders(std::move(folders)), m_services(std::move(services))
{
    // The screen shown at creation has its popups like every later screen, once they are asked for.
    BuildPopups();
}

TControlPopupWindow::~TControlPopupWindow()
{
    // The favorites are written as their popup goes.
    m_popups.clear();
}

void TControlPopupWindow::BuildPopups()
{
    m_popups.clear();
    m_pictures.clear();
    m_stale = true;
}

void TControlPopupWindow::buildNow()
{
    m_stale = false;
    const int screen = currentScreen();
    if (screen < 0 || screen >= m_script.screens.size())
        return;
    const QList<RPopupData>& elements = m_script.screens[screen].popups;
    for (qsizetype i = 0; i < elements.size(); ++i) {
        const RPopupData& data = elements[i];
        auto window =
            std::make_unique<TPopupWindow>(data, int(i), [this](const QString& name) { return picture(name); });
        TPopupWindow* raw = window.get();
        connect(raw, &TPopupWindow::itemPressed, this, [this, raw](int index) { itemPressed(raw, index); });
        switch (data.type) {
        case PopupHistoryBack:
        case PopupHistoryForward:
            raw->SetItemCount(kHistorySlots);
            break;
        case PopupFavorite:
            raw->setFavorites(std::make_unique<THtmlFavorite>(m_settings, raw));
            break;
        default:
            raw->AddItems(data.caption, data.go);
            break;
        }
        m_popups.push_back(std::move(window));
    }
}

TPopupWindow* TControlPopupWindow::popup(int number)
{
    if (m_stale)
        buildNow();
    for (const auto& window : m_popups) {
        if (window->type() == number)
            return window.get();
    }
    return nullptr;
}

THtmlFavorite* TControlPopupWindow::favorites()
{
    const TPopupWindow* window = popup(PopupFavorite);
    return window ? window->favorites() : nullptr;
}

void TControlPopupWindow::SetItemCount(int number, int count)
{
    if (TPopupWindow* window = popup(number))
        window->SetItemCount(count);
}

void TControlPopupWindow::AddItem(int number, const QString& caption, const QString& command)
{
    if (TPopupWindow* window = popup(number))
        window->AddItem(caption, command);
}

void TControlPopupWindow::SetItem(int number, int index, const QString& caption, const QString& command)
{
    if (TPopupWindow* window = popup(number))
        window->SetItem(index, caption, command);
}

void TControlPopupWindow::ShowItem(int number, int index, bool visible)
{
    if (TPopupWindow* window = popup(number))
        window->ShowItem(index, visible);
}

void TControlPopupWindow::fillHistoryLists(const QStringList& titles, int index)
{
    if (m_stale)
        return; // filled when the lists are first opened
    const auto fill = [this](int number, const HistorySlots& slots) {
        for (int i = 0; i < kHistorySlots; ++i) {
            if (slots[i]) {
                SetItem(number, i, slots[i]->caption, slots[i]->command);
                ShowItem(number, i, true);
            } else {
                ShowItem(number, i, false);
            }
        }
    };
    if (popup(PopupHistoryBack))
        fill(PopupHistoryBack, historyBackSlots(titles, index));
    if (popup(PopupHistoryForward))
        fill(PopupHistoryForward, historyForwardSlots(titles, index));
}

void TControlPopupWindow::OpenPopup(int number, QPoint point)
{
    const bool deleteMode = number == kDeleteFavorites;
    const int type = deleteMode ? int(PopupFavorite) : number;
    TPopupWindow* window = popup(type);
    if (!window) {
        qCDebug(lcPopups) << "no popup numbered" << number << "on screen" << currentScreen();
        return;
    }
    // The history lists follow the pane of the screen shown, whichever page it came to last.
    if (HtmlPanesHooks* p = panes(); p && (type == PopupHistoryBack || type == PopupHistoryForward))
        fillHistoryLists(p->historyTitles(), p->historyIndex());
    if (window->visibleItemCount() == 0 || window->size().isEmpty()) {
        qCDebug(lcPopups) << "popup" << number << "has nothing to show";
        return;
    }

    QPoint at = point;
    if (type == PopupHistoryBack)
        at.rx() -= window->width();
    const QPoint fixed = window->fixedPosition();
    if ((fixed.x() != -1 || fixed.y() != -1) && m_services.mapToGlobal) {
        const QPoint global = m_services.mapToGlobal(fixed);
        if (fixed.x() != -1)
            at.setX(global.x());
        if (fixed.y() != -1)
            at.setY(global.y());
    }
    const QRect desktop = m_services.desktop ? m_services.desktop(at) : desktopAt(at);
    if (desktop.isValid())
        at = keepOnDesktop(at, window->size(), desktop);

    window->setDeleteMode(deleteMode);
    // Outlines shape the popups of the start screen only.
    const QRegion shape =
        currentScreen() == 0 && window->shaped() ? popupOutlineRegion(window->outline(), window->size()) : QRegion();
    window->showAt(at, shape);
}

bool TControlPopupWindow::CloseAllPopups()
{
    bool wasOpen = false;
    for (const auto& window : m_popups) {
        wasOpen = wasOpen || window->isVisible();
        window->closePopup();
    }
    return wasOpen;
}

void TControlPopupWindow::itemPressed(TPopupWindow* window, int index)
{
    if (index < 0 || index >= window->itemCount())
        return;
    if (window->deleteMode()) {
        window->removeItem(index);
        if (THtmlFavorite* favorites = window->favorites())
            favorites->DeleteFavorite(index);
        if (window->itemCount() == 0)
            window->closePopup();
        return;
    }
    const QString command = window->item(index).command;
    const bool favorite = window->type() == PopupFavorite;
    CloseAllPopups();
    // A favorite only ever opens a page: a stored value that holds some other command is not run.
    if (favorite && !parseFavoriteJump(command)) {
        qCDebug(lcPopups) << "a favorite that opens no page is not run:" << command;
        return;
    }
    // The command runs once the press is over: it may change the screen, which builds the popups
    // again, this one among them.
    QMetaObject::invokeMethod(
        this, [this, command] { runItemCommand(command); }, Qt::QueuedConnection);
}

void TControlPopupWindow::syncTree(const QString& name)
{
    if (TreesHooks* t = trees())
        t->SyncTreeWithPage(name);
}

void TControlPopupWindow::runItemCommand(const QString& command)
{
    const qsizetype equals = command.indexOf(QLatin1Char('='));
    const QString name = equals < 0 ? QString() : command.left(equals);
    HtmlPanesHooks* p = panes();
    const auto needPanes = [&] {
        if (!p)
            qCDebug(lcPopups) << "no pane for the popup command" << command;
        return p != nullptr;
    };

    if (name == QLatin1String("history")) {
        if (!needPanes())
            return;
        const QStringList files = p->historyFiles();
        const int index = historyCommandIndex(command, files.size());
        if (index < 0) {
            qCDebug(lcPopups) << "no history entry for" << command;
            return;
        }
        syncTree(files[index]);
        p->SetHistoryIndex(index);
    } else if (name == QLatin1String("html")) {
        if (!needPanes())
            return;
        p->ShowPage(CommandArg(command, m_folders));
        syncTree(QString());
    } else if (name == QLatin1String("htmlpos")) {
        const std::optional<FavoriteJump> jump = parseFavoriteJump(command);
        if (!jump) {
            qCDebug(lcPopups) << "a favorite that names no page:" << command;
            return;
        }
        if (!needPanes())
            return;
        syncTree(jump->file);
        p->ShowPage(jump->file);
        p->setScrollPosition(jump->position);
    } else if (command == QLatin1String("copyclipboardhtml")) {
        if (needPanes())
            p->copySelection();
    } else if (command == QLatin1String("addtofavorite")) {
        AddFavorite();
    } else if (command == QLatin1String("deffonthtml")) {
        if (m_services.chooseFont)
            m_services.chooseFont();
        else
            qCDebug(lcPopups) << "no font dialog in this build:" << command;
    } else if (command == QLatin1String("selectallhtml")) {
        if (needPanes())
            p->selectAll();
    } else if (command == QLatin1String("printhtml")) {
        if (needPanes())
            p->printCurrentPage();
    } else if (m_services.runCommand) {
        m_services.runCommand(command);
    } else {
        qCDebug(lcPopups) << "no window to run the popup command" << command;
    }
}

void TControlPopupWindow::AddFavorite()
{
    HtmlPanesHooks* p = panes();
    const QString file = p ? p->currentFile() : QString();
    // Without a page there is nothing to come back to.
    if (file.isEmpty()) {
        qCDebug(lcPopups) << "addtofavorite: no page shown";
        return;
    }
    const QStringList titles = p->historyTitles();
    const int index = p->historyIndex();
    const QString caption = index >= 0 && index < titles.size() ? titles[index] : p->currentTitle();
    const QString command = favoriteCommand(file, p->scrollPosition());
    if (THtmlFavorite* list = favorites()) {
        list->AddFavorite(caption, command);
        return;
    }
    // A screen without the favorites list (a page menu of another screen) adds to the favorites
    // kept in the settings, which the list shows where it is; the reader cannot see it here, so
    // is told.
    THtmlFavorite stored(m_settings, nullptr);
    const bool added = stored.AddFavorite(caption, command);
    qCDebug(lcPopups) << "addtofavorite: no favorites list on screen" << currentScreen() << "- kept in the settings";
    if (m_services.showStatus)
        m_services.showStatus(added ? QStringLiteral(u"Страница добавлена в закладки")
                                    : QStringLiteral(u"Эта страница уже есть в закладках"));
}

QImage TControlPopupWindow::picture(const QString& name)
{
    // Lists of item pictures name them as paths; the container holds them by file name.
    const QString file = QString(name).replace(QLatin1Char('\\'), QLatin1Char('/')).section(QLatin1Char('/'), -1);
    if (file.isEmpty())
        return {};
    const QString key = file.toLower();
    if (const auto found = m_pictures.constFind(key); found != m_pictures.cend())
        return *found;
    QImage image;
    const std::optional<QByteArray> bytes = m_services.readResource ? m_services.readResource(file) : std::nullopt;
    if (!bytes)
        qCDebug(lcPopups) << "popup picture missing:" << file;
    else
        image = decodePicture(*bytes, file);
    m_pictures.insert(key, image);
    return image;
}
