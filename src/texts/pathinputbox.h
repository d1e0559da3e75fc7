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

class TPathInputBox final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TPathInputBox)
public:
    // Creates the fields on window, hidden, with the saved text or else the element's default
    // folder, then shows those of the current screen.
    TPathInputBox(QWidget* window, const TDynamicPathInputArray& fields, SettingsStore& settings,
                  std::function<int()> currentScreen);
    // Saves the texts.
    ~TPathInputBox() override;

    // Shows the fields of the current screen and hides those of the screen shown before.
    void ShowFieldsForScreen();
    // Hides (or shows again) the fields of the current screen: the plain window mode.
    void HideFields(bool hidden);

    // The folder in the first field of the current screen, with '/' for '\' and a trailing '/';
    // empty when the screen has no field or the field is blank.
    QString GetPath() const { return GetPath(m_currentScreen()); }
    QString GetPath(int screen) const;

    // Writes every field's text as "PathInstall<index>".
    void save();

    qsizetype count() const { return m_screens.size(); }
    QLineEdit* field(qsizetype index) const { return m_fields.value(index); }

    static QString valueName(qsizetype index);

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
