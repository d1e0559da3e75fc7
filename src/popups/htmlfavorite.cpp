#include "htmlfavorite.h"

#include "popupslog.h"
#include "popupwindow.h"
#include "settingskeys.h"
#include "settingsstore.h"

namespace {

const QString kJumpName = QStringLiteral("htmlpos=");

} // namespace

RFavoriteCaption parseFavoriteValue(const QString& value)
{
    const qsizetype open = value.indexOf(QLatin1Char('{'));
    qsizetype close = -1;
    if (open >= 0) {
        const qsizetype jump = value.indexOf(QString(QLatin1Char('}') + kJumpName), open + 1);
        close = jump >= 0 ? jump : value.indexOf(QLatin1Char('}'), open + 1);
    } else {
        close = value.indexOf(QLatin1Char('}'));
    }
    RFavoriteCaption favorite;
    if (open >= 0 && close > open)
        favorite.caption = value.mid(open + 1, close - open - 1);
    favorite.command = close >= 0 ? value.mid(close + 1) : value;
    return favorite;
}

QString favoriteValue(const RFavoriteCaption& favorite)
{
    return QLatin1Char('{') + favorite.caption + QLatin1Char('}') + favorite.command;
}

QString favoriteCommand(const QString& file, int position)
{
    return kJumpName + file + QLatin1Char('=') + QString::number(position);
}

std::optional<FavoriteJump> parseFavoriteJump(const QString& command)
{
    if (!command.startsWith(kJumpName))
        return std::nullopt;
    const qsizetype last = command.lastIndexOf(QLatin1Char('='));
    FavoriteJump jump;
    if (last < kJumpName.size()) {
        jump.file = command.mid(kJumpName.size()); // no position: the top of the page
    } else {
        jump.file = command.mid(kJumpName.size(), last - kJumpName.size());
        jump.position = qMax(0, command.mid(last + 1).trimmed().toInt());
    }
    if (jump.file.isEmpty())
        return std::nullopt;
    return jump;
}

QString favoriteCaptionShown(const QString& caption)
{
    return caption.isEmpty() ? QStringLiteral(u"Без названия") : caption;
}

THtmlFavorite::THtmlFavorite(SettingsStore& settings, TPopupWindow* popup) : m_settings(settings), m_popup(popup)
{
    for (int i = 0; i < kMaxFavorites; ++i) {
        const std::optional<QString> value = m_settings.readString(SettingsKeys::favorite(i));
        if (!value || value->isEmpty())
            continue;
        const RFavoriteCaption favorite = parseFavoriteValue(*value);
        m_favorites.append(favorite);
        if (m_popup)
            m_popup->AddItem(favoriteCaptionShown(favorite.caption), favorite.command);
    }
}

THtmlFavorite::~THtmlFavorite()
{
    save();
}

bool THtmlFavorite::AddFavorite(const QString& caption, const QString& command)
{
    for (const RFavoriteCaption& favorite : std::as_const(m_favorites)) {
        if (favorite.caption.compare(caption, Qt::CaseInsensitive) == 0) {
            qCDebug(lcPopups) << "a favorite of this title is there already:" << caption;
            return false;
        }
    }
    if (m_favorites.size() >= kMaxFavorites) {
        // The oldest goes; the items take the favorites one place towards the front.
        m_favorites.removeFirst();
        m_favorites.append({caption, command});
        if (m_popup) {
            for (int i = 0; i < m_favorites.size(); ++i)
                m_popup->SetItem(i, favoriteCaptionShown(m_favorites[i].caption), m_favorites[i].command);
        }
    } else {
        m_favorites.append({caption, command});
        if (m_popup)
            m_popup->AddItem(favoriteCaptionShown(caption), command);
    }
    save();
    return true;
}

void THtmlFavorite::DeleteFavorite(int index)
{
    if (index < 0 || index >= m_favorites.size())
        return;
    m_favorites.removeAt(index);
    save();
}

void THtmlFavorite::save()
{
    for (int i = 0; i < kMaxFavorites; ++i) {
        if (i < m_favorites.size())
            m_settings.writeString(SettingsKeys::favorite(i), favoriteValue(m_favorites[i]));
        else
            m_settings.remove(SettingsKeys::favorite(i));
    }
    if (!m_settings.sync())
        qCDebug(lcPopups) << "the favorites could not be written to" << m_settings.fileName();
}
