#include "previewicons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace {

const QColor kInk(40, 40, 40);
const QColor kPaper(Qt::white);
const QColor kAccent(30, 90, 170);

// Each picture is drawn on a 22 x 22 grid.
using Drawing = std::function<void(QPainter&)>;

void sheet(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawRect(r);
}

void lines(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(kInk, 1));
    for (double y = r.top() + 3; y < r.bottom() - 1.5; y += 2.5)
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

void triangle(QPainter& p, double x, double y, double size, bool right)
{
    QPainterPath path;
    const double d = right ? size : -size;
    path.moveTo(x, y - size);
    path.lineTo(x + d, y);
    path.lineTo(x, y + size);
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawPath(path);
}

void bar(QPainter& p, double x)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawRect(QRectF(x, 5, 2.5, 12));
}

void magnifier(QPainter& p, QPointF centre, double radius)
{
    p.setPen(QPen(kInk, 1.6));
    p.setBrush(QColor(220, 235, 255));
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
    const double d = radius * 0.72;
    p.drawLine(centre + QPointF(d, d), centre + QPointF(d + 5, d + 5));
}

void arrowHead(QPainter& p, QPointF tip, double dx)
{
    QPainterPath path;
    path.moveTo(tip);
    path.lineTo(tip.x() - dx, tip.y() - 3.5);
    path.lineTo(tip.x() - dx, tip.y() + 3.5);
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawPath(path);
}

Drawing drawingFor(const QString& name)
{
    if (name == QLatin1String("PrintBut"))
        return [](QPainter& p) {
            sheet(p, QRectF(6, 2.5, 10, 7));
            p.setPen(QPen(kInk, 1.2));
            p.setBrush(QColor(190, 190, 190));
            p.drawRoundedRect(QRectF(2.5, 8.5, 17, 7.5), 1.5, 1.5);
            sheet(p, QRectF(6, 13, 10, 6.5));
            lines(p, QRectF(6, 13, 10, 6.5));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(60, 170, 60));
            p.drawEllipse(QPointF(16.5, 11), 1, 1);
        };
    if (name == QLatin1String("PageOrientationBut"))
        return [](QPainter& p) {
            sheet(p, QRectF(3, 2.5, 9, 13));
            sheet(p, QRectF(8, 11, 11.5, 8));
            p.setPen(QPen(kAccent, 1.5));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(11, 3, 9, 9), 0, 90 * 16);
            arrowHead(p, QPointF(15.5, 10.5), -0.5);
        };
    if (name == QLatin1String("FirstPageBut"))
        return [](QPainter& p) {
            bar(p, 4);
            triangle(p, 17, 11, 6, false);
        };
    if (name == QLatin1String("PrevPageBut"))
        return [](QPainter& p) { triangle(p, 14, 11, 6, false); };
    if (name == QLatin1String("NextPageBut"))
        return [](QPainter& p) { triangle(p, 8, 11, 6, true); };
    if (name == QLatin1String("LastPageBut"))
        return [](QPainter& p) {
            triangle(p, 5, 11, 6, true);
            bar(p, 15.5);
        };
    if (name == QLatin1String("GoToPageBut"))
        return [](QPainter& p) {
            sheet(p, QRectF(3, 2.5, 11, 16));
            lines(p, QRectF(3, 2.5, 11, 16));
            p.setPen(QPen(kAccent, 2));
            p.drawLine(QPointF(9, 13), QPointF(16, 13));
            arrowHead(p, QPointF(20.5, 13), 5);
        };
    if (name == QLatin1String("FitPageBut"))
        return [](QPainter& p) {
            p.setPen(QPen(kAccent, 1.4, Qt::DashLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(2, 2, 18, 18));
            sheet(p, QRectF(6, 4.5, 10, 13));
            lines(p, QRectF(6, 4.5, 10, 13));
        };
    if (name == QLatin1String("FitWidthBut"))
        return [](QPainter& p) {
            sheet(p, QRectF(5, 2.5, 12, 17));
            p.setPen(QPen(kAccent, 1.6));
            p.drawLine(QPointF(4, 11), QPointF(18, 11));
            arrowHead(p, QPointF(1.5, 11), -4);
            arrowHead(p, QPointF(20.5, 11), 4);
        };
    if (name == QLatin1String("RestoreStartPrintZoomBut"))
        return [](QPainter& p) {
            p.setPen(QPen(kAccent, 2));
            p.drawLine(QPointF(4, 7), QPointF(6, 5.5));
            p.drawLine(QPointF(6, 5.5), QPointF(6, 17));
            p.drawLine(QPointF(16, 7), QPointF(18, 5.5));
            p.drawLine(QPointF(18, 5.5), QPointF(18, 17));
            p.setPen(Qt::NoPen);
            p.setBrush(kInk);
            p.drawEllipse(QPointF(11, 9), 1.3, 1.3);
            p.drawEllipse(QPointF(11, 14.5), 1.3, 1.3);
        };
    if (name == QLatin1String("ZoomCursorPrintBut"))
        return [](QPainter& p) {
            sheet(p, QRectF(2.5, 2.5, 11, 15));
            lines(p, QRectF(2.5, 2.5, 11, 15));
            magnifier(p, QPointF(12.5, 11.5), 4.5);
        };
    if (name == QLatin1String("ZoomCursorBut"))
        return [](QPainter& p) {
            magnifier(p, QPointF(9, 9), 6);
            p.setPen(QPen(kInk, 1.5));
            p.drawLine(QPointF(6, 9), QPointF(12, 9));
            p.drawLine(QPointF(9, 6), QPointF(9, 12));
        };
    if (name == QLatin1String("HandCursorBut"))
        return [](QPainter& p) {
            QPainterPath hand;
            for (int i = 0; i < 4; ++i)
                hand.addRoundedRect(QRectF(6 + 3.2 * i, 3 + (i == 0 || i == 3 ? 2 : 0), 3, 10), 1.5, 1.5);
            hand.addRoundedRect(QRectF(2, 10, 6, 3.2), 1.5, 1.5);
            hand.addRoundedRect(QRectF(6, 9, 12.6, 10), 3, 3);
            p.setPen(QPen(kInk, 1.2));
            p.setBrush(QColor(255, 224, 189));
            p.drawPath(hand.simplified());
        };
    if (name == QLatin1String("OnePageBut"))
        return [](QPainter& p) {
            sheet(p, QRectF(5.5, 2.5, 11, 17));
            lines(p, QRectF(5.5, 2.5, 11, 17));
        };
    if (name == QLatin1String("TwoPageBut"))
        return [](QPainter& p) {
            sheet(p, QRectF(1.5, 4, 8.5, 13));
            lines(p, QRectF(1.5, 4, 8.5, 13));
            sheet(p, QRectF(12, 4, 8.5, 13));
            lines(p, QRectF(12, 4, 8.5, 13));
        };
    if (name == QLatin1String("HelpBut"))
        return [](QPainter& p) {
            p.setPen(QPen(kAccent, 1.5));
            p.setBrush(QColor(220, 235, 255));
            p.drawEllipse(QPointF(11, 11), 8.5, 8.5);
            QPainterPath mark;
            mark.moveTo(8, 8.5);
            mark.cubicTo(8, 5, 14, 5, 14, 8.5);
            mark.cubicTo(14, 10.5, 11, 10.5, 11, 13);
            p.setPen(QPen(kAccent, 2, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawPath(mark);
            p.setPen(Qt::NoPen);
            p.setBrush(kAccent);
            p.drawEllipse(QPointF(11, 16), 1.3, 1.3);
        };
    if (name == QLatin1String("CloseBut"))
        return [](QPainter& p) {
            p.setPen(QPen(QColor(190, 40, 40), 2.6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(5, 5), QPointF(17, 17));
            p.drawLine(QPointF(17, 5), QPointF(5, 17));
        };
    return {};
}

// Draws its picture when asked, at the size asked for: nothing is drawn for a window that is
// never shown (a print to a file).
class DrawnIconEngine final : public QIconEngine
{
public:
    explicit DrawnIconEngine(Drawing drawing) : m_drawing(std::move(drawing)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / 22.0, rect.height() / 22.0);
        if (mode == QIcon::Disabled)
            painter->setOpacity(0.35);
        m_drawing(*painter);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap picture(size);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        paint(&painter, QRect(QPoint(), size), mode, state);
        return picture;
    }

    QIconEngine* clone() const override { return new DrawnIconEngine(m_drawing); }

private:
    Drawing m_drawing;
};

} // namespace

QIcon previewIcon(const QString& button)
{
    Drawing drawing = drawingFor(button);
    if (!drawing)
        return {};
    return QIcon(new DrawnIconEngine(std::move(drawing)));
}
