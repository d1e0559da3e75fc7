#include "popupwiring.h"

#include "appcontext.h"
#include "applog.h"
#include "controlpopupwindow.h"
#include "mainform.h"
#include "skinscript.h"

#include <algorithm>

std::unique_ptr<TControlPopupWindow> makePopups(TMainForm& form, AppContext& context, const SkinScript& script)
{
    const bool declared = std::any_of(script.screens.cbegin(), script.screens.cend(),
                                      [](const SkinScreen& screen) { return !screen.popups.isEmpty(); });
    if (!declared)
        return nullptr;
    PopupServices services;
    services.currentScreen = [&form] { return form.currentScreen(); };
    services.mapToGlobal = [&form](QPoint point) { return form.mapToGlobal(point); };
    services.runCommand = [&form](const QString& command) { form.RunCommand(command, QString(), true); };
    services.panes = [&form] { return form.components().panes; };
    services.trees = [&form] { return form.components().trees; };
    services.chooseFont = [&form] {
        if (HtmlPanesHooks* panes = form.components().panes)
            panes->chooseFont();
        else
            qCDebug(lcApp) << "no font dialog: the skin has no HTML pane";
    };
    services.showStatus = [&form](const QString& text) {
        if (MiscHooks* misc = form.components().misc)
            misc->showStatus(text);
    };
    services.readResource = [&context](const QString& name) { return context.container.Read(name); };
    return std::make_unique<TControlPopupWindow>(script, context.settings, context.folders(), std::move(services));
}
