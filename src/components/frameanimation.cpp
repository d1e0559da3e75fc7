#include "frameanimation.h"

#include "picturebytes.h"

#include <QImageReader>
#include <QLabel>
#include <QPixmap>

namespace {

// A frame that asks for no delay (or less than this) is shown this long, as browsers do, so that
// a careless picture does not keep the interface thread busy.
constexpr int kShortestDelayMs = 20;

} // namespace

FrameAnimation::FrameAnimation(const QByteArray& bytes, QLabel* label, QObject* parent)
    : QObject(parent), m_bytes(bytes), m_label(label)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &FrameAnimation::advance);
    if (!rewind() || !readFrame()) {
        m_frame = QImage();
        return;
    }
    m_loopCount = m_reader->loopCount();
    if (m_label)
        m_label->setPixmap(QPixmap::fromImage(m_frame));
}

FrameAnimation::~FrameAnimation() = default;

void FrameAnimation::start()
{
    if (isValid() && !m_timer.isActive())
        m_timer.start(m_delay);
}

void FrameAnimation::stop()
{
    m_timer.stop();
}

bool FrameAnimation::rewind()
{
    m_reader.reset();
    m_buffer.close();
    m_buffer.setBuffer(&m_bytes);
    if (!m_buffer.open(QIODevice::ReadOnly))
        return false;
    m_reader = std::make_unique<QImageReader>(&m_buffer);
    nameReaderFormat(*m_reader, m_bytes);
    return m_reader->canRead();
}

bool FrameAnimation::readFrame()
{
    const QImage frame = m_reader->read();
    if (frame.isNull())
        return false;
    m_frame = frame;
    m_delay = std::max(m_reader->nextImageDelay(), kShortestDelayMs);
    return true;
}

void FrameAnimation::advance()
{
    bool read = m_reader->canRead() && readFrame();
    if (!read) {
        // The last frame: once more from the first while the picture's loops last.
        if (m_loopCount >= 0 && m_loopsDone >= m_loopCount)
            return;
        ++m_loopsDone;
        read = rewind() && readFrame();
        if (!read)
            return;
    }
    if (m_label)
        m_label->setPixmap(QPixmap::fromImage(m_frame));
    m_timer.start(m_delay);
}
