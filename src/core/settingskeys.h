#pragma once

// Every value the program keeps in a title's settings (SettingsStore), named once. The names
// are those the original wrote under SOFTWARE\Velbrook\<title>, so existing settings still read.

#include <QString>

namespace SettingsKeys {

// The user's options (UserSettings), read at start-up with their defaults written back.
inline const QString Clip = QStringLiteral("Clip");
inline const QString Wav = QStringLiteral("Wav");
inline const QString BGSound = QStringLiteral("BGSound"); // also written by the music button
inline const QString Animation = QStringLiteral("Animation");
inline const QString Hint = QStringLiteral("Hint");
inline const QString RunSlideShow = QStringLiteral("RunSlideShow");
inline const QString SlideShowTime = QStringLiteral("SlideShowTime");
inline const QString ImageSequence = QStringLiteral("ImageSequence");

// The background music's song and the position in it when music last stopped.
inline const QString BGSoundSong = QStringLiteral("BGSoundSong");
inline const QString BGSoundPos = QStringLiteral("BGSoundPos");
// The interface variant chosen in the options; written, never read back.
inline const QString SizeInterface = QStringLiteral("SizeInterface");

// The look of the panes, written when the panes close.
inline const QString FontName = QStringLiteral("FontName");
inline const QString FontColor = QStringLiteral("FontColor");
inline const QString FontSize = QStringLiteral("FontSize");
inline const QString HotSpotColor = QStringLiteral("HotSpotColor");
inline const QString Background = QStringLiteral("Background");

// The "print to PDF file" printer, for systems without a printer: when set, the print preview
// prints into this file instead of on the system's printer.
inline const QString PrintToFile = QStringLiteral("PrintToFile");

// The page the reader left the reading screen at (its path in the content folder, or a whole path
// outside it) and how far down it was scrolled, written at the end of a run.
inline const QString LastPage = QStringLiteral("LastPage");
inline const QString LastPagePos = QStringLiteral("LastPagePos");

// The width the reader gave the contents trees.
inline const QString TreeWidth = QStringLiteral("TreeWidth");

// The state of a single switch or a group switch whose script asks to keep it: screen and index
// written one after the other ("SwOne03": screen 0, switch 3).
inline QString singleSwitch(int screen, int index)
{
    return QStringLiteral("SwOne%1%2").arg(screen).arg(index);
}
inline QString groupSwitch(int screen, int index)
{
    return QStringLiteral("SwGrp%1%2").arg(screen).arg(index);
}

// The text of a path field, by its index in the script.
inline QString pathField(qsizetype index)
{
    return QStringLiteral("PathInstall%1").arg(index);
}

// A favorite page, "Favorite0" to "Favorite9", oldest first: "{caption}command".
inline QString favorite(int index)
{
    return QStringLiteral("Favorite%1").arg(index);
}

} // namespace SettingsKeys
