#include "mpvlibrary.h"

#include <QLibrary>

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
        static MpvLibrary api;
        const auto resolve = [](auto& function, const char* symbol) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(file.resolve(symbol));
            return function != nullptr;
        };
        const bool complete = resolve(api.create, "mpv_create") && resolve(api.initialize, "mpv_initialize") &&
                              resolve(api.terminateDestroy, "mpv_terminate_destroy") &&
                              resolve(api.setOptionString, "mpv_set_option_string") &&
                              resolve(api.setWakeupCallback, "mpv_set_wakeup_callback") &&
                              resolve(api.waitEvent, "mpv_wait_event") && resolve(api.commandRet, "mpv_command_ret") &&
                              resolve(api.freeNodeContents, "mpv_free_node_contents");
        return complete ? &api : nullptr;
    }();
    return library;
}
