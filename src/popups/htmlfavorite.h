#pragma once

// The favorite pages: at most ten, oldest first, each a caption (the page's title) and a command
// that opens the page at the place it was read ("htmlpos=" + file + "=" + scroll position). They
// are kept in the settings as "Favorite0".."Favorite9", "{caption}command", and shown as the
// items of the favorites popup, which owns them.

#include <QList>
#include <QString>

#include <optional>

class SettingsStore;
class TPopupWindow;

struct RFavoriteCaption
{
    QString caption;
    QString command;
};

// A stored value read back. The caption is between the first '{' and the '}' that ends it: the
// one before the command "htmlpos=" when the value holds it (a title may hold '}' itself), else
// the first '}'. The command is what follows. Without braces the caption is empty and the command
// is the text after the first '}', or the whole value.
RFavoriteCaption parseFavoriteValue(const QString& value);
QString favoriteValue(const RFavoriteCaption& favorite);

// The command of a favorite page, and the page and place it names. The position is after the last
// '=', so a file name that holds '=' still reads back.
QString favoriteCommand(const QString& file, int position);
struct FavoriteJump
{
    QString file;
    int position = 0;
};
std::optional<FavoriteJump> parseFavoriteJump(const QString& command);

// What the favorites popup shows for a favorite whose page has no title.
QString favoriteCaptionShown(const QString& caption);

class THtmlFavorite
{
public:
    static constexpr int kMaxFavorites = 10;

    // Reads the favorites from settings and adds one item of popup (when given) for each.
    THtmlFavorite(SettingsStore& settings, TPopupWindow* popup);
    // Writes the favorites back.
    ~THtmlFavorite();
    Q_DISABLE_COPY_MOVE(THtmlFavorite)

    // Adds a favorite, dropping the oldest when there are ten already; nothing when one with this
    // caption (in any case) exists. The settings are written at once. True when added.
    bool AddFavorite(const QString& caption, const QString& command);
    // Removes the favorite at index; the popup removes its item itself.
    void DeleteFavorite(int index);

    const QList<RFavoriteCaption>& favorites() const { return m_favorites; }

    // "Favorite0".."Favorite<count-1>" written, the values after them removed.
    void save();

private:
    SettingsStore& m_settings;
    TPopupWindow* m_popup;
    QList<RFavoriteCaption> m_favorites;
};
