#pragma once

// The remembered states of the skin's switches: a switch whose record says "store" keeps its
// state across runs, under a key of its screen and place (settingskeys.h). Kept here with the
// other user settings, so the window only says when.

class SettingsStore;
class SkinScript;

// Gives every stored switch its saved state (a missing or unreadable value keeps the script's)
// and clears every switch's hover state.
void restoreSwitchStates(SkinScript& script, const SettingsStore& store);

// Writes the state of every stored switch and syncs the store.
void saveSwitchStates(const SkinScript& script, SettingsStore& store);
