#include "tformoptions.h"

#include "settingskeys.h"
#include "settingsstore.h"
#include "usersettings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTabWidget>

namespace {

// The controls keep their places; a caption longer than its room in this font widens the control.
void fitWidth(QWidget* control)
{
    control->resize(std::max(control->width(), control->sizeHint().width()), control->height());
}

} // namespace

TFormOptions::TFormOptions(QWidget* owner, UserSettings& settings, SettingsStore& store, OptionsSetup setup)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint), m_settings(settings),
      m_store(store), m_setup(std::move(setup))
{
    setWindowTitle(QStringLiteral(u"Настройки"));
    setFixedSize(401, 277);
    setModal(false);

    m_tabs = new QTabWidget(this);
    m_tabs->setGeometry(0, 0, 401, 217);

    auto* mainTab = new QWidget;
    auto* mainGroup = new QGroupBox(mainTab);
    mainGroup->setGeometry(3, 3, 386, 182);
    auto* variantFrame = new QGroupBox(QStringLiteral(u" Вариант интерфейса "), mainGroup);
    variantFrame->setGeometry(16, 16, 185, 129);
    m_variant = new QButtonGroup(this);
    const std::pair<const char16_t*, QRect> variants[] = {
        {u"Автоматический выбор", {16, 24, 145, 17}},
        {u"800x600", {16, 48, 113, 17}},
        {u"1024x768", {16, 72, 113, 17}},
        {u"Произвольный", {16, 96, 113, 17}},
    };
    for (int i = 0; i < 4; ++i) {
        auto* button = new QRadioButton(QString::fromUtf16(variants[i].first), variantFrame);
        button->setGeometry(variants[i].second);
        fitWidth(button);
        m_variant->addButton(button, i);
    }
    m_variant->button(0)->setChecked(true);
    auto* font = new QPushButton(QStringLiteral(u"Шрифт"), mainGroup);
    font->setGeometry(272, 24, 75, 25);
    connect(font, &QPushButton::clicked, this, [this] {
        if (m_setup.fontDialog)
            m_setup.fontDialog();
    });
    m_wav = new QCheckBox(QStringLiteral(u"Озвучка кнопок"), mainGroup);
    m_wav->setGeometry(28, 156, 105, 17);
    fitWidth(m_wav);
    m_wav->setEnabled(m_setup.clickSoundsNamed);
    // Settings without a control of their own: their boxes exist but never show.
    m_clip = new QCheckBox(QStringLiteral(u"Клип при запуске"), mainGroup);
    m_clip->setEnabled(m_setup.startClipNamed);
    m_bgSound = new QCheckBox(QStringLiteral(u"Фоновая музыка"), mainGroup);
    m_bgSound->setEnabled(false);
    m_animation = new QCheckBox(QStringLiteral(u"Анимация окон"), mainGroup);
    m_hint = new QCheckBox(QStringLiteral(u"Всплывающие подсказки"), mainGroup);
    for (QCheckBox* hidden : {m_clip, m_bgSound, m_animation, m_hint}) {
        hidden->move(268, 164);
        hidden->hide();
    }
    m_tabs->addTab(mainTab, QStringLiteral(u"Основные"));

    auto* picturesTab = new QWidget;
    auto* picturesGroup = new QGroupBox(picturesTab);
    picturesGroup->setGeometry(3, 3, 386, 182);
    m_runSlideShow = new QCheckBox(QStringLiteral(u"Включить Слайд-шоу"), picturesGroup);
    m_runSlideShow->setGeometry(28, 28, 129, 17);
    fitWidth(m_runSlideShow);
    m_period = new QSlider(Qt::Horizontal, picturesGroup);
    m_period->setGeometry(20, 64, 154, 29);
    m_period->setRange(1, 10);
    m_period->setSingleStep(1);
    m_period->setPageStep(1);
    m_period->setTickPosition(QSlider::NoTicks);
    m_periodLabel = new QLabel(picturesGroup);
    m_periodLabel->move(28, 108);
    m_periodLabel->setMinimumWidth(120);
    connect(m_period, &QSlider::valueChanged, this, [this](int value) { m_periodLabel->setText(periodText(value)); });
    auto* sequenceFrame = new QGroupBox(QStringLiteral(u" Последовательность "), picturesGroup);
    sequenceFrame->setGeometry(192, 12, 185, 121);
    m_sequence = new QButtonGroup(this);
    const char16_t* orders[] = {u"Прямая", u"Обратная"};
    for (int i = 0; i < 2; ++i) {
        auto* button = new QRadioButton(QString::fromUtf16(orders[i]), sequenceFrame);
        button->setGeometry(16, 28 + 28 * i, 150, 17);
        m_sequence->addButton(button, i);
    }
    m_sequence->button(0)->setChecked(true);
    const int picturesIndex = m_tabs->addTab(picturesTab, QStringLiteral(u"Картинки"));
    m_tabs->setTabVisible(picturesIndex, m_setup.hasImageAreas);
    m_tabs->setCurrentIndex(0);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setGeometry(184, 236, 75, 25);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &TFormOptions::accept);
    auto* cancel = new QPushButton(QStringLiteral(u"Отмена"), this);
    cancel->setGeometry(288, 236, 75, 25);
    connect(cancel, &QPushButton::clicked, this, &TFormOptions::reject);
}

TFormOptions::~TFormOptions() = default;

QString TFormOptions::periodText(int seconds)
{
    if (seconds == 1)
        return QStringLiteral(u"%1 секунда").arg(seconds);
    if (seconds >= 2 && seconds <= 4)
        return QStringLiteral(u"%1 секунды").arg(seconds);
    return QStringLiteral(u"%1 секунд").arg(seconds);
}

void TFormOptions::showOptions()
{
    // A disabled box keeps its state: a setting it cannot show is written as off by OK.
    if (m_clip->isEnabled())
        m_clip->setChecked(m_settings.clip);
    if (m_wav->isEnabled())
        m_wav->setChecked(m_settings.wav);
    m_animation->setChecked(m_settings.animation);
    m_hint->setChecked(m_settings.hint);
    if (QAbstractButton* variant = m_variant->button(m_settings.sizeInterface))
        variant->setChecked(true);
    m_runSlideShow->setChecked(m_settings.runSlideShow);
    m_period->setValue(m_settings.slideShowTime); // the slider keeps it within 1..10
    m_periodLabel->setText(periodText(m_period->value()));
    m_sequence->button(std::clamp(m_settings.imageSequence, 0, 1))->setChecked(true);
    if (QScreen* screen = this->screen())
        move(screen->geometry().center() - rect().center());
    m_tabs->setCurrentIndex(0);
    show();
    raise();
    activateWindow();
    m_ok->setFocus();
}

void TFormOptions::accept()
{
    QDialog::accept();
    if (m_clip->isChecked() != m_settings.clip) {
        m_settings.clip = m_clip->isChecked();
        m_store.writeBool(SettingsKeys::Clip, m_settings.clip);
    }
    if (m_wav->isChecked() != m_settings.wav) {
        m_settings.wav = m_wav->isChecked();
        m_store.writeBool(SettingsKeys::Wav, m_settings.wav);
    }
    if (const int variant = m_variant->checkedId(); variant >= 0)
        m_settings.sizeInterface = variant;
    m_store.writeInt(SettingsKeys::SizeInterface, m_settings.sizeInterface);
    if (m_setup.hasImageAreas) {
        if (m_runSlideShow->isChecked() != m_settings.runSlideShow) {
            m_settings.runSlideShow = m_runSlideShow->isChecked();
            m_store.writeBool(SettingsKeys::RunSlideShow, m_settings.runSlideShow);
            if (m_setup.setSlideShowRunning)
                m_setup.setSlideShowRunning(m_settings.runSlideShow);
        }
        if (m_period->value() != m_settings.slideShowTime) {
            m_settings.slideShowTime = m_period->value();
            m_store.writeInt(SettingsKeys::SlideShowTime, m_settings.slideShowTime);
            if (m_setup.setSlideShowPeriod)
                m_setup.setSlideShowPeriod(m_settings.slideShowTime);
        }
        if (const int order = m_sequence->checkedId(); order != m_settings.imageSequence) {
            m_settings.imageSequence = order;
            m_store.writeInt(SettingsKeys::ImageSequence, order);
        }
    }
    m_store.sync();
}
