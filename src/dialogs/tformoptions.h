#pragma once

// TFormOptions: the options dialog ("Настройки"). It shows the user's settings that have a
// control, and OK writes back those the reader changed; Cancel only closes. The settings
// themselves are loaded at start-up (UserSettings::Load); this dialog only edits them.

#include <QDialog>

#include <functional>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;
class SettingsStore;
struct UserSettings;

// What the dialog may change outside itself, and what the skin offers.
struct OptionsSetup
{
    bool hasImageAreas = false;    // the "Картинки" tab shows only with picture areas
    bool startClipNamed = false;   // the start clip's box is enabled only when the skin names one
    bool clickSoundsNamed = false; // the button sounds' box is enabled only when a button has one
    std::function<void(bool on)> setSlideShowRunning;
    std::function<void(int seconds)> setSlideShowPeriod;
    std::function<void()> fontDialog;
};

class TFormOptions final : public QDialog
{
    Q_OBJECT

public:
    TFormOptions(QWidget* owner, UserSettings& settings, SettingsStore& store, OptionsSetup setup);
    ~TFormOptions() override;

    // "N секунда", "N секунды", "N секунд".
    static QString periodText(int seconds);

    // Fills the controls from the settings and shows the dialog, not modally.
    void showOptions();

    QCheckBox* clipBox() const { return m_clip; }
    QCheckBox* wavBox() const { return m_wav; }
    QCheckBox* slideShowBox() const { return m_runSlideShow; }
    QSlider* periodSlider() const { return m_period; }
    QLabel* periodLabel() const { return m_periodLabel; }
    QButtonGroup* variantGroup() const { return m_variant; }
    QButtonGroup* sequenceGroup() const { return m_sequence; }
    QTabWidget* tabs() const { return m_tabs; }

    void accept() override;

private:
    UserSettings& m_settings;
    SettingsStore& m_store;
    OptionsSetup m_setup;
    QTabWidget* m_tabs = nullptr;
    QButtonGroup* m_variant = nullptr;
    QCheckBox* m_wav = nullptr;
    QCheckBox* m_clip = nullptr;
    QCheckBox* m_bgSound = nullptr;
    QCheckBox* m_animation = nullptr;
    QCheckBox* m_hint = nullptr;
    QCheckBox* m_runSlideShow = nullptr;
    QSlider* m_period = nullptr;
    QLabel* m_periodLabel = nullptr;
    QButtonGroup* m_sequence = nullptr;
    QPushButton* m_ok = nullptr;
};
