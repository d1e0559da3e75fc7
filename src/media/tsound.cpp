#include "tsound.h"

#include "medialog.h"
#include "tmplayer.h"

#include <QEvent>
#include <QFileInfo>
#include <QPalette>
#include <QWidget>

namespace {

// How far the step buttons move in a clip.
constexpr qint64 kStepMs = 10000;

// A plain area of one colour that forwards only the fact that the pointer is over it.
class ColorArea final : public QWidget
{
public:
    ColorArea(QWidget* parent, QColor color, std::function<void()> pointerOff)
        : QWidget(parent), m_pointerOff(std::move(pointerOff))
    {
        setAutoFillBackground(true);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, color);
        setPalette(palette);
        setMouseTracking(true);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void mouseMoveEvent(QMouseEvent*) override
    {
        if (m_pointerOff)
            m_pointerOff();
    }

private:
    std::function<void()> m_pointerOff;
};

QColor windowsColor(int value)
{
    return QColor(value & 0xff, (value >> 8) & 0xff, (value >> 16) & 0xff);
}

bool faultOfTheFile(int error)
{
    return error == TMPlayer::kFileNotFound || error == TMPlayer::kInvalidFile || error == TMPlayer::kFileRead;
}

} // namespace

TSound::TSound(QWidget* window, const TDynamicClipArray& clips, ClipServices services, std::function<void()> pointerOff)
    : QObject(window), m_services(std::move(services)), m_player(std::make_unique<TMPlayer>())
{
    connect(m_player.get(), &TMPlayer::notify, this, &TSound::clipEnded);
    for (const RClip& clip : clips) {
        auto* area = new ColorArea(window, windowsColor(clip.bgcolor), pointerOff);
        area->setGeometry(clip.vx, clip.vy, clip.vw - clip.vx, clip.vh - clip.vy);
        area->hide();
        m_areas.append({area, clip.screen, clip.html});
    }
    if (!m_areas.isEmpty())
        ShowClipAreas();
}

TSound::~TSound() = default;

QList<QWidget*> TSound::areas() const
{
    QList<QWidget*> widgets;
    for (const ClipArea& area : m_areas)
        widgets.append(area.widget);
    return widgets;
}

void TSound::ShowClipAreas()
{
    const int screen = m_services.currentScreen ? m_services.currentScreen() : 0;
    for (const ClipArea& area : std::as_const(m_areas)) {
        if (area.screen == screen)
            area.widget->show();
        else if (area.screen == m_previousScreen && m_previousScreen != screen)
            area.widget->hide();
    }
    m_previousScreen = screen;
}

void TSound::PlayClip(const QString& file, const QString& page, int action)
{
    if (action == EndFromPage) {
        // A second dropped sound keeps what the first one will do at its end.
        if (m_player->Mode() != TMPlayer::Playing)
            m_endAction = EndClose;
    } else {
        m_endAction = action;
    }
    if (m_services.musicOn && m_services.musicOn()) {
        if (m_services.stopMusicForClip)
            m_services.stopMusicForClip();
        if (action == EndFromPage)
            m_endAction = EndResumeMusic;
    }
    if (m_services.setBusy)
        m_services.setBusy(true);
    // The kind of file is told from its name as given; the disk is asked for the file it names.
    m_player->setFileName(file.isEmpty() || !m_services.resolve ? file : m_services.resolve(file));
    bool opened = false;
    if (!file.isEmpty() && !file.contains(QLatin1String(".wav"))) {
        const int screen = m_services.currentScreen ? m_services.currentScreen() : 0;
        for (const ClipArea& area : std::as_const(m_areas)) {
            if (area.screen != screen)
                continue;
            m_player->setDisplay(area.widget);
            if (m_services.showPage)
                m_services.showPage(area.pane, page);
            break;
        }
        opened = m_player->Open();
        if (!opened && !faultOfTheFile(m_player->Error())) {
            if (m_services.installMpegDriver)
                m_services.installMpegDriver();
            opened = m_player->Open();
        }
    } else {
        opened = m_player->Open();
    }
    if (opened) {
        // The video fills its area, keeping its proportions.
        if (QWidget* display = m_player->Display(); m_player->HasVideo() && display) {
            const QSize size = m_player->NaturalSize().scaled(display->size(), Qt::KeepAspectRatio);
            m_player->setDisplayRect(
                QRect(QPoint((display->width() - size.width()) / 2, (display->height() - size.height()) / 2), size));
        }
        m_player->Play();
    } else if (!file.isEmpty() && m_services.showStatus) {
        // "play" (an empty name) only stops what plays; a named file that does not play says so.
        m_services.showStatus(QStringLiteral(u"Не удалось воспроизвести файл %1").arg(QFileInfo(file).fileName()));
    }
    if (m_services.setBusy)
        m_services.setBusy(false);
}

void TSound::clipEnded()
{
    if (m_player->notifyValue() != TMPlayer::NotifyValue::Successful)
        return;
    switch (m_endAction) {
    case EndClose:
        m_player->Close();
        break;
    case EndResumeMusic:
        if (m_services.setBusy)
            m_services.setBusy(true);
        if (m_services.resumeMusic)
            m_services.resumeMusic();
        if (m_services.setBusy)
            m_services.setBusy(false);
        break;
    default:
        break;
    }
}

void TSound::StepForward()
{
    if (!m_player->Opened()) {
        qCDebug(lcMedia) << "stepforward dropped: no clip open";
        return;
    }
    m_player->TimeFormat(0);
    const qint64 target = m_player->Position() + kStepMs;
    const qint64 length = m_player->Length();
    m_player->setPosition(length < target ? length : target);
    m_player->Play();
}

void TSound::StepBack()
{
    if (!m_player->Opened()) {
        qCDebug(lcMedia) << "stepback dropped: no clip open";
        return;
    }
    m_player->TimeFormat(0);
    const qint64 position = m_player->Position();
    m_player->setPosition(position <= kStepMs ? 0 : position - kStepMs);
    m_player->Play();
}

void TSound::stopCommand()
{
    m_player->Stop();
}

void TSound::pauseCommand()
{
    m_player->Notify(false);
    m_player->Pause();
}
