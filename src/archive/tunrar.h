#pragma once

// The archive feature of the window: lists an archive linked from a page as pages in the current
// pane, knows when the pane shows such pages (its archive mode), unpacks the current archive on
// demand or into the reader's folder, and clears its temporary folders.

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QLockFile;

// What the feature asks of the window; any may be left empty.
struct UnRarHooks
{
    std::function<void(const QString& text)> showMessage;
    std::function<void(const QString& page)> showPage; // in the current pane
    std::function<bool()> archiveMode;                 // of the current pane
    std::function<void(bool on)> setArchiveMode;
    // The folder of the current screen's path field; empty without a path field.
    std::function<std::optional<QString>()> pathFolder;
    std::function<void(bool busy)> setBusy;
};

class TUnRar final
{
public:
    // What unpacking into the reader's folder says: done, with the folder it made; and that the
    // window has no path field to name a folder.
    static constexpr QStringView kUnpackedInto = u"Архив распакован в папку %1";
    static constexpr QStringView kNoFolderField = u"Архив не распакован: не задана папка для распаковки.";

    // root: a folder of the user's alone (privateFolder). Each running reader keeps a folder of
    // its own in it, "run-" and a random name, locked while the reader runs; that run folder
    // holds the "as_" folders of its listings. Clears the leftovers of earlier runs.
    TUnRar(UnRarHooks hooks, QString root);
    ~TUnRar(); // removes this run's folder, and the leftovers again
    Q_DISABLE_COPY_MOVE(TUnRar)

    // Lists the archive (its pages are written once per run) and shows it in the current pane;
    // currentPage is the page the request came from.
    void ListArchive(const QString& archivePath, const QString& currentPage);
    // After every page the current pane loads.
    void PageShown(const QString& page);
    // Unpacks the current archive into its listing's folder (toUserFolder false) or into the
    // path field's folder, there into a new subfolder named after the archive unless directly.
    void ExtractArchive(bool toUserFolder, bool directly);
    // Deletes the "as_" folders of this run's folder, and the run folders of readers that no
    // longer run (their lock is free). Nothing else in root is touched, and no link is followed.
    void RemoveLeftovers();

    // This run's folder with a trailing '/'; empty when it could not be made.
    const QString& runFolder() const { return m_tempDir; }

    const QString& archivePath() const { return m_archivePath; }
    const QString& tempFolder() const { return m_tempFolder; }
    const QStringList& listingPages() const { return m_listingPages; }
    const QStringList& returnPages() const { return m_returnPages; }

    // The subfolder of folder that unpacking the archive makes: its file name, or name N.ext
    // with the first N that is free.
    static QString freeSubfolder(const QString& folder, const QString& archivePath);

private:
    void message(const QString& text) const;
    void makeRunFolder();

    UnRarHooks m_hooks;
    QString m_root;
    std::unique_ptr<QLockFile> m_lock; // held while this run's folder is in use
    QString m_tempDir;
    QString m_archivePath;
    QString m_tempFolder;
    QStringList m_listingPages;
    QStringList m_returnPages;
};
