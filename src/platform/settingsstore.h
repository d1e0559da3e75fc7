#pragma once

// The per-title settings: what the original kept in the registry under SOFTWARE\Velbrook\<title>.
// Here an INI file in the user's config folder (organisation "Velbrook", application = the
// title). Reads are typed: a value that is missing or does not have the asked type reads as
// std::nullopt, so "wrong type" and "missing" take the same default.
//
// A store made without a title is detached until open() names one: it reads nothing and drops
// what is written, so a copy that keeps no settings can hand it around like any other.

#include <QSettings>
#include <QString>

#include <memory>
#include <optional>

// A file name for a title: the title itself when it is safe as one file name, otherwise the
// title with the unsafe characters replaced and a short hash of the whole title appended, so
// that "A/B" and "A:B" still name different files. Never empty, never "." or "..".
QString titleFileName(const QString& title);

class SettingsStore
{
public:
    SettingsStore();
    explicit SettingsStore(const QString& title);
    ~SettingsStore();
    Q_DISABLE_COPY_MOVE(SettingsStore)

    // Attaches the store to the file of a title; an attached store stays on its file until
    // close(), which writes what is pending and detaches it.
    void open(const QString& title);
    void close();
    bool isOpen() const { return m_settings != nullptr; }

    // Value names are case-sensitive and used as given ("SwOne" + screen + index).
    // Only "true" and "false" (what writeBool writes) read as Booleans.
    std::optional<bool> readBool(const QString& name) const;
    // A decimal integer in the range of int; anything else is missing.
    std::optional<int> readInt(const QString& name) const;
    // Any single value; a list or a typed blob is missing.
    std::optional<QString> readString(const QString& name) const;

    // The value, or def when it is missing or of another type; def is then written back (a
    // failure of that write is ignored).
    bool readBoolOrDefault(const QString& name, bool def);
    int readIntOrDefault(const QString& name, int def);

    void writeBool(const QString& name, bool value);
    void writeInt(const QString& name, int value);
    void writeString(const QString& name, const QString& value);
    void remove(const QString& name);

    // Writes pending changes to disk; false when the file could not be written (a detached
    // store has nothing to write: true).
    bool sync();

    // The INI file behind the store; empty while detached.
    QString fileName() const;

private:
    std::unique_ptr<QSettings> m_settings;
};
