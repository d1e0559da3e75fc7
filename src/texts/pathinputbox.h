#pragma once

// The path fields: borderless edit boxes placed on the skinned window, in which the user types a
// target folder (for archive extraction and the copy links). Each field belongs to one screen and
// keeps its text between runs in the title's settings as "PathInstall<index>".

#include "skinrecords.h"

#include <QLineEdit>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

class QWidget;
class SettingsStore;

// The folder on this disk that a path field's text stands for, with '/' for '\' and a trailing
// '/'; empty for a blank text. The manuals were written for Windows: a drive letter ("c:\velbrook")
// stands for the reader's home folder, as the copies take it (the manual's own volume is read-only);
// so do "~" and a relative folder.
QString pathFieldFolder(const QString& text);
// The text a field shows for text: the folder it stands for when that differs from what is
// written (a drive letter, "~", a relative folder), in the way it was written (with or without
// the trailing separator); otherwise text itself.
QString pathFieldText(const QString& text);

class TPathInputBox final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TPathInputBox)
public:
    // Creates the fields on window, hidden, with the saved text or else the element's default
    // folder (each shown as the folder it stands for, PathFieldText), then shows those of the
    // current screen. A text the user finishes typing is shown the same way.
    TPathInputBox(QWidget* window, const TDynamicPathInputArray& fields, SettingsStore& settings,
                  std::function<int()> currentScreen);
    // Saves the texts.
    ~TPathInputBox() override;

    // Shows the fields of the current screen and hides those of the screen shown before.
    void ShowFieldsForScreen();
    // Hides (or shows again) the fields of the current screen: the plain window mode.
    void HideFields(bool hidden);

    // The folder in the first field of the current screen (PathFieldFolder of its text); empty
    // when the screen has no field or the field is blank.
    QString GetPath() const { return GetPath(m_currentScreen()); }
    QString GetPath(int screen) const;
    // The folder in the first field of the window, whatever its screen.
    QString firstPath() const { return m_texts.isEmpty() ? QString() : pathFieldFolder(m_texts.first()); }

    // Writes every field's text as "PathInstall<index>".
    void save();

    qsizetype count() const { return m_screens.size(); }
    QLineEdit* field(qsizetype index) const { return m_fields.value(index); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
    SettingsStore& m_settings;
    std::function<int()> m_currentScreen;
    QList<QPointer<QLineEdit>> m_fields;
    QList<int> m_screens;
    QStringList m_texts; // kept apart from the boxes, which die with the window
    int m_lastScreen = -1;
};
