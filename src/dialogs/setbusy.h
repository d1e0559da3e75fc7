#pragma once

// The busy state of the program: while it is set the skinned window ignores its commands, the
// search boxes swallow keys, and the pointer shows the wait cursor over the program's windows.

class AppContext;

// Sets or clears the busy state. Clearing lets the events that came meanwhile be handled first,
// then restores the pointer. Setting it twice, or clearing it when it is clear, changes nothing.
void SetBusy(AppContext& context, bool busy);
