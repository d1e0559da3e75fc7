#include "switchstates.h"

#include "settingskeys.h"
#include "settingsstore.h"
#include "skinscript.h"

void restoreSwitchStates(SkinScript& script, const SettingsStore& store)
{
    for (int screen = 0; screen < script.screens.size(); ++screen) {
        SkinScreen& s = script.screens[screen];
        for (int i = 0; i < s.switchone.size(); ++i) {
            s.switchone[i].hover = false;
            if (s.switchone[i].store)
                s.switchone[i].state =
                    store.readBool(SettingsKeys::singleSwitch(screen, i)).value_or(s.switchone[i].state);
        }
        for (int i = 0; i < s.switchgrp.size(); ++i) {
            s.switchgrp[i].hover = false;
            if (s.switchgrp[i].store)
                s.switchgrp[i].state =
                    store.readBool(SettingsKeys::groupSwitch(screen, i)).value_or(s.switchgrp[i].state);
        }
    }
}

void saveSwitchStates(const SkinScript& script, SettingsStore& store)
{
    for (int screen = 0; screen < script.screens.size(); ++screen) {
        const SkinScreen& s = script.screens[screen];
        for (int i = 0; i < s.switchone.size(); ++i) {
            if (s.switchone[i].store)
                store.writeBool(SettingsKeys::singleSwitch(screen, i), s.switchone[i].state);
        }
        for (int i = 0; i < s.switchgrp.size(); ++i) {
            if (s.switchgrp[i].store)
                store.writeBool(SettingsKeys::groupSwitch(screen, i), s.switchgrp[i].state);
        }
    }
    store.sync();
}
