#include "usersettings.h"

#include "settingskeys.h"
#include "settingsstore.h"

UserSettings UserSettings::Load(SettingsStore& store, bool hasImageAreas)
{
    UserSettings s;
    s.clip = store.readBoolOrDefault(SettingsKeys::Clip, true);
    s.wav = store.readBoolOrDefault(SettingsKeys::Wav, true);
    s.bgSound = store.readBoolOrDefault(SettingsKeys::BGSound, true);
    s.animation = store.readBoolOrDefault(SettingsKeys::Animation, true);
    s.hint = store.readBoolOrDefault(SettingsKeys::Hint, true);
    if (hasImageAreas) {
        s.runSlideShow = store.readBoolOrDefault(SettingsKeys::RunSlideShow, false);
        s.slideShowTime = store.readIntOrDefault(SettingsKeys::SlideShowTime, 5);
        s.imageSequence = store.readIntOrDefault(SettingsKeys::ImageSequence, 0);
    }
    return s;
}
