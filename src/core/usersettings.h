#pragma once

// The user's settings that the whole program reads: loaded once at start-up from the title's
// settings, changed in memory by a few commands and by the options dialog.

class SettingsStore;

struct UserSettings
{
    bool clip = true;      // start clip shown at start-up
    bool wav = true;       // click sounds
    bool bgSound = true;   // background music
    bool animation = true; // switched off for the run once start-up completes
    bool hint = true;      // hints of the dialog and the about window
    int sizeInterface = 0; // never read back: each run starts with 0
    bool runSlideShow = false;
    int slideShowTime = 5; // seconds
    int imageSequence = 0; // 0 forward, 1 backward, other values random

    // Reads the settings; a value that is missing or of the wrong type takes its default, which
    // is written back. The slide show values are read only when the skin has picture areas.
    static UserSettings Load(SettingsStore& store, bool hasImageAreas);
};
