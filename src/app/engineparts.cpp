#include "engineparts.h"

#include "appcontext.h"
#include "contentscheme.h"
#include "htmlframe.h"
#include "linkhandler.h"
#include "plainwindow.h"

#include <QWebEngineProfile>

namespace {

class Parts final : public EngineParts
{
public:
    Parts() { registerContentScheme(); }

    std::unique_ptr<HtmlPanesHooks> createPanes(QWidget* window, QWidget* panel, AppContext& context,
                                                const TDynamicHtmlArray& elements, PaneCallbacks callbacks,
                                                LinkServices links) override
    {
        fillDesktopLinkServices(links, window, context);
        // One profile for the program, made with the first view: making it starts the engine.
        auto profile = [window, &context, made = static_cast<QWebEngineProfile*>(nullptr)]() mutable {
            if (!made)
                made = makeContentProfile(context.pack, window);
            return made;
        };
        return std::make_unique<THtmlFrame>(window, panel, context, elements, profile, std::move(callbacks),
                                            std::move(links));
    }

    std::unique_ptr<EngineWindow> createPlainWindow(const AppContext& context, const QString& file) override
    {
        return std::make_unique<TPlainWindow>(context, file);
    }
};

} // namespace

EngineParts* staticEngineParts()
{
    // The scheme is registered before the engine makes anything, when the parts are first asked for.
    static Parts parts;
    return &parts;
}
