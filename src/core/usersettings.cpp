#include "usersettings.h"

#include "settingsstore.h"

UserSettings UserSettings::Load(SettingsStore& store, bool hasImageAreas)
{
    UserSettings s;
    s.clip = store.readBoolOrDefault(QStringLiteral("Clip"), true);
    s.wav = store.readBoolOrDefault(QStringLiteral("Wav"), true);
    s.bgSound = store.readBoolOrDefault(QStringLiteral("BGSound"), true);
    s.animation = store.readBoolOrDefault(QStringLiteral("Animation"), true);
    s.hint = store.readBoolOrDefault(QStringLiteral("Hint"), true);
    if (hasImageAreas) {
        s.runSlideShow = store.readBoolOrDefault(QStringLiteral("RunSlideShow"), false);
        s.slideShowTime = store.readIntOrDefault(QStringLiteral("SlideShowTime"), 5);
        s.imageSequence = store.readIntOrDefault(QStringLiteral("ImageSequence"), 0);
    }
    return s;
}
