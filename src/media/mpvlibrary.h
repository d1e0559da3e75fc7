#pragma once

// libmpv, loaded when the first player starts rather than with the program: the library and the
// codecs it pulls in are a large part of a start-up that needs no sound yet.

#include <mpv/client.h>
#include <mpv/render.h>

struct MpvLibrary
{
    decltype(&::mpv_create) create = nullptr;
    decltype(&::mpv_initialize) initialize = nullptr;
    decltype(&::mpv_terminate_destroy) terminateDestroy = nullptr;
    decltype(&::mpv_set_option_string) setOptionString = nullptr;
    decltype(&::mpv_set_wakeup_callback) setWakeupCallback = nullptr;
    decltype(&::mpv_wait_event) waitEvent = nullptr;
    decltype(&::mpv_command_ret) commandRet = nullptr;
    decltype(&::mpv_free_node_contents) freeNodeContents = nullptr;
    // The players of clips and music also read and set properties and draw video themselves.
    decltype(&::mpv_get_property) getProperty = nullptr;
    decltype(&::mpv_set_property) setProperty = nullptr;
    decltype(&::mpv_set_property_string) setPropertyString = nullptr;
    decltype(&::mpv_observe_property) observeProperty = nullptr;
    decltype(&::mpv_render_context_create) renderCreate = nullptr;
    decltype(&::mpv_render_context_set_update_callback) renderSetUpdateCallback = nullptr;
    decltype(&::mpv_render_context_update) renderUpdate = nullptr;
    decltype(&::mpv_render_context_render) renderRender = nullptr;
    decltype(&::mpv_render_context_free) renderFree = nullptr;

    // The loaded library, or nullptr when libmpv cannot be found (there is then no sound).
    static const MpvLibrary* get();
    // Whether get() has loaded the library in this process (for start-up checks).
    static bool isLoaded();

    // A player handle, not yet initialised, that reads no configuration, prints nothing, loads
    // none of the player's scripts and binds no keys, idles without a file, and plays to the
    // audio output VELBROOK_AUDIO_OUTPUT names (the system's default without it). nullptr when
    // the handle cannot be made.
    mpv_handle* createQuietPlayer() const;
    // Hands every event waiting on the player to handle, without blocking.
    template <typename Handle> void drainEvents(mpv_handle* mpv, Handle handle) const
    {
        for (;;) {
            const mpv_event* event = waitEvent(mpv, 0);
            if (event->event_id == MPV_EVENT_NONE)
                return;
            handle(*event);
        }
    }
};
