#pragma once

// The popup lists of the skinned window: built for every screen from the skin's popup elements,
// opened at a point, and the command of a pressed item carried out: a history entry, a favorite
// page, a page in the current pane, a pane operation, or any other command through the window's
// own dispatcher.

#include "componenthooks.h"
#include "scriptpaths.h"

#include <QHash>
#include <QImage>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class SettingsStore;
class SkinScript;
class THtmlFavorite;
class TPopupWindow;

// What the popups need of the window around them; any of them may be left empty.
struct PopupServices
{
    // The screen shown (0 is the start screen, where popups take their outlines).
    std::function<int()> currentScreen;
    // A point of the main window's client area in screen coordinates.
    std::function<QPoint(QPoint)> mapToGlobal;
    // Runs a command as if an element of the window had issued it, without the click sound.
    std::function<void(const QString&)> runCommand;
    // The panes and trees of the window, when it has them.
    std::function<HtmlPanesHooks*()> panes;
    std::function<TreesHooks*()> trees;
    // A resource of the skin's container by name, or nothing.
    std::function<std::optional<QByteArray>(const QString&)> readResource;
    // The pane's font dialog, when the build has one.
    std::function<void()> chooseFont;
    // Tells the reader what an action did, in the status line or a message.
    std::function<void(const QString&)> showStatus;
    // The desktop area popups keep within, for a point; the screen's available area by default.
    std::function<QRect(QPoint)> desktop;
};

class TControlPopupWindow final : public QObject, public PopupsHooks
{
    Q_OBJECT
public:
    static constexpr int kDeleteFavorites = -4; // opens the favorites in delete mode

    TControlPopupWindow(const SkinScript& script, SettingsStore& settings, ProgramFolders folders,
                        PopupServices services);
    ~TControlPopupWindow() override;

    // PopupsHooks
    bool hideAll() override { return CloseAllPopups(); }
    void open(int type, QPoint screenPosition) override { OpenPopup(type, screenPosition); }
    void BuildPopups() override;
    void fillHistoryLists(const QStringList& titles, int index) override;
    void AddFavorite() override;

    void OpenPopup(int number, QPoint point);
    bool CloseAllPopups();
    void SetItemCount(int number, int count);
    void AddItem(int number, const QString& caption, const QString& command);
    void SetItem(int number, int index, const QString& caption, const QString& command);
    void ShowItem(int number, int index, bool visible);

    // The popup of that number on the current screen, nullptr for none. The popups of a screen
    // are made when first asked for, not with the screen: most screens show without a popup
    // ever opening, and a start does not wait for their pictures and fonts.
    TPopupWindow* popup(int number);
    // The favorites of the current screen, nullptr when it has no favorites popup.
    THtmlFavorite* favorites();

    // Carries out an item's command once its popup has closed.
    void runItemCommand(const QString& command);

private:
    void buildNow();
    void itemPressed(TPopupWindow* popup, int index);
    QImage picture(const QString& name);
    HtmlPanesHooks* panes() const { return m_services.panes ? m_services.panes() : nullptr; }
    TreesHooks* trees() const { return m_services.trees ? m_services.trees() : nullptr; }
    int currentScreen() const { return m_services.currentScreen ? m_services.currentScreen() : 0; }
    void syncTree(const QString& name);

    const SkinScript& m_script;
    SettingsStore& m_settings;
    ProgramFolders m_folders;
    PopupServices m_services;
    std::vector<std::unique_ptr<TPopupWindow>> m_popups;
    bool m_stale = true;               // the screen's popups are to be made on first use
    QHash<QString, QImage> m_pictures; // of the screen built, by lower-cased name
};
