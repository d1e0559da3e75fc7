// skingen: draws every picture of the demo's skin as a 24-bit BMP (plus the window icon) into a
// folder. The positions below are the ones the scripts in demo/scripts use: each control is drawn
// over the piece of its window's background it covers, so rounded faces blend into the window
// when the reader composes them. pictures.txt beside this file lists the files written.
//
// Usage: skingen OUTDIR           (runs with QT_QPA_PLATFORM=offscreen)
//        skingen --icons OUTDIR   the program's icon in the hicolor theme's layout below OUTDIR:
//                                 NxN/apps/velbrook.png for N from 16 to 256, and
//                                 scalable/apps/velbrook.svg

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QStringList>

#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

namespace {

// The house palette: graphite with warm amber accents (the media use the same).
const QColor kOutside(0x12, 0x13, 0x15);
const QColor kGraphite(0x2B, 0x2D, 0x31);
const QColor kGraphiteDark(0x1C, 0x1D, 0x20);
const QColor kGraphiteLight(0x3C, 0x3F, 0x45);
const QColor kEdge(0x55, 0x58, 0x5F);
const QColor kSteel(0x8A, 0x8F, 0x98);
const QColor kLight(0xE8, 0xE4, 0xDC);
const QColor kAmber(0xF2, 0xA9, 0x3B);
const QColor kAmberDark(0xB8, 0x74, 0x1A);
const QColor kHot(0xD9, 0x55, 0x3B);

constexpr int kMainW = 780;
constexpr int kMainH = 600;
// Fixed by the reader: the document panel, the 3D video area and the animated piston.
constexpr QRect kDocumentPanel(33, 90, 673, 421);
constexpr QRect kVideoArea(31, 135, 656, 259);
constexpr QRect kPiston(583, 470, 100, 100);

// Window outlines, also written as the vertex lists of the scripts.
const std::vector<QPoint> kMainOutline = {{0, 32},    {1, 25},   {5, 19},    {11, 15},   {18, 14},   {34, 14},
                                          {48, 0},    {432, 0},  {446, 14},  {762, 14},  {769, 15},  {775, 19},
                                          {779, 25},  {780, 32}, {780, 582}, {779, 589}, {775, 595}, {769, 599},
                                          {762, 600}, {18, 600}, {11, 599},  {5, 595},   {1, 589},   {0, 582}};
const std::vector<QPoint> kMenuOutline = {{0, 12},   {2, 6},    {6, 2},     {12, 0},    {208, 0},   {214, 2},
                                          {218, 6},  {220, 12}, {220, 238}, {218, 244}, {214, 248}, {208, 250},
                                          {12, 250}, {6, 248},  {2, 244},   {0, 238}};
const std::vector<QPoint> kAboutOutline = {
    {0, 22},    {2, 14},    {6, 6},     {14, 2},    {22, 0},    {418, 0},  {426, 2},  {434, 6}, {438, 14}, {440, 22},
    {440, 278}, {438, 286}, {434, 294}, {426, 298}, {418, 300}, {22, 300}, {14, 298}, {6, 294}, {2, 286},  {0, 278}};

enum class Surface
{
    Start,
    Reader,
    Media,
    Service,
    Thesaurus,
    DialogMessage,
    DialogFind,
    DialogNoPrinter,
    DialogDefaultPrinter,
    About,
    PopupList,
    PopupMenu
};

enum class Face
{
    Tool,
    Pill,
    Primary,
    Round,
    Header,
    HeaderClose,
    Toggle3d,
    Check,
    Tab,
    ListItem,
    MenuItem
};

enum class Glyph
{
    None,
    Home,
    Read,
    Back,
    Forward,
    Drop,
    Star,
    StarPlus,
    StarMinus,
    Print,
    Search,
    Thesaurus,
    Menu,
    Top,
    Copy,
    Archive,
    Window,
    Help,
    Music,
    Gear,
    Info,
    Mute,
    Pause,
    Stop,
    StepBack,
    StepForward,
    Prev,
    Next,
    Minimize,
    Close,
    Ok
};

// A push button has the pictures _up, _mv, _dn; a switch _off, _offmv, _onmv, _on.
struct Control
{
    Surface surface;
    const char* name;
    int x, y, w, h;
    Face face;
    Glyph glyph;
    bool isSwitch;
    const char* label; // text drawn into the picture itself (the scripts draw the other captions)
};

// Every control of every window, at the place its script declares it.
const Control kControls[] = {
    // Header buttons shared by the four screens of the main window.
    {Surface::Start, "hdr_min", 712, 20, 26, 26, Face::Header, Glyph::Minimize, false, nullptr},
    {Surface::Start, "hdr_x", 742, 20, 26, 26, Face::HeaderClose, Glyph::Close, false, nullptr},

    // Screen 1: start.
    {Surface::Start, "s1_3d", 611, 100, 76, 28, Face::Toggle3d, Glyph::None, true, nullptr},
    {Surface::Start, "s1_help", 708, 140, 52, 52, Face::Round, Glyph::Help, false, nullptr},
    {Surface::Start, "s1_music", 708, 204, 52, 52, Face::Round, Glyph::Music, false, nullptr},
    {Surface::Start, "s1_options", 708, 268, 52, 52, Face::Round, Glyph::Gear, false, nullptr},
    {Surface::Start, "s1_about", 708, 332, 52, 52, Face::Round, Glyph::Info, false, nullptr},
    {Surface::Start, "s1_manual", 31, 410, 126, 40, Face::Primary, Glyph::None, false, nullptr},
    {Surface::Start, "s1_media", 163, 410, 126, 40, Face::Pill, Glyph::None, false, nullptr},
    {Surface::Start, "s1_service", 295, 410, 126, 40, Face::Pill, Glyph::None, false, nullptr},
    {Surface::Start, "s1_tez", 427, 410, 126, 40, Face::Pill, Glyph::None, false, nullptr},
    {Surface::Start, "s1_chapters", 559, 410, 128, 40, Face::Pill, Glyph::None, false, nullptr},
    {Surface::Start, "s1_exit", 31, 552, 110, 32, Face::Pill, Glyph::None, false, nullptr},

    // Screen 2: reading. Toolbar, right column, bottom bar.
    {Surface::Reader, "s2_home", 20, 48, 34, 34, Face::Tool, Glyph::Home, false, nullptr},
    {Surface::Reader, "s2_back", 66, 48, 34, 34, Face::Tool, Glyph::Back, false, nullptr},
    {Surface::Reader, "s2_hback", 100, 48, 14, 34, Face::Tool, Glyph::Drop, false, nullptr},
    {Surface::Reader, "s2_fwd", 118, 48, 34, 34, Face::Tool, Glyph::Forward, false, nullptr},
    {Surface::Reader, "s2_hfwd", 152, 48, 14, 34, Face::Tool, Glyph::Drop, false, nullptr},
    {Surface::Reader, "s2_fav", 180, 48, 34, 34, Face::Tool, Glyph::Star, false, nullptr},
    {Surface::Reader, "s2_favadd", 218, 48, 34, 34, Face::Tool, Glyph::StarPlus, false, nullptr},
    {Surface::Reader, "s2_favdel", 256, 48, 34, 34, Face::Tool, Glyph::StarMinus, false, nullptr},
    {Surface::Reader, "s2_print", 304, 48, 34, 34, Face::Tool, Glyph::Print, false, nullptr},
    {Surface::Reader, "s2_find", 342, 48, 34, 34, Face::Tool, Glyph::Search, false, nullptr},
    {Surface::Reader, "s2_tez", 380, 48, 34, 34, Face::Tool, Glyph::Thesaurus, false, nullptr},
    {Surface::Reader, "s2_menu", 418, 48, 34, 34, Face::Tool, Glyph::Menu, false, nullptr},
    {Surface::Reader, "s2_top", 718, 92, 50, 40, Face::Tool, Glyph::Top, false, nullptr},
    {Surface::Reader, "s2_copy", 718, 136, 50, 40, Face::Tool, Glyph::Copy, false, nullptr},
    {Surface::Reader, "s2_unarc", 718, 180, 50, 40, Face::Tool, Glyph::Archive, false, nullptr},
    {Surface::Reader, "s2_plain", 718, 224, 50, 40, Face::Tool, Glyph::Window, false, nullptr},
    {Surface::Reader, "s2_case", 718, 290, 50, 36, Face::Check, Glyph::None, true, nullptr},
    {Surface::Reader, "s2_scope1", 718, 352, 50, 36, Face::Check, Glyph::None, true, nullptr},
    {Surface::Reader, "s2_scope2", 718, 392, 50, 36, Face::Check, Glyph::None, true, nullptr},
    {Surface::Reader, "s2_prev", 31, 522, 110, 32, Face::Pill, Glyph::None, false, nullptr},
    {Surface::Reader, "s2_next", 147, 522, 110, 32, Face::Pill, Glyph::None, false, nullptr},
    {Surface::Reader, "s2_tree", 275, 522, 130, 32, Face::Check, Glyph::None, true, nullptr},
    {Surface::Reader, "s2_panel", 411, 522, 150, 32, Face::Check, Glyph::None, true, nullptr},
    {Surface::Reader, "s2_media", 658, 522, 110, 32, Face::Pill, Glyph::None, false, nullptr},

    // Screens 3 and 4 share the navigation buttons of their header.
    {Surface::Media, "nav_home", 20, 48, 34, 34, Face::Tool, Glyph::Home, false, nullptr},
    {Surface::Media, "nav_read", 58, 48, 34, 34, Face::Tool, Glyph::Read, false, nullptr},

    // Screen 3: video and slides.
    {Surface::Media, "s3_stepback", 24, 350, 34, 34, Face::Tool, Glyph::StepBack, false, nullptr},
    {Surface::Media, "s3_pause", 62, 350, 34, 34, Face::Tool, Glyph::Pause, false, nullptr},
    {Surface::Media, "s3_stop", 100, 350, 34, 34, Face::Tool, Glyph::Stop, false, nullptr},
    {Surface::Media, "s3_stepfwd", 138, 350, 34, 34, Face::Tool, Glyph::StepForward, false, nullptr},
    {Surface::Media, "s3_mute", 310, 350, 34, 34, Face::Tool, Glyph::Mute, false, nullptr},
    {Surface::Media, "s3_video1", 24, 390, 158, 32, Face::Pill, Glyph::None, false, nullptr},
    {Surface::Media, "s3_video2", 186, 390, 158, 32, Face::Pill, Glyph::None, false, nullptr},
    {Surface::Media, "s3_prevpic", 360, 412, 34, 34, Face::Tool, Glyph::Prev, false, nullptr},
    {Surface::Media, "s3_nextpic", 398, 412, 34, 34, Face::Tool, Glyph::Next, false, nullptr},
    {Surface::Media, "s3_music", 726, 412, 34, 34, Face::Tool, Glyph::Music, false, nullptr},

    // Screen 4: reference pages.
    {Surface::Service, "s4_tab1", 216, 98, 130, 30, Face::Tab, Glyph::None, true, nullptr},
    {Surface::Service, "s4_tab2", 350, 98, 130, 30, Face::Tab, Glyph::None, true, nullptr},
    {Surface::Service, "s4_tab3", 484, 98, 130, 30, Face::Tab, Glyph::None, true, nullptr},
    {Surface::Service, "s4_tab4", 618, 98, 130, 30, Face::Tab, Glyph::None, true, nullptr},
    {Surface::Service, "s4_serial", 20, 100, 184, 32, Face::Pill, Glyph::None, false, nullptr},
    {Surface::Service, "s4_help", 20, 138, 184, 32, Face::Pill, Glyph::None, false, nullptr},
    {Surface::Service, "s4_browser", 20, 176, 184, 32, Face::Pill, Glyph::None, false, nullptr},
    {Surface::Service, "s4_fonts", 20, 214, 184, 32, Face::Pill, Glyph::None, false, nullptr},
    {Surface::Service, "s4_options", 20, 252, 184, 32, Face::Pill, Glyph::None, false, nullptr},
    {Surface::Service, "s4_about", 20, 290, 184, 32, Face::Pill, Glyph::None, false, nullptr},
    {Surface::Service, "s4_tez", 20, 328, 184, 32, Face::Pill, Glyph::None, false, nullptr},
    {Surface::Service, "s4_video", 20, 552, 184, 32, Face::Pill, Glyph::None, false, nullptr},

    // The thesaurus window.
    {Surface::Thesaurus, "tz_min", 496, 10, 24, 24, Face::Header, Glyph::Minimize, false, nullptr},
    {Surface::Thesaurus, "tz_x", 524, 10, 24, 24, Face::HeaderClose, Glyph::Close, false, nullptr},
    {Surface::Thesaurus, "tz_back", 16, 50, 34, 34, Face::Tool, Glyph::Back, false, nullptr},
    {Surface::Thesaurus, "tz_fwd", 54, 50, 34, 34, Face::Tool, Glyph::Forward, false, nullptr},
    {Surface::Thesaurus, "tz_print", 92, 50, 34, 34, Face::Tool, Glyph::Print, false, nullptr},
    {Surface::Thesaurus, "tz_find", 428, 50, 116, 34, Face::Pill, Glyph::Search, false, "Найти"},

    // The skinned dialog: message pages share their OK button.
    {Surface::DialogMessage, "dlg_ok", 150, 104, 80, 30, Face::Pill, Glyph::None, false, "ОК"},
    {Surface::DialogFind, "dlg_x", 370, 5, 22, 20, Face::HeaderClose, Glyph::Close, false, nullptr},
    {Surface::DialogFind, "dlg_find", 308, 36, 80, 30, Face::Primary, Glyph::None, false, "Найти"},
    {Surface::DialogFind, "dlg_where1", 16, 86, 118, 24, Face::Check, Glyph::None, true, nullptr},
    {Surface::DialogFind, "dlg_where2", 141, 86, 118, 24, Face::Check, Glyph::None, true, nullptr},
    {Surface::DialogFind, "dlg_where3", 266, 86, 118, 24, Face::Check, Glyph::None, true, nullptr},

    // The about window.
    {Surface::About, "about_ok", 170, 252, 100, 32, Face::Pill, Glyph::None, false, "Закрыть"},

    // Popup items (drawn over the popup backgrounds at the first item's place).
    {Surface::PopupList, "pop_item", 6, 6, 228, 24, Face::ListItem, Glyph::None, false, nullptr},
    {Surface::PopupMenu, "pop_menu", 8, 8, 204, 26, Face::MenuItem, Glyph::None, false, nullptr},
};

QString gFontSans = QStringLiteral("DejaVu Sans");

QFont font(int pixels, bool bold = false)
{
    QFont f(gFontSans);
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QImage blank(int w, int h, const QColor& colour)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

QPainterPath polygonPath(const std::vector<QPoint>& points)
{
    QPainterPath path;
    path.moveTo(points.front());
    for (size_t i = 1; i < points.size(); ++i)
        path.lineTo(points[i]);
    path.closeSubpath();
    return path;
}

QLinearGradient vertical(const QRectF& r, const QColor& top, const QColor& bottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

QColor alpha(QColor c, int a)
{
    c.setAlpha(a);
    return c;
}

// A sunken frame around r (2 px outside it), r itself filled with fill.
void well(QPainter& p, const QRect& r, const QColor& fill, int radius = 4)
{
    p.save();
    p.setPen(Qt::NoPen);
    const QRectF outer = QRectF(r).adjusted(-3, -3, 3, 3);
    p.setBrush(vertical(outer, QColor(0x0E, 0x0F, 0x11), QColor(0x4A, 0x4D, 0x53)));
    p.drawRoundedRect(outer, radius + 2, radius + 2);
    p.setBrush(QColor(0x17, 0x18, 0x1B));
    p.drawRoundedRect(QRectF(r).adjusted(-2, -2, 2, 2), radius + 1, radius + 1);
    p.restore();
    p.fillRect(r, fill);
}

void text(QPainter& p, int x, int y, const QString& s, const QFont& f, const QColor& c)
{
    p.setFont(f);
    p.setPen(c);
    p.drawText(QPoint(x, y + QFontMetrics(f).ascent()), s);
}

void textCentred(QPainter& p, const QRectF& r, const QString& s, const QFont& f, const QColor& c)
{
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, Qt::AlignCenter, s);
}

// The brand mark: an amber hexagon with a stylised V.
// The house mark: an amber hexagon with a dark V. Its geometry serves the painted pictures and the
// scalable icon alike.
struct MarkShape
{
    QPolygonF hexagon;
    QPolygonF v;
    QRectF box;
    double edgeWidth = 1;
    double vWidth = 1;
};

const QColor kMarkTop(0xFF, 0xC8, 0x6A);

MarkShape markShape(const QPointF& centre, double size)
{
    MarkShape shape;
    for (int i = 0; i < 6; ++i) {
        const double a = M_PI / 3 * i - M_PI / 2;
        shape.hexagon << QPointF(centre.x() + size / 2 * std::cos(a), centre.y() + size / 2 * std::sin(a));
    }
    shape.box = QRectF(centre.x() - size / 2, centre.y() - size / 2, size, size);
    shape.v << centre + QPointF(-size * 0.22, -size * 0.18) << centre + QPointF(0, size * 0.22)
            << centre + QPointF(size * 0.22, -size * 0.18);
    shape.edgeWidth = std::max(1.0, size / 20);
    shape.vWidth = size / 9;
    return shape;
}

void mark(QPainter& p, const QPointF& centre, double size)
{
    const MarkShape shape = markShape(centre, size);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath hex;
    hex.addPolygon(shape.hexagon);
    hex.closeSubpath();
    p.setPen(QPen(kAmberDark, shape.edgeWidth));
    p.setBrush(vertical(shape.box, kMarkTop, kAmberDark));
    p.drawPath(hex);
    QPainterPath v;
    v.addPolygon(shape.v);
    p.setPen(QPen(kGraphiteDark, shape.vWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(v);
    p.restore();
}

// The mark as an SVG picture of size x size units, drawn as mark() paints it.
QByteArray markSvg(int size)
{
    const MarkShape shape = markShape(QPointF(size / 2.0, size / 2.0), size * 0.96);
    const auto points = [](const QPolygonF& polygon) {
        QStringList list;
        for (const QPointF& pt : polygon)
            list << QStringLiteral("%1,%2").arg(pt.x(), 0, 'f', 2).arg(pt.y(), 0, 'f', 2);
        return list.join(QLatin1Char(' '));
    };
    QString svg;
    svg += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    svg +=
        QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" viewBox=\"0 0 %1 %1\">\n")
            .arg(size);
    svg +=
        QStringLiteral("  <defs>\n    <linearGradient id=\"face\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\"%1\" "
                       "x2=\"0\" y2=\"%2\">\n")
            .arg(shape.box.top(), 0, 'f', 2)
            .arg(shape.box.bottom(), 0, 'f', 2);
    svg +=
        QStringLiteral("      <stop offset=\"0\" stop-color=\"%1\"/>\n      <stop offset=\"1\" stop-color=\"%2\"/>\n")
            .arg(kMarkTop.name(), kAmberDark.name());
    svg += QStringLiteral("    </linearGradient>\n  </defs>\n");
    svg += QStringLiteral("  <polygon points=\"%1\" fill=\"url(#face)\" stroke=\"%2\" stroke-width=\"%3\"/>\n")
               .arg(points(shape.hexagon), kAmberDark.name())
               .arg(shape.edgeWidth, 0, 'f', 2);
    svg += QStringLiteral("  <polyline points=\"%1\" fill=\"none\" stroke=\"%2\" stroke-width=\"%3\" "
                          "stroke-linecap=\"round\" stroke-linejoin=\"round\"/>\n")
               .arg(points(shape.v), kGraphiteDark.name())
               .arg(shape.vWidth, 0, 'f', 2);
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

// ---------------------------------------------------------------------------------------------
// Glyphs, drawn in a square box.

void glyph(QPainter& p, Glyph g, const QRectF& area, const QColor& c)
{
    if (g == Glyph::None)
        return;
    const double s = std::min(area.width(), area.height());
    const double size = g == Glyph::Drop ? std::min(s, 10.0) : s * 0.52;
    const QRectF b(area.center().x() - size / 2, area.center().y() - size / 2, size, size);
    const auto at = [&](double x, double y) { return QPointF(b.left() + x * size, b.top() + y * size); };
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double w = std::max(1.6, size / 10);
    QPen pen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    const auto poly = [&](std::initializer_list<QPointF> pts, bool close, bool fill) {
        QPainterPath q;
        bool first = true;
        for (const QPointF& pt : pts) {
            first ? q.moveTo(pt) : q.lineTo(pt);
            first = false;
        }
        if (close)
            q.closeSubpath();
        p.setBrush(fill ? QBrush(c) : Qt::NoBrush);
        p.drawPath(q);
        p.setBrush(Qt::NoBrush);
    };
    const auto star = [&](double cx, double cy, double r, bool fill) {
        QPainterPath q;
        for (int i = 0; i < 10; ++i) {
            const double a = -M_PI / 2 + i * M_PI / 5;
            const double rr = i % 2 ? r * 0.45 : r;
            const QPointF pt = at(cx + rr * std::cos(a), cy + rr * std::sin(a));
            i == 0 ? q.moveTo(pt) : q.lineTo(pt);
        }
        q.closeSubpath();
        p.setBrush(fill ? QBrush(c) : Qt::NoBrush);
        p.drawPath(q);
        p.setBrush(Qt::NoBrush);
    };
    switch (g) {
    case Glyph::Home:
        poly({at(0.05, 0.5), at(0.5, 0.08), at(0.95, 0.5)}, false, false);
        poly({at(0.18, 0.4), at(0.18, 0.92), at(0.82, 0.92), at(0.82, 0.4)}, false, false);
        p.drawRect(QRectF(at(0.42, 0.62), at(0.58, 0.92)));
        break;
    case Glyph::Read:
        poly({at(0.5, 0.22), at(0.05, 0.12), at(0.05, 0.82), at(0.5, 0.92), at(0.95, 0.82), at(0.95, 0.12)}, true,
             false);
        p.drawLine(at(0.5, 0.22), at(0.5, 0.92));
        break;
    case Glyph::Back:
        poly({at(0.45, 0.15), at(0.1, 0.5), at(0.45, 0.85)}, false, false);
        p.drawLine(at(0.1, 0.5), at(0.92, 0.5));
        break;
    case Glyph::Forward:
        poly({at(0.55, 0.15), at(0.9, 0.5), at(0.55, 0.85)}, false, false);
        p.drawLine(at(0.9, 0.5), at(0.08, 0.5));
        break;
    case Glyph::Drop:
        p.setPen(Qt::NoPen);
        poly({at(0.1, 0.3), at(0.9, 0.3), at(0.5, 0.75)}, true, true);
        break;
    case Glyph::Star:
        star(0.5, 0.54, 0.48, false);
        break;
    case Glyph::StarPlus:
    case Glyph::StarMinus:
        star(0.4, 0.48, 0.4, false);
        p.setPen(QPen(c, w * 1.1, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(at(0.66, 0.86), at(1.0, 0.86));
        if (g == Glyph::StarPlus)
            p.drawLine(at(0.83, 0.69), at(0.83, 1.03));
        break;
    case Glyph::Print:
        p.drawRect(QRectF(at(0.26, 0.05), at(0.74, 0.35)));
        p.drawRoundedRect(QRectF(at(0.04, 0.35), at(0.96, 0.75)), size * 0.08, size * 0.08);
        p.setBrush(QBrush(c));
        p.drawRect(QRectF(at(0.26, 0.6), at(0.74, 0.95)));
        break;
    case Glyph::Search:
        p.drawEllipse(QRectF(at(0.06, 0.06), at(0.66, 0.66)));
        p.setPen(QPen(c, w * 1.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(at(0.6, 0.6), at(0.94, 0.94));
        break;
    case Glyph::Thesaurus:
        p.drawRoundedRect(QRectF(at(0.14, 0.04), at(0.86, 0.96)), size * 0.06, size * 0.06);
        p.drawLine(at(0.3, 0.04), at(0.3, 0.96));
        p.setFont(font(int(size * 0.42), true));
        p.drawText(QRectF(at(0.3, 0.1), at(0.86, 0.9)), Qt::AlignCenter, QStringLiteral("Т"));
        break;
    case Glyph::Menu:
        for (double y : {0.2, 0.5, 0.8})
            p.drawLine(at(0.08, y), at(0.92, y));
        break;
    case Glyph::Top:
        p.drawLine(at(0.1, 0.08), at(0.9, 0.08));
        poly({at(0.2, 0.55), at(0.5, 0.25), at(0.8, 0.55)}, false, false);
        p.drawLine(at(0.5, 0.25), at(0.5, 0.95));
        break;
    case Glyph::Copy:
        p.drawRoundedRect(QRectF(at(0.08, 0.04), at(0.62, 0.66)), 2, 2);
        p.setBrush(QBrush(alpha(c, 70)));
        p.drawRoundedRect(QRectF(at(0.38, 0.34), at(0.92, 0.96)), 2, 2);
        break;
    case Glyph::Archive:
        p.drawRect(QRectF(at(0.04, 0.08), at(0.96, 0.3)));
        p.drawRect(QRectF(at(0.1, 0.3), at(0.9, 0.94)));
        p.drawLine(at(0.5, 0.42), at(0.5, 0.8));
        poly({at(0.34, 0.64), at(0.5, 0.8), at(0.66, 0.64)}, false, false);
        break;
    case Glyph::Window:
        p.drawRoundedRect(QRectF(at(0.04, 0.1), at(0.96, 0.9)), 2, 2);
        p.drawLine(at(0.04, 0.3), at(0.96, 0.3));
        p.drawLine(at(0.3, 0.3), at(0.3, 0.9));
        break;
    case Glyph::Help:
        p.setFont(font(int(size * 1.1), true));
        p.drawText(b.adjusted(-4, -4, 4, 4), Qt::AlignCenter, QStringLiteral("?"));
        break;
    case Glyph::Info:
        p.setFont(QFont(QStringLiteral("DejaVu Serif"), -1, QFont::Bold));
        {
            QFont f(QStringLiteral("DejaVu Serif"));
            f.setBold(true);
            f.setPixelSize(int(size * 1.1));
            p.setFont(f);
        }
        p.drawText(b.adjusted(-4, -4, 4, 4), Qt::AlignCenter, QStringLiteral("i"));
        break;
    case Glyph::Music:
        p.setBrush(QBrush(c));
        p.drawEllipse(QRectF(at(0.06, 0.68), at(0.36, 0.94)));
        p.drawEllipse(QRectF(at(0.62, 0.58), at(0.92, 0.84)));
        p.setBrush(Qt::NoBrush);
        p.drawLine(at(0.35, 0.8), at(0.35, 0.14));
        p.drawLine(at(0.91, 0.7), at(0.91, 0.04));
        p.setPen(QPen(c, w * 1.8, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(at(0.35, 0.16), at(0.91, 0.06));
        break;
    case Glyph::Gear: {
        QPainterPath gear;
        const int teeth = 8;
        for (int i = 0; i < teeth * 4; ++i) {
            const double a = 2 * M_PI * i / (teeth * 4);
            const double r = (i % 4 < 2) ? 0.5 : 0.38;
            const QPointF pt = at(0.5 + r * std::cos(a), 0.5 + r * std::sin(a));
            i == 0 ? gear.moveTo(pt) : gear.lineTo(pt);
        }
        gear.closeSubpath();
        p.drawPath(gear);
        p.drawEllipse(QRectF(at(0.35, 0.35), at(0.65, 0.65)));
        break;
    }
    case Glyph::Mute:
        poly({at(0.05, 0.36), at(0.25, 0.36), at(0.5, 0.12), at(0.5, 0.88), at(0.25, 0.64), at(0.05, 0.64)}, true,
             true);
        p.drawLine(at(0.66, 0.34), at(0.96, 0.66));
        p.drawLine(at(0.96, 0.34), at(0.66, 0.66));
        break;
    case Glyph::Pause:
        p.setBrush(QBrush(c));
        p.drawRoundedRect(QRectF(at(0.18, 0.1), at(0.4, 0.9)), 1, 1);
        p.drawRoundedRect(QRectF(at(0.6, 0.1), at(0.82, 0.9)), 1, 1);
        break;
    case Glyph::Stop:
        p.setBrush(QBrush(c));
        p.drawRoundedRect(QRectF(at(0.14, 0.14), at(0.86, 0.86)), 2, 2);
        break;
    case Glyph::StepBack:
        poly({at(0.5, 0.18), at(0.06, 0.5), at(0.5, 0.82)}, true, true);
        poly({at(0.94, 0.18), at(0.5, 0.5), at(0.94, 0.82)}, true, true);
        break;
    case Glyph::StepForward:
        poly({at(0.5, 0.18), at(0.94, 0.5), at(0.5, 0.82)}, true, true);
        poly({at(0.06, 0.18), at(0.5, 0.5), at(0.06, 0.82)}, true, true);
        break;
    case Glyph::Prev:
        p.setPen(QPen(c, w * 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        poly({at(0.68, 0.1), at(0.28, 0.5), at(0.68, 0.9)}, false, false);
        break;
    case Glyph::Next:
        p.setPen(QPen(c, w * 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        poly({at(0.32, 0.1), at(0.72, 0.5), at(0.32, 0.9)}, false, false);
        break;
    case Glyph::Minimize:
        p.drawLine(at(0.18, 0.72), at(0.82, 0.72));
        break;
    case Glyph::Close:
        p.drawLine(at(0.2, 0.2), at(0.8, 0.8));
        p.drawLine(at(0.8, 0.2), at(0.2, 0.8));
        break;
    case Glyph::Ok:
    case Glyph::None:
        break;
    }
    p.restore();
}

// ---------------------------------------------------------------------------------------------
// Faces. A button is drawn Up, Hover, Down; a switch Off, OffHover, OnHover, On.

enum class State
{
    Up,
    Hover,
    Down,
    Off,
    OffHover,
    OnHover,
    On
};

bool isOn(State s)
{
    return s == State::OnHover || s == State::On;
}
bool isHover(State s)
{
    return s == State::Hover || s == State::OffHover || s == State::OnHover;
}

// A raised graphite face; lit makes it lighter, sunk makes it pressed in.
void plate(QPainter& p, const QRectF& r, double radius, bool lit, bool sunk, const QColor& border)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // soft drop shadow
    if (!sunk) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 60));
        p.drawRoundedRect(r.adjusted(0, 1.5, 0, 1.5), radius, radius);
    }
    QColor top = sunk ? QColor(0x1B, 0x1C, 0x1F) : lit ? QColor(0x52, 0x55, 0x5C) : QColor(0x44, 0x47, 0x4D);
    QColor bottom = sunk ? QColor(0x2A, 0x2C, 0x30) : lit ? QColor(0x37, 0x39, 0x3E) : QColor(0x2D, 0x2F, 0x34);
    p.setPen(QPen(border, 1));
    p.setBrush(vertical(r, top, bottom));
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    // top highlight or inner shadow
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(sunk ? QColor(0, 0, 0, 90) : QColor(255, 255, 255, lit ? 46 : 30), 1));
    p.drawRoundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), radius - 1, radius - 1);
    p.restore();
}

void amberPlate(QPainter& p, const QRectF& r, double radius, int level)
{
    // level 0 normal, 1 brighter (hover), 2 pressed
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (level != 2) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 70));
        p.drawRoundedRect(r.adjusted(0, 1.5, 0, 1.5), radius, radius);
    }
    const QColor top = level == 1   ? QColor(0xFF, 0xCE, 0x78)
                       : level == 2 ? QColor(0xC2, 0x7E, 0x22)
                                    : QColor(0xF8, 0xBA, 0x55);
    const QColor bottom = level == 1   ? QColor(0xE8, 0x9E, 0x30)
                          : level == 2 ? QColor(0xA8, 0x68, 0x14)
                                       : QColor(0xD0, 0x88, 0x22);
    p.setPen(QPen(QColor(0x7A, 0x4C, 0x10), 1));
    p.setBrush(vertical(r, top, bottom));
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(level == 2 ? QColor(0, 0, 0, 60) : QColor(255, 255, 255, 90), 1));
    p.drawRoundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), radius - 1, radius - 1);
    p.restore();
}

void glow(QPainter& p, const QRectF& r, double radius)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    for (int i = 3; i >= 1; --i) {
        p.setPen(QPen(alpha(kAmber, 30 + (3 - i) * 25), 1));
        p.drawRoundedRect(r.adjusted(-i + 0.5, -i + 0.5, i - 0.5, i - 0.5), radius + i, radius + i);
    }
    p.restore();
}

void drawLabel(QPainter& p, const QRectF& r, const char* label, Glyph g, const QColor& c, int pixels)
{
    if (!label)
        return;
    const QString s = QString::fromUtf8(label);
    if (g == Glyph::None) {
        textCentred(p, r, s, font(pixels, true), c);
        return;
    }
    // glyph at the left of the text, the pair centred
    const QFont f = font(pixels, true);
    const int tw = QFontMetrics(f).horizontalAdvance(s);
    const double gs = r.height() * 0.9;
    const double total = gs * 0.7 + 6 + tw;
    const double left = r.center().x() - total / 2;
    glyph(p, g, QRectF(left - gs * 0.15, r.top() + (r.height() - gs) / 2, gs, gs), c);
    p.setFont(f);
    p.setPen(c);
    p.drawText(QRectF(left + gs * 0.7 + 6, r.top(), tw + 2, r.height()), Qt::AlignVCenter | Qt::AlignLeft, s);
}

void face(QPainter& p, const Control& c, State s)
{
    const QRectF r(0, 0, c.w, c.h);
    const bool hover = isHover(s);
    const bool down = s == State::Down;
    const QColor glyphColour = (hover || down) ? kAmber : QColor(0xD9, 0xD5, 0xCD);
    const QPointF press = down ? QPointF(0, 1) : QPointF(0, 0);
    p.setRenderHint(QPainter::Antialiasing);
    switch (c.face) {
    case Face::Tool: {
        const double radius = 7;
        plate(p, r.adjusted(1, 1, -1, -2), radius, hover, down,
              down    ? kAmberDark
              : hover ? alpha(kAmber, 170)
                      : QColor(0x17, 0x18, 0x1B));
        glyph(p, c.glyph, r.adjusted(1, 1, -1, -2).translated(press), glyphColour);
        if (c.label)
            drawLabel(p, r.adjusted(6, 1, -6, -2).translated(press), c.label, c.glyph, glyphColour, 13);
        break;
    }
    case Face::Pill: {
        const QRectF body = r.adjusted(1, 1, -1, -2);
        const double radius = std::min(9.0, body.height() / 2);
        if (down) {
            amberPlate(p, body, radius, 2);
        } else {
            plate(p, body, radius, hover, false, hover ? alpha(kAmber, 190) : QColor(0x17, 0x18, 0x1B));
            if (hover)
                glow(p, body, radius);
        }
        const QColor labelColour = down ? kGraphiteDark : hover ? kAmber : kLight;
        if (c.label)
            drawLabel(p, body.translated(press), c.label, c.glyph, labelColour, 13);
        break;
    }
    case Face::Primary: {
        const QRectF body = r.adjusted(1, 1, -1, -2);
        const double radius = std::min(9.0, body.height() / 2);
        amberPlate(p, body, radius, down ? 2 : hover ? 1 : 0);
        if (hover)
            glow(p, body, radius);
        if (c.label)
            drawLabel(p, body.translated(press), c.label, c.glyph, down ? kLight : kGraphiteDark, 13);
        break;
    }
    case Face::Round: {
        const QRectF body = r.adjusted(2, 2, -2, -3);
        const double radius = body.width() / 2;
        plate(p, body, radius, hover, down, down ? kAmberDark : hover ? alpha(kAmber, 190) : QColor(0x17, 0x18, 0x1B));
        if (hover)
            glow(p, body, radius);
        glyph(p, c.glyph, body.adjusted(4, 4, -4, -4).translated(press), glyphColour);
        break;
    }
    case Face::Header:
    case Face::HeaderClose: {
        const QRectF body = r.adjusted(2, 2, -2, -2);
        p.setPen(QPen(hover || down ? QColor(0, 0, 0, 0) : QColor(0x17, 0x18, 0x1B), 1));
        QColor fill = QColor(0x26, 0x28, 0x2C);
        if (hover)
            fill = c.face == Face::HeaderClose ? kHot : kAmber;
        if (down)
            fill = c.face == Face::HeaderClose ? QColor(0xA8, 0x3A, 0x26) : kAmberDark;
        p.setBrush(fill);
        p.drawEllipse(body);
        if (!hover && !down) {
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(QColor(255, 255, 255, 24), 1));
            p.drawEllipse(body.adjusted(1, 1, -1, -1));
        }
        const QColor g = (hover || down) ? (c.face == Face::HeaderClose ? QColor(Qt::white) : kGraphiteDark) : kSteel;
        glyph(p, c.glyph, body.adjusted(3, 3, -3, -3).translated(press), g);
        break;
    }
    case Face::Toggle3d: {
        const QRectF track = r.adjusted(1, 1, -1, -1);
        const double radius = track.height() / 2;
        const bool on = isOn(s);
        if (on)
            amberPlate(p, track, radius, s == State::OnHover ? 1 : 0);
        else
            plate(p, track, radius, false, true, hover ? alpha(kAmber, 190) : QColor(0x17, 0x18, 0x1B));
        if (hover)
            glow(p, track, radius);
        const double k = track.height() - 6;
        const QRectF knob(on ? track.right() - 3 - k : track.left() + 3, track.top() + 3, k, k);
        p.setPen(QPen(QColor(0, 0, 0, 80), 1));
        p.setBrush(vertical(knob, QColor(0xF4, 0xF1, 0xEA), QColor(0xB4, 0xB8, 0xBF)));
        p.drawEllipse(knob);
        const QRectF textArea =
            on ? QRectF(track.left() + 6, track.top(), track.width() - k - 12, track.height())
               : QRectF(knob.right() + 4, track.top(), track.right() - knob.right() - 10, track.height());
        textCentred(p, textArea, on ? QStringLiteral("3D") : QStringLiteral("2D"), font(13, true),
                    on ? kGraphiteDark : (hover ? kAmber : kLight));
        break;
    }
    case Face::Check: {
        const QRectF body = r.adjusted(1, 1, -1, -2);
        const bool on = isOn(s);
        plate(p, body, 7, hover && !on, on, hover ? alpha(kAmber, 190) : on ? kAmberDark : QColor(0x17, 0x18, 0x1B));
        // indicator lamp
        // a lamp at the left of wide switches, in the top-left corner of small ones
        const double d = 6;
        const QRectF lamp = body.width() > 70 ? QRectF(body.left() + 8, body.center().y() - d / 2, d, d)
                                              : QRectF(body.left() + 6, body.top() + 5, d, d);
        if (on) {
            QRadialGradient halo(lamp.center(), 7);
            halo.setColorAt(0, alpha(kAmber, 170));
            halo.setColorAt(1, alpha(kAmber, 0));
            p.setPen(Qt::NoPen);
            p.setBrush(halo);
            p.drawEllipse(lamp.center(), 7, 7);
        }
        p.setPen(QPen(QColor(0, 0, 0, 120), 1));
        p.setBrush(on ? QColor(0xFF, 0xC4, 0x5C) : hover ? QColor(0x8A, 0x6A, 0x3A) : QColor(0x55, 0x58, 0x5E));
        p.drawEllipse(lamp);
        break;
    }
    case Face::Tab: {
        const bool on = isOn(s);
        QPainterPath tab;
        const double rad = 8;
        const QRectF t = r.adjusted(1, 2, -1, 0);
        tab.moveTo(t.bottomLeft());
        tab.lineTo(t.left(), t.top() + rad);
        tab.quadTo(t.topLeft(), QPointF(t.left() + rad, t.top()));
        tab.lineTo(t.right() - rad, t.top());
        tab.quadTo(t.topRight(), QPointF(t.right(), t.top() + rad));
        tab.lineTo(t.bottomRight());
        tab.closeSubpath();
        const QColor top = on ? QColor(0x4A, 0x4D, 0x54) : hover ? QColor(0x3A, 0x3D, 0x43) : QColor(0x30, 0x32, 0x37);
        const QColor bottom = on ? QColor(0x3A, 0x3D, 0x43) : QColor(0x26, 0x28, 0x2C);
        p.setPen(QPen(on || hover ? alpha(kAmber, on ? 120 : 150) : QColor(0x17, 0x18, 0x1B), 1));
        p.setBrush(vertical(t, top, bottom));
        p.drawPath(tab);
        if (on) {
            p.setPen(Qt::NoPen);
            p.setBrush(kAmber);
            p.drawRoundedRect(QRectF(t.left() + 6, t.top() + 1, t.width() - 12, 3), 1.5, 1.5);
        }
        break;
    }
    case Face::ListItem:
    case Face::MenuItem: {
        const QRectF body = r.adjusted(1, 1, -1, -1);
        if (s == State::Up) {
            p.setPen(QPen(QColor(255, 255, 255, 14), 1));
            p.drawLine(QPointF(8, r.height() - 0.5), QPointF(r.width() - 8, r.height() - 0.5));
        } else {
            p.setPen(QPen(down ? kAmberDark : alpha(kAmber, 110), 1));
            p.setBrush(down ? QColor(0x1A, 0x1B, 0x1E) : QColor(0x3E, 0x41, 0x48));
            p.drawRoundedRect(body.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
            p.setPen(Qt::NoPen);
            p.setBrush(kAmber);
            p.drawRoundedRect(QRectF(body.left() + 1, body.top() + 4, 2.5, body.height() - 8), 1.2, 1.2);
        }
        break;
    }
    }
}

// ---------------------------------------------------------------------------------------------
// Backgrounds.

// The frame every screen of the main window shares: outline, body, header band.
QImage mainBase()
{
    QImage image = blank(kMainW, kMainH, kOutside);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath outline = polygonPath(kMainOutline);
    p.setClipPath(outline);
    p.fillRect(image.rect(),
               vertical(QRectF(0, 0, kMainW, kMainH), QColor(0x32, 0x34, 0x39), QColor(0x20, 0x22, 0x25)));
    // brushed metal: faint alternating lines
    for (int y = 0; y < kMainH; y += 2)
        p.fillRect(QRect(0, y, kMainW, 1), QColor(255, 255, 255, (y / 2) % 3 == 0 ? 5 : 2));
    // header band with its amber rule
    p.fillRect(QRect(0, 0, kMainW, 88),
               vertical(QRectF(0, 0, kMainW, 88), QColor(0x40, 0x43, 0x49), QColor(0x2A, 0x2C, 0x31)));
    QLinearGradient rule(0, 0, kMainW, 0);
    rule.setColorAt(0, alpha(kAmber, 0));
    rule.setColorAt(0.15, kAmber);
    rule.setColorAt(0.85, kAmber);
    rule.setColorAt(1, alpha(kAmber, 0));
    p.fillRect(QRect(0, 86, kMainW, 2), rule);
    p.fillRect(QRect(0, 88, kMainW, 1), QColor(0, 0, 0, 120));
    p.setClipping(false);
    // a thin bright edge along the outline
    p.setPen(QPen(kEdge, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(outline);
    // the tab on top carries a small engraved line
    p.setPen(QPen(alpha(kAmber, 140), 1));
    p.drawLine(QPointF(60, 7.5), QPointF(420, 7.5));
    return image;
}

void smallHeader(QPainter& p, const QString& section)
{
    mark(p, QPointF(30, 30), 20);
    text(p, 46, 21, QStringLiteral("Velbrook"), font(14, true), kAmber);
    if (!section.isEmpty())
        text(p, 130, 21, section, font(14, true), kLight);
}

// The car in side view on its stand, for the start screen's 2D picture.
void showcase(QPainter& p, const QRect& area, bool withCar)
{
    p.save();
    p.setClipRect(area);
    p.translate(area.topLeft());
    const double w = area.width(), h = area.height();
    p.fillRect(QRectF(0, 0, w, h), vertical(QRectF(0, 0, w, h), QColor(0x2E, 0x31, 0x37), QColor(0x15, 0x16, 0x18)));
    QRadialGradient spot(QPointF(w / 2, h * 0.55), w * 0.45);
    spot.setColorAt(0, QColor(0xF2, 0xA9, 0x3B, 60));
    spot.setColorAt(0.5, QColor(0xF2, 0xA9, 0x3B, 18));
    spot.setColorAt(1, QColor(0xF2, 0xA9, 0x3B, 0));
    p.fillRect(QRectF(0, 0, w, h), spot);
    // the floor, with lines running to a vanishing point
    const double horizon = h * 0.72;
    p.fillRect(QRectF(0, horizon, w, h - horizon), QColor(0x14, 0x15, 0x17, 140));
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = -12; i <= 12; ++i) {
        p.setPen(QPen(QColor(0x8A, 0x8F, 0x98, 40), 1));
        p.drawLine(QPointF(w / 2 + i * 18, horizon), QPointF(w / 2 + i * 70, h));
    }
    for (int i = 0; i < 6; ++i) {
        const double y = horizon + (h - horizon) * (std::pow(1.6, i) - 1) / (std::pow(1.6, 6) - 1);
        p.setPen(QPen(QColor(0x8A, 0x8F, 0x98, 34), 1));
        p.drawLine(QPointF(0, y), QPointF(w, y));
    }
    p.setPen(QPen(alpha(kAmber, 90), 1));
    p.drawLine(QPointF(0, horizon), QPointF(w, horizon));
    if (withCar) {
        const double cx = w / 2, ground = h * 0.78;
        // stand
        QRadialGradient shadow(QPointF(cx, ground + 4), 230);
        shadow.setColorAt(0, QColor(0, 0, 0, 160));
        shadow.setColorAt(1, QColor(0, 0, 0, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(shadow);
        p.drawEllipse(QPointF(cx, ground + 6), 240, 22);
        p.setBrush(vertical(QRectF(cx - 250, ground, 500, 14), QColor(0x4A, 0x4D, 0x53), QColor(0x24, 0x26, 0x2A)));
        p.setPen(QPen(alpha(kAmber, 120), 1));
        p.drawEllipse(QPointF(cx, ground + 6), 236, 12);
        // body
        const auto P = [&](double x, double y) { return QPointF(cx + x, ground + y); };
        QPainterPath body;
        body.moveTo(P(-205, -26));
        body.cubicTo(P(-212, -50), P(-206, -66), P(-190, -72));
        body.lineTo(P(-120, -80));
        body.cubicTo(P(-90, -122), P(-60, -134), P(-10, -136));
        body.lineTo(P(40, -136));
        body.cubicTo(P(78, -134), P(100, -116), P(128, -90));
        body.lineTo(P(190, -80));
        body.cubicTo(P(212, -76), P(220, -60), P(218, -40));
        body.lineTo(P(214, -26));
        body.closeSubpath();
        p.setPen(QPen(QColor(0x1A, 0x1B, 0x1E), 1.5));
        QLinearGradient paint(P(0, -136), P(0, -20));
        paint.setColorAt(0, QColor(0xC8, 0xCC, 0xD2));
        paint.setColorAt(0.45, QColor(0x8A, 0x8F, 0x98));
        paint.setColorAt(0.5, QColor(0x5E, 0x62, 0x6A));
        paint.setColorAt(1, QColor(0x3A, 0x3D, 0x43));
        p.setBrush(paint);
        p.drawPath(body);
        // windows
        QPainterPath glass;
        glass.moveTo(P(-108, -84));
        glass.cubicTo(P(-84, -116), P(-60, -126), P(-14, -127));
        glass.lineTo(P(34, -127));
        glass.cubicTo(P(66, -125), P(86, -110), P(110, -88));
        glass.closeSubpath();
        p.setBrush(vertical(QRectF(P(-110, -128), P(110, -84)), QColor(0x5A, 0x6A, 0x7C), QColor(0x1E, 0x24, 0x2C)));
        p.setPen(QPen(QColor(0x1A, 0x1B, 0x1E), 1.2));
        p.drawPath(glass);
        p.setPen(QPen(QColor(0x3A, 0x3D, 0x43), 4));
        p.drawLine(P(8, -127), P(6, -86));
        // rim light along the shoulder
        p.setPen(QPen(alpha(kAmber, 200), 1.6));
        p.setBrush(Qt::NoBrush);
        QPainterPath shoulder;
        shoulder.moveTo(P(-196, -66));
        shoulder.lineTo(P(-118, -74));
        shoulder.lineTo(P(130, -82));
        shoulder.lineTo(P(204, -70));
        p.drawPath(shoulder);
        // lamps
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xFF, 0xE0, 0xA0));
        p.drawRoundedRect(QRectF(P(198, -66), P(216, -56)), 3, 3);
        p.setBrush(kHot);
        p.drawRoundedRect(QRectF(P(-208, -62), P(-196, -50)), 3, 3);
        // wheels
        for (double x : {-128.0, 132.0}) {
            const QPointF c = P(x, -26);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x1A, 0x1B, 0x1E));
            p.drawEllipse(c, 38, 38);
            p.setBrush(QColor(0x17, 0x18, 0x1A));
            p.drawEllipse(c, 33, 33);
            QRadialGradient rim(c, 22);
            rim.setColorAt(0, QColor(0xD0, 0xD4, 0xDA));
            rim.setColorAt(1, QColor(0x6E, 0x72, 0x7A));
            p.setBrush(rim);
            p.drawEllipse(c, 21, 21);
            p.setPen(QPen(QColor(0x3A, 0x3D, 0x43), 3));
            for (int k = 0; k < 5; ++k) {
                const double a = 2 * M_PI * k / 5;
                p.drawLine(c, c + QPointF(19 * std::cos(a), 19 * std::sin(a)));
            }
            p.setPen(Qt::NoPen);
            p.setBrush(kAmber);
            p.drawEllipse(c, 4, 4);
        }
    }
    p.restore();
}

QImage startScreen()
{
    QImage image = mainBase();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    mark(p, QPointF(42, 50), 40);
    text(p, 72, 22, QStringLiteral("Velbrook"), font(26, true), kLight);
    text(p, 74, 56, QStringLiteral("руководство по уходу и ремонту автомобиля"), font(13), kSteel);
    text(p, 33, 106, QStringLiteral("Автомобиль на стенде"), font(13, true), kLight);
    text(p, 214, 107, QStringLiteral("— включите 3D, чтобы увидеть его со всех сторон"), font(12), kSteel);
    well(p, kVideoArea, kGraphiteDark, 3);
    showcase(p, kVideoArea, true);
    // the bottom block: what the title offers
    text(p, 33, 466, QStringLiteral("Демонстрационный выпуск"), font(14, true), kAmber);
    const char* lines[] = {"восемь глав с разделами, рисунками и ссылками",
                           "поиск по тексту, предметный указатель и тезаурус",
                           "видеоролики, слайды и объёмная модель автомобиля"};
    for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(kAmber);
        p.drawEllipse(QPointF(37, 495 + i * 18), 2.2, 2.2);
        text(p, 46, 487 + i * 18, QString::fromUtf8(lines[i]), font(12), QColor(0xC8, 0xC4, 0xBC));
    }
    well(p, kPiston, kGraphiteDark, 6);
    return image;
}

QImage readerScreen()
{
    QImage image = mainBase();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    smallHeader(p, QString());
    // toolbar group separators
    for (int x : {60, 174, 297})
        p.fillRect(QRect(x, 52, 1, 26), QColor(0, 0, 0, 90)),
            p.fillRect(QRect(x + 1, 52, 1, 26), QColor(255, 255, 255, 22));
    text(p, 470, 57, QStringLiteral("Папка:"), font(12, true), kSteel);
    well(p, QRect(524, 54, 180, 22), Qt::white, 2);
    well(p, kDocumentPanel, Qt::white, 2);
    // right column labels
    text(p, 720, 274, QStringLiteral("Регистр"), font(10, true), kSteel);
    text(p, 722, 336, QStringLiteral("Поиск"), font(10, true), kSteel);
    return image;
}

QImage mediaScreen()
{
    QImage image = mainBase();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    smallHeader(p, QStringLiteral("·  Видео и слайды"));
    text(p, 110, 57, QStringLiteral("ролики об устройстве узлов и слайды с пояснениями"), font(12), kSteel);
    well(p, QRect(24, 100, 320, 240), QColor(0x1C, 0x1D, 0x20), 3);
    textCentred(p, QRectF(24, 100, 320, 240), QStringLiteral("выберите ролик"), font(13), QColor(0x5A, 0x5E, 0x66));
    p.fillRect(QRect(178, 356, 1, 22), QColor(0, 0, 0, 90));
    p.fillRect(QRect(179, 356, 1, 22), QColor(255, 255, 255, 22));
    well(p, QRect(24, 430, 320, 158), Qt::white, 2);
    well(p, QRect(360, 100, 400, 300), QColor(0x1C, 0x1D, 0x20), 3);
    well(p, kPiston, kGraphiteDark, 6);
    return image;
}

QImage serviceScreen()
{
    QImage image = mainBase();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    smallHeader(p, QStringLiteral("·  Справочник"));
    text(p, 110, 57, QStringLiteral("ссылки, приложения, настройки и служебные страницы"), font(12), kSteel);
    well(p, QRect(216, 128, 544, 328), Qt::white, 2);
    text(p, 20, 378, QStringLiteral("Видео"), font(12, true), kSteel);
    well(p, QRect(20, 400, 184, 138), QColor(0x1C, 0x1D, 0x20), 3);
    well(p, kPiston, kGraphiteDark, 6);
    text(p, 216, 470, QStringLiteral("Служебные страницы"), font(13, true), kAmber);
    return image;
}

QImage thesaurusWindow()
{
    QImage image = blank(560, 450, kOutside);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(image.rect(), vertical(QRectF(0, 0, 560, 450), QColor(0x32, 0x34, 0x39), QColor(0x20, 0x22, 0x25)));
    p.fillRect(QRect(0, 0, 560, 44),
               vertical(QRectF(0, 0, 560, 44), QColor(0x40, 0x43, 0x49), QColor(0x2C, 0x2E, 0x33)));
    p.fillRect(QRect(0, 42, 560, 2), kAmber);
    mark(p, QPointF(24, 22), 22);
    text(p, 44, 10, QStringLiteral("Тезаурус"), font(17, true), kLight);
    text(p, 142, 14, QStringLiteral("словарь терминов руководства"), font(12), kSteel);
    well(p, QRect(140, 55, 280, 24), Qt::white, 2);
    well(p, QRect(16, 96, 528, 300), Qt::white, 2);
    p.setPen(QPen(kEdge, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 559, 449));
    return image;
}

QImage dialogBase(int w, int h, const QString& title)
{
    QImage image = blank(w, h, kGraphite);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(image.rect(), QColor(0x2A, 0x2C, 0x31));
    p.fillRect(QRect(0, 0, w, 30), vertical(QRectF(0, 0, w, 30), QColor(0x42, 0x45, 0x4B), QColor(0x30, 0x32, 0x37)));
    p.fillRect(QRect(0, 30, w, 2), kAmber);
    text(p, 14, 7, title, font(13, true), kLight);
    p.setPen(QPen(kEdge, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));
    return image;
}

// The message pages share one base so that their OK button fits them all.
QImage messagePage(const QString& title, int kind, const QString& line1, const QString& line2)
{
    QImage image = dialogBase(380, 150, title);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(40, 64);
    if (kind == 0) {
        p.setPen(QPen(kAmberDark, 1.5));
        p.setBrush(vertical(QRectF(20, 44, 40, 40), QColor(0xFF, 0xC8, 0x6A), kAmberDark));
        p.drawEllipse(c, 19, 19);
        textCentred(p, QRectF(20, 44, 40, 40), QStringLiteral("!"), font(24, true), kGraphiteDark);
    } else {
        glyph(p, Glyph::Print, QRectF(14, 38, 52, 52), kLight);
        p.setPen(Qt::NoPen);
        p.setBrush(kHot);
        p.drawEllipse(QPointF(56, 80), 9, 9);
        p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(52, 76), QPointF(60, 84));
        p.drawLine(QPointF(60, 76), QPointF(52, 84));
    }
    if (!line1.isEmpty()) {
        text(p, 78, 46, line1, font(13, true), kLight);
        text(p, 78, 68, line2, font(12), kSteel);
    }
    p.fillRect(QRect(12, 96, 356, 1), QColor(0, 0, 0, 80));
    p.fillRect(QRect(12, 97, 356, 1), QColor(255, 255, 255, 16));
    return image;
}

QImage findPage()
{
    QImage image = dialogBase(400, 250, QStringLiteral("Поиск в тексте"));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    well(p, QRect(18, 40, 280, 22), Qt::white, 2);
    // the progress groove under the scale bar
    p.fillRect(QRect(33, 75, 334, 8), QColor(0x17, 0x18, 0x1B));
    p.fillRect(QRect(12, 114, 376, 1), QColor(0, 0, 0, 90));
    p.fillRect(QRect(12, 115, 376, 1), QColor(255, 255, 255, 18));
    well(p, QRect(11, 127, 377, 112), Qt::white, 2);
    return image;
}

QImage aboutWindow()
{
    QImage image = blank(440, 300, kOutside);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath outline = polygonPath(kAboutOutline);
    p.setClipPath(outline);
    p.fillRect(image.rect(), vertical(QRectF(0, 0, 440, 300), QColor(0x36, 0x39, 0x3E), QColor(0x1E, 0x20, 0x23)));
    QRadialGradient warm(QPointF(80, 50), 260);
    warm.setColorAt(0, QColor(0xF2, 0xA9, 0x3B, 50));
    warm.setColorAt(1, QColor(0xF2, 0xA9, 0x3B, 0));
    p.fillRect(image.rect(), warm);
    p.setClipping(false);
    mark(p, QPointF(70, 58), 62);
    text(p, 116, 28, QStringLiteral("Velbrook Reader"), font(28, true), kLight);
    text(p, 118, 66, QStringLiteral("читалка электронных руководств"), font(13), kAmber);
    p.fillRect(QRect(30, 100, 380, 1), alpha(kAmber, 140));
    text(p, 40, 174, QStringLiteral("Сайт"), font(11, true), kSteel);
    text(p, 40, 196, QStringLiteral("Почта"), font(11, true), kSteel);
    p.fillRect(QRect(30, 240, 380, 1), QColor(0, 0, 0, 90));
    p.setPen(QPen(kEdge, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(outline);
    return image;
}

QImage popupList()
{
    // Flat rows so the reader can grow or shrink the list by copying rows.
    QImage image = blank(240, 252, QColor(0x2A, 0x2C, 0x31));
    QPainter p(&image);
    p.fillRect(QRect(0, 0, 240, 2), kAmber);
    p.setPen(kEdge);
    p.drawRect(QRect(0, 0, 239, 251));
    p.fillRect(QRect(0, 0, 240, 2), kAmber);
    return image;
}

QImage popupMenu()
{
    QImage image = blank(220, 250, kOutside);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath outline = polygonPath(kMenuOutline);
    p.setClipPath(outline);
    p.fillRect(image.rect(), QColor(0x2A, 0x2C, 0x31));
    p.fillRect(QRect(0, 0, 220, 3), kAmber);
    p.setClipping(false);
    p.setPen(QPen(kEdge, 1.2));
    p.drawPath(outline);
    return image;
}

QImage backdrop3d()
{
    QImage image = blank(kVideoArea.width(), kVideoArea.height(), kGraphiteDark);
    QPainter p(&image);
    showcase(p, QRect(QPoint(0, 0), kVideoArea.size()), false);
    return image;
}

QImage scaleBar(bool full)
{
    QImage image = blank(334, 8, QColor(0x17, 0x18, 0x1B));
    QPainter p(&image);
    if (full) {
        p.fillRect(image.rect(), vertical(QRectF(0, 0, 334, 8), QColor(0xFF, 0xCE, 0x78), kAmberDark));
        p.fillRect(QRect(0, 1, 334, 1), QColor(255, 255, 255, 80));
    } else {
        p.fillRect(QRect(0, 7, 334, 1), QColor(255, 255, 255, 20));
        p.fillRect(QRect(0, 0, 334, 1), QColor(0, 0, 0, 120));
    }
    return image;
}

QImage icon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    mark(p, QPointF(size / 2.0, size / 2.0), size * 0.96);
    return image;
}

// ---------------------------------------------------------------------------------------------

class Writer
{
public:
    explicit Writer(QString folder) : m_folder(std::move(folder)) {}

    void bmp(const QString& name, const QImage& image)
    {
        const QString path = m_folder + QLatin1Char('/') + name;
        if (!image.convertToFormat(QImage::Format_RGB888).save(path, "BMP")) {
            std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(path));
            m_failed = true;
        }
    }

    // The window icon: an ICO when Qt can write one, else the same picture as a BMP under that name
    // (the reader recognises the picture by its content).
    void ico(const QString& name, const QImage& image)
    {
        const QString path = m_folder + QLatin1Char('/') + name;
        QImageWriter writer(path, "ico");
        if (writer.canWrite() && writer.write(image))
            return;
        bmp(name, image);
    }

    bool failed() const { return m_failed; }

private:
    QString m_folder;
    bool m_failed = false;
};

// The program's icon for the desktop, in the sizes its menus and file managers ask for.
int writeIcons(const QString& out)
{
    bool failed = false;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(out).arg(size);
        const QString path = folder + QStringLiteral("/velbrook.png");
        if (!QDir().mkpath(folder) || !icon(size).save(path, "PNG")) {
            std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(path));
            failed = true;
        }
    }
    const QString folder = out + QStringLiteral("/scalable/apps");
    QFile svg(folder + QStringLiteral("/velbrook.svg"));
    const QByteArray text = markSvg(256);
    if (!QDir().mkpath(folder) || !svg.open(QIODevice::WriteOnly) || svg.write(text) != text.size()) {
        std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(svg.fileName()));
        failed = true;
    }
    return failed ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc == 3 && QLatin1String(argv[1]) == QLatin1String("--icons"))
        return writeIcons(QString::fromLocal8Bit(argv[2]));
    if (argc != 2) {
        std::fprintf(stderr, "usage: skingen OUTDIR | skingen --icons OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(out)) {
        std::fprintf(stderr, "skingen: cannot make %s\n", argv[1]);
        return 1;
    }
    const QString fonts = QStringLiteral("/usr/share/fonts/truetype/dejavu/");
    for (const char* file : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSerif-Bold.ttf"}) {
        const int id = QFontDatabase::addApplicationFont(fonts + QLatin1String(file));
        if (id >= 0 && QLatin1String(file) == QLatin1String("DejaVuSans.ttf"))
            gFontSans = QFontDatabase::applicationFontFamilies(id).value(0, gFontSans);
    }

    std::map<Surface, QImage> surfaces;
    surfaces[Surface::Start] = startScreen();
    surfaces[Surface::Reader] = readerScreen();
    surfaces[Surface::Media] = mediaScreen();
    surfaces[Surface::Service] = serviceScreen();
    surfaces[Surface::Thesaurus] = thesaurusWindow();
    surfaces[Surface::DialogMessage] = messagePage(QStringLiteral("Сообщение"), 0, QString(), QString());
    surfaces[Surface::DialogFind] = findPage();
    surfaces[Surface::DialogNoPrinter] =
        messagePage(QStringLiteral("Печать"), 1, QStringLiteral("Принтер не установлен."),
                    QStringLiteral("Установите принтер и повторите печать."));
    surfaces[Surface::DialogDefaultPrinter] =
        messagePage(QStringLiteral("Печать"), 1, QStringLiteral("Принтер по умолчанию недоступен."),
                    QStringLiteral("Проверьте подключение или выберите другой."));
    surfaces[Surface::About] = aboutWindow();
    surfaces[Surface::PopupList] = popupList();
    surfaces[Surface::PopupMenu] = popupMenu();

    Writer writer(out);
    const std::pair<Surface, const char*> backgrounds[] = {{Surface::Start, "bg1_start.bmp"},
                                                           {Surface::Reader, "bg2_reader.bmp"},
                                                           {Surface::Media, "bg3_media.bmp"},
                                                           {Surface::Service, "bg4_service.bmp"},
                                                           {Surface::Thesaurus, "tz1_bg.bmp"},
                                                           {Surface::DialogMessage, "dlg1_message.bmp"},
                                                           {Surface::DialogFind, "dlg2_find.bmp"},
                                                           {Surface::DialogNoPrinter, "dlg3_noprinter.bmp"},
                                                           {Surface::DialogDefaultPrinter, "dlg4_printer.bmp"},
                                                           {Surface::About, "about_bg.bmp"},
                                                           {Surface::PopupList, "pop_bg.bmp"},
                                                           {Surface::PopupMenu, "pop_menu_bg.bmp"}};
    for (const auto& [surface, name] : backgrounds)
        writer.bmp(QLatin1String(name), surfaces[surface]);

    for (const Control& c : kControls) {
        const QImage& under = surfaces[c.surface];
        const QRect place(c.x, c.y, c.w, c.h);
        const auto draw = [&](State s, const char* suffix) {
            QImage picture = under.copy(place);
            {
                QPainter p(&picture);
                face(p, c, s);
            }
            writer.bmp(QString::fromLatin1("%1_%2.bmp").arg(QLatin1String(c.name), QLatin1String(suffix)), picture);
        };
        if (c.isSwitch) {
            draw(State::Off, "off");
            draw(State::OffHover, "offmv");
            draw(State::OnHover, "onmv");
            draw(State::On, "on");
        } else {
            draw(State::Up, "up");
            draw(State::Hover, "mv");
            if (c.surface != Surface::About) // the about window's buttons have no pressed picture
                draw(State::Down, "dn");
        }
    }

    writer.bmp(QStringLiteral("3d_bg.bmp"), backdrop3d());
    writer.bmp(QStringLiteral("status_up.bmp"), scaleBar(false));
    writer.bmp(QStringLiteral("status_dn.bmp"), scaleBar(true));
    writer.ico(QStringLiteral("velbrook.ico"), icon(32));
    return writer.failed() ? 1 : 0;
}
