#pragma once

// Font installation: the folder of the page last loaded into a pane, and "installfonts", which
// copies the TrueType fonts of that folder (packed or on disk) into the user's font folder,
// registers them with fontconfig and with this process, so that the pages use them at once.

#include <QHash>
#include <QString>

#include <functional>
#include <optional>

class ContentPack;
class PathResolver;

struct NavFontHooks
{
    std::function<void(const QString&)> showMessage; // to the reader
    std::function<void()> fontsAdded;                // the panes show their pages again
    std::function<void(bool)> setBusy;
};

class TNavFont final
{
public:
    // packBase: the folder the pack's paths are relative to. fontFolder: where fonts go; the
    // user's font folder (~/.local/share/fonts) when empty.
    TNavFont(const ContentPack& pack, const PathResolver& disk, QString packBase, NavFontHooks hooks,
             QString fontFolder = QString());
    Q_DISABLE_COPY_MOVE(TNavFont)
    ~TNavFont();

    void RememberPageFolder(const QString& page);
    QString pageFolder() const { return m_folder; }
    // Installs the fonts of the remembered folder; the number installed.
    int InstallFonts();

    QString fontFolder() const { return m_fontFolder; }
    // The ".ttf" files of a folder: on disk and in the pack, by content path, in name order.
    QStringList fontFiles(const QString& folder) const;

private:
    const ContentPack& m_pack;
    const PathResolver& m_disk;
    QString m_packBase;
    NavFontHooks m_hooks;
    QString m_fontFolder;
    QString m_folder;
    QHash<QString, int> m_added; // installed file -> its id in this process's font list
};
