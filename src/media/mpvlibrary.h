#pragma once

// libmpv, loaded when the first player starts rather than with the program: the library and the
// codecs it pulls in are a large part of a start-up that needs no sound yet.

#include <mpv/client.h>

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

    // The loaded library, or nullptr when libmpv cannot be found (there is then no sound).
    static const MpvLibrary* get();
};
