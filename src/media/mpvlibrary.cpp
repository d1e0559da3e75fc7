#include "mpvlibrary.h"

#include <QByteArray>
#include <QLibrary>

#include <atomic>
#include <utility>

namespace {

std::atomic<bool> loaded{false};

} // namespace

const MpvLibrary* MpvLibrary::get()
{
    static const MpvLibrary* const library = []() -> const MpvLibrary* {
        static QLibrary file;
        for (const char* name : {"mpv", "libmpv"}) {
            file.setFileNameAndVersion(QLatin1String(name), 2);
            if (file.load())
                break;
            file.setFileNameAndVersion(QLatin1String(name), QString());
            if (file.load())
                break;
        }
        if (!file.isLoaded())
            return nullptr;
        loaded = true;
        static MpvLibrary api;
        const auto resolve = [](auto& function, const char* symbol) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(file.resolve(symbol));
            return function != nullptr;
        };
        const bool complete =
            resolve(api.create, "mpv_create") && resolve(api.initialize, "mpv_initialize") &&
            resolve(api.terminateDestroy, "mpv_terminate_destroy") &&
            resolve(api.setOptionString, "mpv_set_option_string") &&
            resolve(api.setWakeupCallback, "mpv_set_wakeup_callback") && resolve(api.waitEvent, "mpv_wait_event") &&
            resolve(api.commandRet, "mpv_command_ret") && resolve(api.freeNodeContents, "mpv_free_node_contents") &&
            resolve(api.getProperty, "mpv_get_property") && resolve(api.setProperty, "mpv_set_property") &&
            resolve(api.setPropertyString, "mpv_set_property_string") &&
            resolve(api.observeProperty, "mpv_observe_property") &&
            resolve(api.renderCreate, "mpv_render_context_create") &&
            resolve(api.renderSetUpdateCallback, "mpv_render_context_set_update_callback") &&
            resolve(api.renderUpdate, "mpv_render_context_update") &&
            resolve(api.renderRender, "mpv_render_context_render") &&
            resolve(api.renderFree, "mpv_render_context_free");
        return complete ? &api : nullptr;
    }();
    return library;
}

bool MpvLibrary::isLoaded()
{
    return loaded;
}

mpv_handle* MpvLibrary::createQuietPlayer() const
{
    mpv_handle* mpv = create();
    if (!mpv)
        return nullptr;
    for (const auto& [name, value] : {std::pair{"config", "no"},
                                      {"terminal", "no"},
                                      {"msg-level", "all=no"},
                                      {"load-scripts", "no"},
                                      // Nor the player's built-in scripts: each is a thread and a
                                      // Lua state nothing here uses.
                                      {"load-stats-overlay", "no"},
                                      {"load-osd-console", "no"},
                                      {"load-auto-profiles", "no"},
                                      {"ytdl", "no"},
                                      {"osc", "no"},
                                      {"input-default-bindings", "no"},
                                      {"audio-display", "no"},
                                      {"idle", "yes"},
                                      {"resume-playback", "no"}})
        setOptionString(mpv, name, value);
    const QByteArray output = qgetenv("VELBROOK_AUDIO_OUTPUT");
    if (!output.isEmpty())
        setOptionString(mpv, "ao", output.constData());
    return mpv;
}
