#include "settingsstore.h"

#include <QCryptographicHash>

namespace {

// Characters kept as they are in a file name made from a title. Letters and digits of any
// script are fine on every desktop file system; punctuation is kept to a harmless few.
bool isSafeFileNameChar(QChar c)
{
    if (c.isLetterOrNumber())
        return true;
    return c == QLatin1Char(' ') || c == QLatin1Char('-') || c == QLatin1Char('_') || c == QLatin1Char('.') ||
           c == QLatin1Char('(') || c == QLatin1Char(')');
}

// Room for the hash and an extension within the usual limit of 255 bytes, Cyrillic taking two.
constexpr qsizetype kMaxTitleChars = 100;

} // namespace

QString titleFileName(const QString& title)
{
    QString name;
    name.reserve(title.size());
    for (const QChar c : title)
        name.append(isSafeFileNameChar(c) ? c : QLatin1Char('_'));
    // A leading dot would hide the file, a trailing dot or blank is dropped by some systems.
    if (name.startsWith(QLatin1Char('.')))
        name[0] = QLatin1Char('_');
    while (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        name.chop(1);
    if (name.size() > kMaxTitleChars)
        name.truncate(kMaxTitleChars);
    if (name == title && !name.isEmpty())
        return name;
    const QByteArray hash = QCryptographicHash::hash(title.toUtf8(), QCryptographicHash::Sha1).toHex().left(8);
    if (name.isEmpty())
        return QLatin1String("_-") + QLatin1String(hash);
    return name + QLatin1Char('-') + QLatin1String(hash);
}

SettingsStore::SettingsStore() = default;

SettingsStore::SettingsStore(const QString& title)
{
    open(title);
}

SettingsStore::~SettingsStore() = default;

void SettingsStore::open(const QString& title)
{
    if (m_settings)
        return;
    m_settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Velbrook"),
                                             titleFileName(title));
}

void SettingsStore::close()
{
    m_settings.reset();
}

std::optional<bool> SettingsStore::readBool(const QString& name) const
{
    if (!m_settings)
        return std::nullopt;
    const QVariant value = m_settings->value(name);
    // A value written in this session keeps its type; one read from the file is text.
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    const QString text = value.toString();
    if (text == QLatin1String("true"))
        return true;
    if (text == QLatin1String("false"))
        return false;
    return std::nullopt;
}

std::optional<int> SettingsStore::readInt(const QString& name) const
{
    if (!m_settings)
        return std::nullopt;
    const QVariant value = m_settings->value(name);
    if (value.typeId() == QMetaType::Int)
        return value.toInt();
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    bool ok = false;
    const int number = value.toString().toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return number;
}

std::optional<QString> SettingsStore::readString(const QString& name) const
{
    if (!m_settings)
        return std::nullopt;
    const QVariant value = m_settings->value(name);
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::Int:
    case QMetaType::Bool:
        return value.toString();
    default:
        return std::nullopt;
    }
}

bool SettingsStore::readBoolOrDefault(const QString& name, bool def)
{
    if (const std::optional<bool> value = readBool(name))
        return *value;
    writeBool(name, def);
    return def;
}

int SettingsStore::readIntOrDefault(const QString& name, int def)
{
    if (const std::optional<int> value = readInt(name))
        return *value;
    writeInt(name, def);
    return def;
}

void SettingsStore::writeBool(const QString& name, bool value)
{
    if (m_settings)
        m_settings->setValue(name, value);
}

void SettingsStore::writeInt(const QString& name, int value)
{
    if (m_settings)
        m_settings->setValue(name, value);
}

void SettingsStore::writeString(const QString& name, const QString& value)
{
    if (m_settings)
        m_settings->setValue(name, value);
}

void SettingsStore::remove(const QString& name)
{
    if (m_settings)
        m_settings->remove(name);
}

bool SettingsStore::sync()
{
    if (!m_settings)
        return true;
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

QString SettingsStore::fileName() const
{
    return m_settings ? m_settings->fileName() : QString();
}
