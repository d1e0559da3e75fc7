#include "scalebar.h"

#include "picturebytes.h"
#include "readbin.h"

#include <QPainter>
#include <QWidget>

namespace {

QImage loadPicture(const TReadBin& container, const char* name)
{
    const std::optional<QByteArray> bytes = container.Read(QLatin1String(name));
    return bytes ? pictureFromBytes(*bytes) : QImage();
}

} // namespace

TScaleBar::TScaleBar(const TReadBin& container, std::function<int()> currentScreen, QPoint position, int screen)
    : m_container(container), m_currentScreen(std::move(currentScreen)), m_position(position), m_screen(screen),
      m_right(position.x()), m_bottom(position.y()), m_fill(position.x())
{
}

void TScaleBar::setDialog(QWidget* dialog, QImage* background)
{
    m_dialog = dialog;
    m_background = dialog ? background : nullptr;
}

void TScaleBar::ShowBar()
{
    if (!onBarScreen())
        return;
    m_empty = loadPicture(m_container, kEmptyPicture);
    m_full = loadPicture(m_container, kFullPicture);
    m_right = m_position.x() + m_empty.width();
    m_bottom = m_position.y() + m_empty.height();
    ResetBar();
}

void TScaleBar::ResetBar()
{
    m_fill = m_position.x();
    if (onBarScreen())
        draw(m_empty, 0, m_empty.width());
}

void TScaleBar::AdvanceBar()
{
    if (onBarScreen())
        draw(m_full, m_fill - m_position.x(), 1);
    ++m_fill;
}

void TScaleBar::advanceTo(int k, int n)
{
    if (n <= 0)
        return;
    const qint64 width = m_right - m_position.x();
    // Never past the bar's end, so a bar that has no width cannot keep the search waiting.
    while (m_fill < m_right && qint64(m_fill - m_position.x()) * n <= (k + 1) * width)
        AdvanceBar();
}

void TScaleBar::draw(const QImage& picture, int column, int width)
{
    if (!m_dialog || !m_background || picture.isNull() || column >= picture.width() || width <= 0)
        return;
    const QRect source(column, 0, std::min(width, int(picture.width() - column)), picture.height());
    const QPoint at(m_fill, m_position.y());
    {
        QPainter painter(m_background);
        painter.drawImage(at, picture, source);
    }
    m_dialog->update(QRect(at, source.size()));
}
