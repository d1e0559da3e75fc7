#include "aboutbox.h"
#include "picturebytes.h"

#include "componentslog.h"
#include "effbtncar.h"
#include "effcar.h"
#include "elementreader.h"
#include "readbin.h"
#include "scriptcodec.h"
#include "scriptvalues.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QScreen>

namespace {

constexpr char kScript[] = "About.cfs";

QImage loadPicture(const TReadBin& container, const QString& name)
{
    QImage picture;
    if (const std::optional<QByteArray> bytes = container.Read(name))
        picture = pictureFromBytes(*bytes);
    if (picture.isNull() && !name.isEmpty())
        qCDebug(lcComponents) << "about window: no picture" << name;
    return picture;
}

QColor windowsColor(int value)
{
    return QColor(value & 0xff, (value >> 8) & 0xff, (value >> 16) & 0xff);
}

// Strictly inside, as the pointer tests a button.
bool inside(const QRect& rect, QPoint point)
{
    return point.x() > rect.left() && point.x() < rect.left() + rect.width() && point.y() > rect.top() &&
           point.y() < rect.top() + rect.height();
}

// A mail address gets "mailto:"; an address without a scheme ("www.example.org") is a web
// address, not a file.
QString linkAddress(const QString& value)
{
    if (value.contains(QLatin1Char('@')))
        return value.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive) ? value
                                                                               : QStringLiteral("mailto:") + value;
    static const QRegularExpression scheme(QStringLiteral("^[a-z][a-z0-9+.-]*://"),
                                           QRegularExpression::CaseInsensitiveOption);
    return scheme.match(value).hasMatch() ? value : QStringLiteral("http://") + value;
}

} // namespace

bool TAboutBox::available(const TReadBin& container)
{
    return container.Exists(QLatin1String(kScript));
}

TAboutBox::TAboutBox(const TReadBin& container, const ProgramFolders& folders, Services services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_services(std::move(services)), m_programDir(folders.dir)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    m_fadeIn = new TEffCar(this);
    build(container, folders);
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::build(const TReadBin& container, const ProgramFolders& folders)
{
    QByteArray stored;
    container.ReadToMemory(QLatin1String(kScript), stored);
    const QStringList lines = DecodeScript(stored, true);

    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (const qsizetype at = line.indexOf(QLatin1String("picture")); at >= 0)
            m_background = loadPicture(container, ParseValue(line, valuePosition(at, QStringLiteral("picture"))));
        if (line.contains(QLatin1String("vertex"))) {
            try {
                const QList<QPoint> outline = ParseVertexRegion(lines, i, folders);
                if (outline.size() >= 3)
                    setMask(QRegion(QPolygon(outline)));
            } catch (...) {
                qCDebug(lcComponents) << "about window: its outline cannot be read";
            }
        }
    }

    struct Text
    {
        int vx = 0, vy = 0, size = 0, color = 0;
        QString font, style, value, kind;
    };
    QList<Text> texts;
    ElementReader reader(lines);
    while (!reader.atEnd()) {
        const QString& line = lines[reader.line()];
        if (line.contains(QLatin1String("text"))) {
            Text t;
            const ScriptKey keys[] = {
                intKey(QStringLiteral("vx"), t.vx),        intKey(QStringLiteral("vy"), t.vy),
                textKey(QStringLiteral("font"), t.font),   intKey(QStringLiteral("size"), t.size),
                textKey(QStringLiteral("style"), t.style), colorKey(QStringLiteral("color"), t.color),
                textKey(QStringLiteral("value"), t.value), textKey(QStringLiteral("idenf"), t.kind)};
            if (reader.read(keys))
                texts.append(t);
        } else if (line.contains(QLatin1String("button"))) {
            Button b;
            int vx = 0, vy = 0;
            const ScriptKey keys[] = {intKey(QStringLiteral("vx"), vx),        intKey(QStringLiteral("vy"), vy),
                                      textKey(QStringLiteral("fn1"), b.fn1),   textKey(QStringLiteral("fn2"), b.fn2),
                                      textKey(QStringLiteral("hint"), b.hint), textKey(QStringLiteral("wav"), b.wav)};
            if (reader.read(keys)) {
                b.rect = QRect(vx, vy, 0, 0);
                m_buttons.append(b);
            }
        } else {
            reader.setLine(reader.line() + 1);
        }
    }

    if (m_background.isNull())
        m_background = QImage(1, 1, QImage::Format_RGB32);
    m_background = m_background.convertToFormat(QImage::Format_RGB32);
    resize(m_background.size());
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().width() / 2 - width() / 2, screen->geometry().height() / 2 - height() / 2);

    QPainter painter(&m_background);
    for (int i = 0; i < m_buttons.size(); ++i) {
        Button& b = m_buttons[i];
        b.up = loadPicture(container, b.fn1);
        b.hover = loadPicture(container, b.fn2);
        b.rect.setSize(b.up.size());
        if (!b.up.isNull())
            painter.drawImage(b.rect.topLeft(), b.up);
        b.fade = new TEffBtnCar(this, i);
        b.fade->setStep(4);
    }
    for (const Text& t : std::as_const(texts)) {
        QFont font(t.font);
        font.setPointSize(t.size > 0 ? t.size : 9);
        font.setItalic(t.style.contains(QLatin1String("italic")));
        font.setBold(t.style.contains(QLatin1String("bold")));
        font.setUnderline(t.style.contains(QLatin1String("underline")));
        font.setStrikeOut(t.style.contains(QLatin1String("strikeout")));
        painter.setFont(font);
        painter.setPen(windowsColor(t.color));
        const QFontMetrics metrics(font);
        QString shown = t.value;
        if (t.kind == QLatin1String("url")) {
            Button link;
            link.rect = QRect(QPoint(t.vx, t.vy), QSize(metrics.horizontalAdvance(t.value), metrics.height()));
            link.address = linkAddress(t.value);
            link.fn1 = QStringLiteral("url");
            link.link = true;
            link.fade = new TEffBtnCar(this, int(m_buttons.size()));
            link.fade->setStep(4);
            m_buttons.append(link);
            if (const qsizetype question = shown.indexOf(QLatin1Char('?')); question >= 0)
                shown.truncate(question);
        }
        painter.drawText(QPoint(t.vx, t.vy + metrics.ascent()), shown);
        m_textRects.append(QRect(QPoint(t.vx, t.vy), QSize(metrics.horizontalAdvance(shown), metrics.height())));
    }
    painter.end();
    for (Button& b : m_buttons) {
        connect(b.fade, &TEffBtnCar::finished, this, qOverload<>(&QWidget::update));
    }
}

bool TAboutBox::fadeRunning() const
{
    return m_fadeIn->isFadeRunning();
}

void TAboutBox::showAbout()
{
    for (Button& b : m_buttons) {
        b.hovered = false;
        b.handShown = false;
    }
    unsetCursor();
    m_fadeIn->StartFadeIn();
    setWindowModality(Qt::ApplicationModal);
    show();
}

void TAboutBox::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Over the skinned window, which keeps itself on top of the desktop.
    raise();
    activateWindow();
}

void TAboutBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_fadeIn->isFadeRunning()) {
        m_fadeIn->PaintFadeFrame(painter);
        return;
    }
    painter.drawImage(0, 0, m_background);
    for (const Button& b : m_buttons) {
        if (b.fade->isRunning())
            b.fade->paint(painter);
        else if (b.hovered && !b.hover.isNull())
            painter.drawImage(b.rect.topLeft(), b.hover);
    }
}

void TAboutBox::moveTo(QPoint point)
{
    if (m_fadeIn->isFadeRunning())
        return;
    QString hint;
    for (Button& b : m_buttons) {
        if (inside(b.rect, point)) {
            if (b.link && !b.handShown) {
                setCursor(Qt::PointingHandCursor);
                b.handShown = true;
            }
            if (!b.hovered) {
                if (!b.hover.isNull())
                    b.fade->StartCrossFade(b.up, b.hover, b.rect.topLeft());
                b.hovered = true;
            }
            if (m_services.hints)
                hint = b.link ? b.address : b.hint;
        } else {
            if (b.link && b.handShown) {
                unsetCursor();
                b.handShown = false;
            }
            if (b.hovered) {
                if (!b.up.isNull())
                    b.fade->StartCrossFade(b.hover, b.up, b.rect.topLeft());
                b.hovered = false;
            }
        }
    }
    setToolTip(hint);
    update();
}

void TAboutBox::pressAt(QPoint point)
{
    if (m_fadeIn->isFadeRunning())
        return;
    for (Button& b : m_buttons) {
        if (!inside(b.rect, point))
            continue;
        if (!b.wav.isEmpty() && b.wav != QLatin1String("no") && m_services.playSound)
            m_services.playSound(m_programDir + QString(b.wav).replace(QLatin1Char('\\'), QLatin1Char('/')));
        if (b.link) {
            const QUrl url(b.address);
            if (m_services.openUrl)
                m_services.openUrl(url);
            else if (!QDesktopServices::openUrl(url))
                qCDebug(lcComponents) << "about window: the link could not be opened:" << b.address;
        } else {
            b.hovered = false;
            b.handShown = false;
            unsetCursor();
            accept();
        }
        return;
    }
    // Anywhere else the window is dragged, as by a caption, while the button is held. The window
    // moves itself: a move of the window manager's, begun after a quick release, would follow a
    // pointer whose button is up.
    if (QGuiApplication::mouseButtons() & Qt::LeftButton) {
        m_dragging = true;
        m_dragAnchor = point;
    }
}

void TAboutBox::mousePressEvent(QMouseEvent* event)
{
    pressAt(event->position().toPoint());
}

void TAboutBox::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging) {
        if (event->buttons() & Qt::LeftButton) {
            move(event->globalPosition().toPoint() - m_dragAnchor);
            return;
        }
        m_dragging = false; // the release went elsewhere
    }
    moveTo(event->position().toPoint());
}

void TAboutBox::mouseReleaseEvent(QMouseEvent* event)
{
    m_dragging = false;
    QDialog::mouseReleaseEvent(event);
}

void TAboutBox::hideEvent(QHideEvent* event)
{
    m_dragging = false;
    QDialog::hideEvent(event);
}

void TAboutBox::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        reject();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        accept();
        break;
    default:
        QDialog::keyPressEvent(event);
    }
}
