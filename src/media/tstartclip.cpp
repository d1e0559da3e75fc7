#include "tstartclip.h"

#include "medialog.h"
#include "tmplayer.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace {

constexpr int kBevel = 10;

} // namespace

TStartClip::TStartClip(const QString& file, bool fullScreen, std::function<void()> installMpegDriver, QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool), m_file(file),
      m_fullScreen(fullScreen), m_installMpegDriver(std::move(installMpegDriver)),
      m_player(std::make_unique<TMPlayer>()), m_startTimer(new QTimer(this)), m_waitTimer(new QTimer(this)),
      m_watchTimer(new QTimer(this))
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0, 0, 128)); // navy until the clip is placed
    setPalette(palette);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    resize(0, 0);
    m_startTimer->setInterval(kStartMs);
    m_waitTimer->setInterval(kWaitMs);
    m_watchTimer->setInterval(kWatchMs);
    connect(m_startTimer, &QTimer::timeout, this, &TStartClip::openClip);
    connect(m_waitTimer, &QTimer::timeout, this, &TStartClip::waitTick);
    connect(m_watchTimer, &QTimer::timeout, this, &TStartClip::watchTick);
    m_startTimer->start();
}

TStartClip::~TStartClip() = default;

void TStartClip::openClip()
{
    m_startTimer->stop();
    m_player->setFileName(m_file);
    m_player->setDisplay(this);
    if (!m_player->Open()) {
        const int error = m_player->Error();
        if (error == TMPlayer::kFileNotFound || error == TMPlayer::kInvalidFile || error == TMPlayer::kFileRead) {
            Finish();
            return;
        }
        if (m_installMpegDriver)
            m_installMpegDriver();
        if (!m_player->Open()) {
            Finish();
            return;
        }
    }
    const QSize video = m_player->NaturalSize();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->size() : QSize(1024, 768);
    if (m_fullScreen) {
        m_player->setDisplayRect(QRect(
            QPoint(screenSize.width() / 2 - video.width() / 2, screenSize.height() / 2 - video.height() / 2), video));
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, Qt::black);
        setPalette(palette);
        setGeometry(QRect(QPoint(0, 0), screenSize));
    } else {
        // The video inside a bevelled frame.
        m_player->setDisplayRect(QRect(QPoint(kBevel, kBevel), video));
        setGeometry(screenSize.width() / 2 - video.width() / 2 - 2 * kBevel,
                    screenSize.height() / 2 - video.height() / 2 - 2 * kBevel, video.width() + 2 * kBevel,
                    video.height() + 2 * kBevel);
    }
    if (!m_player->Play()) {
        Finish();
        return;
    }
    m_waitTimer->start();
}

void TStartClip::waitTick()
{
    if (m_player->Mode() == TMPlayer::Playing) {
        m_waitTimer->stop();
        m_watchTimer->start();
        show();
        raise();
        activateWindow();
        setFocus();
        return;
    }
    if (m_retries == kMaxRetries) {
        m_waitTimer->stop();
        m_watchTimer->start();
        return;
    }
    m_player->Notify(false);
    m_player->Play();
    ++m_retries;
}

void TStartClip::watchTick()
{
    if (m_player->Mode() == TMPlayer::Playing)
        return;
    m_watchTimer->stop();
    m_player->Close();
    Finish();
}

void TStartClip::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape) {
        QWidget::keyPressEvent(event);
        return;
    }
    m_waitTimer->stop();
    m_watchTimer->stop();
    m_startTimer->stop();
    m_player->Close();
    Finish();
}

void TStartClip::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (m_fullScreen)
        return;
    QPainter painter(this);
    const QRect outer = rect();
    for (int i = 0; i < kBevel; ++i) {
        const QRect edge = outer.adjusted(i, i, -i - 1, -i - 1);
        painter.setPen(i < kBevel / 2 ? QColor(200, 200, 200) : QColor(90, 90, 90));
        painter.drawLine(edge.topLeft(), edge.topRight());
        painter.drawLine(edge.topLeft(), edge.bottomLeft());
        painter.setPen(i < kBevel / 2 ? QColor(60, 60, 60) : QColor(160, 160, 160));
        painter.drawLine(edge.bottomLeft(), edge.bottomRight());
        painter.drawLine(edge.topRight(), edge.bottomRight());
    }
}

void TStartClip::Finish()
{
    if (m_finished)
        return;
    m_finished = true;
    hide();
    Q_EMIT finished();
}
