#include "appdialogs.h"

#include "appcontext.h"
#include "applog.h"
#include "mediacontroller.h"
#include "skinscript.h"
#include "tformoptions.h"
#include "tslideimage.h"

AppDialogs::AppDialogs(QWidget* window, AppContext& context, const SkinScript& script, MediaController& media,
                       ComponentHooks& hooks)
    : m_window(window), m_context(context), m_script(script), m_media(media), m_hooks(hooks)
{
    hooks.dialogs = this;
}

TFormOptions& AppDialogs::options()
{
    if (m_options)
        return *m_options;
    OptionsSetup setup;
    setup.hasImageAreas = !m_script.image.isEmpty();
    setup.startClipNamed = m_script.hasStartClip();
    setup.clickSoundsNamed = m_script.hasClickSounds();
    setup.setSlideShowRunning = [this](bool on) {
        if (TSlideImage* slides = m_media.slideShow())
            slides->setRunning(on);
    };
    setup.setSlideShowPeriod = [this](int seconds) {
        if (TSlideImage* slides = m_media.slideShow())
            slides->setPeriod(seconds);
    };
    setup.fontDialog = [this] {
        if (m_hooks.panes) {
            m_hooks.panes->chooseFont();
            return;
        }
        qCDebug(lcApp) << "no font dialog: the skin has no HTML pane";
        if (m_hooks.misc)
            m_hooks.misc->showStatus(QStringLiteral(u"Выбор шрифта недоступен"));
    };
    m_options = std::make_unique<TFormOptions>(m_window, m_context.userSettings, m_context.settings, setup);
    return *m_options;
}

AppDialogs::~AppDialogs()
{
    if (m_hooks.dialogs == this)
        m_hooks.dialogs = nullptr;
}

bool AppDialogs::dialogVisible() const
{
    return false;
}

void AppDialogs::closeDialog() {}

void AppDialogs::showFindPage()
{
    qCDebug(lcApp) << "showFindPage: no skinned dialog in this build";
}

void AppDialogs::ShowMessage(const QString& text)
{
    if (m_hooks.misc)
        m_hooks.misc->showStatus(text);
    else
        qCDebug(lcApp) << "message not shown:" << text;
}

void AppDialogs::showOptions()
{
    options().showOptions();
}
