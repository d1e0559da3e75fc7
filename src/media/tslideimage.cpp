#include "tslideimage.h"

#include "medialog.h"
#include "usersettings.h"

#include <QDir>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QRandomGenerator>
#include <QTimer>

namespace {

class SlideLabel final : public QLabel
{
public:
    SlideLabel(QWidget* parent, std::function<void()> pointerOff) : QLabel(parent), m_pointerOff(std::move(pointerOff))
    {
        setAlignment(Qt::AlignCenter);
        setMouseTracking(true);
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

} // namespace

QStringList TSlideImage::picturesOf(const QString& folder)
{
    QStringList files;
    const QDir dir(folder);
    for (const char* mask : {"*.bmp", "*.jpg", "*.jpeg"}) {
        // Each mask's matches in name order (the file system's own order is not stable here).
        const QStringList names = dir.entryList({QLatin1String(mask)}, QDir::Files | QDir::Hidden | QDir::System,
                                                QDir::Name | QDir::IgnoreCase);
        for (const QString& name : names)
            files.append(dir.filePath(name));
    }
    return files;
}

TSlideImage::TSlideImage(QWidget* window, const TDynamicImageArray& images, const UserSettings& settings,
                         std::function<int()> currentScreen, std::function<void()> pointerOff)
    : QObject(window), m_settings(settings), m_currentScreen(std::move(currentScreen)), m_timer(new QTimer(this))
{
    for (const RImage& image : images) {
        auto* control = new SlideLabel(window, pointerOff);
        control->setGeometry(image.vx, image.vy, image.vw - image.vx, image.vh - image.vy);
        control->hide();
        SlideElement element{control, image.screen, picturesOf(image.dir), QString()};
        if (element.files.isEmpty())
            qCDebug(lcMedia) << "slide show: no pictures in" << image.dir;
        m_areas.append(element);
    }
    m_timer->setInterval(std::max(1, m_settings.slideShowTime) * 1000);
    connect(m_timer, &QTimer::timeout, this, &TSlideImage::timerTick);
    ShowSlidesForScreen();
}

TSlideImage::~TSlideImage() = default;

bool TSlideImage::timerActive() const
{
    return m_timer->isActive();
}

int TSlideImage::timerInterval() const
{
    return m_timer->interval();
}

void TSlideImage::ShowSlidesForScreen()
{
    const int screen = m_currentScreen ? m_currentScreen() : 0;
    for (int i = 0; i < m_areas.size(); ++i) {
        SlideElement& element = m_areas[i];
        if (element.screen == screen) {
            element.control->show();
            m_currentArea = i;
            if (element.shown.isEmpty())
                load(element, m_position);
            if (m_settings.runSlideShow && !m_timer->isActive())
                m_timer->start();
        } else if (element.screen == m_previousScreen && m_previousScreen != screen) {
            if (m_settings.runSlideShow)
                m_timer->stop();
            element.control->hide();
        }
    }
    m_previousScreen = screen;
}

bool TSlideImage::load(SlideElement& element, int position)
{
    if (position < 0 || position >= element.files.size())
        return false;
    const QString& file = element.files.at(position);
    QImageReader reader(file);
    reader.setDecideFormatFromContent(true);
    const QImage picture = reader.read();
    if (picture.isNull()) {
        qCDebug(lcMedia) << "slide not shown, cannot read" << file << reader.errorString();
        return false;
    }
    element.control->setPixmap(QPixmap::fromImage(picture));
    element.shown = file;
    return true;
}

void TSlideImage::NextPicture()
{
    if (m_areas.isEmpty())
        return;
    SlideElement& element = m_areas[m_currentArea];
    ++m_position;
    if (m_position > element.files.size() - 1)
        m_position = 0;
    load(element, m_position);
}

void TSlideImage::PrevPicture()
{
    if (m_areas.isEmpty())
        return;
    SlideElement& element = m_areas[m_currentArea];
    --m_position;
    if (m_position < 0)
        m_position = std::max<int>(0, int(element.files.size()) - 1);
    load(element, m_position);
}

void TSlideImage::timerTick()
{
    switch (m_settings.imageSequence) {
    case 0:
        NextPicture();
        break;
    case 1:
        PrevPicture();
        break;
    default: {
        if (m_areas.isEmpty())
            return;
        SlideElement& element = m_areas[m_currentArea];
        if (element.files.isEmpty())
            return;
        m_position = int(QRandomGenerator::global()->bounded(element.files.size()));
        load(element, m_position);
        break;
    }
    }
}

void TSlideImage::setRunning(bool on)
{
    if (on && !m_areas.isEmpty())
        m_timer->start();
    else
        m_timer->stop();
}

void TSlideImage::setPeriod(int seconds)
{
    m_timer->setInterval(std::max(1, seconds) * 1000);
}
