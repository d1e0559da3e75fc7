#include "cooldialog.h"
#include "picturebytes.h"

#include "appcontext.h"
#include "caption.h"
#include "dialoglayout.h"
#include "dialogslog.h"
#include "effbtncar.h"
#include "effcar.h"
#include "findtxthtml.h"
#include "scalebar.h"

#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

#include <algorithm>
#include <climits>

namespace {

// The result list under the find panel.
constexpr QRect kResultList(11, 127, 377, 112);
// Levels a button's cross-fade moves per tick.
constexpr int kFadeStep = 4;

} // namespace

TCoolDialog::TCoolDialog(AppContext& context, DialogScript script, QWidget* mainWindow)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_context(context),
      m_script(std::move(script)), m_mainWindow(mainWindow), m_fade(new TEffCar(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setWindowTitle(context.values.appTitle);
    for (int page = 0; page < m_script.pages.size(); ++page) {
        TDynamicSwthGrpArray& switches = m_script.pages[page].switches;
        for (int i = 0; i < switches.size(); ++i) {
            switches[i].hover = false;
            if (switches[i].store) {
                if (const std::optional<bool> stored = m_context.settings.readBool(storeKey(page, i)))
                    switches[i].state = *stored;
            }
        }
    }
}

TCoolDialog::~TCoolDialog()
{
    clearButtons();
}

void TCoolDialog::clearButtons()
{
    for (ShownButton& b : m_buttons)
        delete b.fade;
    m_buttons.clear();
}

void TCoolDialog::crossFade(ShownButton& button, const QImage& from, const QImage& to)
{
    if (!button.fade || from.isNull() || to.isNull() || from.size() != to.size()) {
        update(button.rect);
        return;
    }
    button.fade->StartCrossFade(from, to, button.rect.topLeft());
}

bool TCoolDialog::isFading() const
{
    return m_fade->isFadeRunning();
}

QString TCoolDialog::storeKey(int page, int index) const
{
    return dialogSwitchKey(page, index);
}

QImage TCoolDialog::picture(const QString& name) const
{
    QImage image;
    if (name.isEmpty())
        return image;
    if (const std::optional<QByteArray> bytes = m_context.container.Read(name))
        image = pictureFromBytes(*bytes);
    if (image.isNull())
        qCDebug(lcDialogs) << "the dialog's picture is missing or unreadable:" << name;
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void TCoolDialog::drawSwitchCaption(QImage& image, const RSwthGrp& sw, bool on, bool hover) const
{
    const QString text = on ? sw.textcaptiondn : sw.textcaptionup;
    if (text.trimmed().isEmpty() || image.isNull())
        return;
    const FontStyles style = on ? (hover ? sw.stylemvdn : sw.styledn) : (hover ? sw.stylemvup : sw.styleup);
    const int color = on ? (hover ? sw.colormvdn : sw.colordn) : (hover ? sw.colormvup : sw.colorup);
    drawCaption(image, text, QRect(QPoint(sw.texttx, sw.textty), QPoint(sw.textbx, sw.textby)),
                captionFont(sw.textfontname, sw.textfontsize, style), windowsColor(color));
}

bool TCoolDialog::ShowDialogPage(int page, const QString& text)
{
    if (page < 0 || page >= m_script.pages.size()) {
        qCDebug(lcDialogs) << "the dialog has no page" << page << "; nothing shown";
        return false;
    }
    const DialogPage& record = m_script.pages[page];
    const QImage background = picture(record.picture);
    if (background.isNull())
        return false;
    m_page = page;
    m_pageText = text;
    clearButtons();
    m_switches.clear();
    m_hoverSwitch = -1;
    m_dragging = false;

    // Text: widening the page when it is wider than its box.
    const DialogText& t = record.text;
    QFont font(t.font);
    if (t.size > 0)
        font.setPointSize(t.size);
    font.setBold(t.style.testFlag(FontStyle::Bold));
    font.setItalic(t.style.testFlag(FontStyle::Italic));
    font.setUnderline(t.style.testFlag(FontStyle::Underline));
    font.setStrikeOut(t.style.testFlag(FontStyle::StrikeOut));
    const QFontMetrics metrics(font);
    // The page grows at most by the screen's width.
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->availableGeometry().width() : kMaxDialogExtra;
    const TextPlacement placement =
        text.isEmpty() ? TextPlacement{} : placeText(metrics.horizontalAdvance(text), metrics.height(), t, screenWidth);
    m_extra = placement.extra;
    m_picture = widenPicture(background, m_extra);
    {
        QPainter painter(&m_picture);
        if (!text.isEmpty()) {
            painter.setFont(font);
            painter.setPen(windowsColor(t.color));
            painter.setClipRect(placement.clip);
            painter.drawText(placement.at + QPoint(0, metrics.ascent()), text);
            painter.setClipping(false);
        }
        for (const DialogButton& b : record.buttons) {
            ShownButton shown;
            shown.record = b;
            shown.up = picture(b.fn1);
            shown.hover = picture(b.fn2);
            shown.down = picture(b.fn3);
            const qint64 x = qint64(b.vx) + buttonOffset(b.align, m_extra); // a script's vx may be any number
            shown.rect =
                QRect(int(std::clamp<qint64>(x, INT_MIN / 2, INT_MAX / 2)), b.vy, shown.up.width(), shown.up.height());
            shown.fade = new TEffBtnCar(this, int(m_buttons.size()));
            shown.fade->setStep(kFadeStep);
            if (!shown.up.isNull())
                painter.drawImage(shown.rect.topLeft(), shown.up);
            m_buttons.append(shown);
        }
        for (const RSwthGrp& sw : record.switches) {
            ShownSwitch shown;
            shown.off = picture(sw.fn1);
            shown.offHover = picture(sw.fn2);
            shown.onHover = picture(sw.fn3);
            shown.on = picture(sw.fn4);
            drawSwitchCaption(shown.off, sw, false, false);
            drawSwitchCaption(shown.offHover, sw, false, true);
            drawSwitchCaption(shown.onHover, sw, true, true);
            drawSwitchCaption(shown.on, sw, true, false);
            shown.rect = QRect(sw.vx, sw.vy, shown.off.width(), shown.off.height());
            if (!shown.off.isNull())
                painter.drawImage(shown.rect.topLeft(), shown.off);
            m_switches.append(shown);
        }
    }

    const bool findPage = page == kFindPage;
    if (m_search)
        m_search->setBoxesShown(findPage);
    if (m_scaleBar) {
        m_scaleBar->setDialog(findPage ? this : nullptr, findPage ? &m_picture : nullptr);
        if (findPage)
            m_scaleBar->ShowBar();
    }
    if (!findPage && m_results) {
        delete m_results;
        m_results = nullptr;
    }

    m_fullHeight = m_picture.height();
    resize(m_picture.width(), m_results ? m_fullHeight : (findPage ? dialogHeight(false, m_fullHeight) : m_fullHeight));
    if (m_mainWindow) {
        const QRect main = m_mainWindow->frameGeometry();
        move(main.left() + main.width() / 2 - width() / 2, main.top() + main.height() / 2 - m_fullHeight / 2);
    }

    // The switches that are on set the search's mode.
    for (const RSwthGrp& sw : record.switches) {
        if (sw.state)
            RunDialogCommand(sw.go, QString());
    }
    if (findPage && m_search && m_search->isRunning())
        SetSearchHint(QString::fromUtf16(TFindTxtHtml::kHintRunning));

    const bool wasVisible = isVisible();
    if (!wasVisible) {
        QList<QWidget*> children;
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            children.append(child);
        m_fade->setHiddenDuringFade(children);
        m_fade->StartFadeIn();
    }
    show();
    raise();
    activateWindow();
    if (findPage && m_search && m_search->box(0))
        m_search->box(0)->setFocus();
    update();
    return true;
}

void TCoolDialog::ShowResults(const QStringList& files, const QStringList& titles)
{
    Q_UNUSED(files)
    if (titles.isEmpty()) {
        delete m_results;
        m_results = nullptr;
        resize(width(), dialogHeight(false, m_fullHeight));
        return;
    }
    if (!m_results) {
        m_results = new QListWidget(this);
        m_results->setGeometry(kResultList);
        m_results->setFrameShape(QFrame::NoFrame);
        connect(m_results, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
            if (m_search)
                m_search->showResult(m_results->row(item));
        });
        connect(m_results, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
            if (m_search)
                m_search->showResult(m_results->row(item));
        });
    }
    m_results->clear();
    m_results->addItems(titles);
    m_results->show();
    resize(width(), dialogHeight(true, m_fullHeight));
}

void TCoolDialog::SetSearchHint(const QString& text)
{
    for (ShownButton& b : m_buttons) {
        if (b.record.go.contains(QLatin1String("findnext1")))
            b.record.hint = text;
    }
    for (DialogPage& page : m_script.pages) {
        for (DialogButton& b : page.buttons) {
            if (b.go.contains(QLatin1String("findnext1")))
                b.hint = text;
        }
    }
}

void TCoolDialog::RunDialogCommand(const QString& command, const QString& sound)
{
    if (m_context.busy && command.contains(QLatin1String("findnext"))) {
        if (m_search)
            m_search->StopSearch();
        return;
    }
    if (!sound.isEmpty() && sound != QLatin1String("no") && m_context.userSettings.wav && m_playSound)
        m_playSound(m_context.values.programDir + sound);

    if (command == QLatin1String("findtxtall")) {
        if (m_search) {
            m_search->setIndexMode();
            ShowResults(m_search->resultFiles(), m_search->resultTitles());
        }
    } else if (command.contains(QLatin1String("findtxtlimit"))) {
        if (m_search)
            m_search->SetAllPages(false);
        ShowResults({}, {});
    } else if (command.contains(QLatin1String("findtxtcontents"))) {
        if (m_search)
            m_search->setTreeMode();
        ShowResults({}, {});
    } else if (command.contains(QLatin1String("findnext"))) {
        if (!m_search)
            return;
        if (m_search->isRunning()) {
            m_search->StopSearch(); // the search button stops a search that runs
            return;
        }
        bool ok = false;
        const int number = command.mid(8).toInt(&ok);
        m_search->FindNext(ok ? number : 1);
    } else {
        closeDialog();
    }
}

bool TCoolDialog::showSwitchOn(const QString& command)
{
    bool found = false;
    for (int page = 0; page < m_script.pages.size(); ++page) {
        TDynamicSwthGrpArray& switches = m_script.pages[page].switches;
        for (int i = 0; i < switches.size(); ++i) {
            if (switches[i].go.compare(command, Qt::CaseInsensitive) != 0 || switches[i].state)
                continue;
            for (RSwthGrp& other : switches) {
                if (other.group == switches[i].group)
                    other.state = false;
            }
            switches[i].state = true;
            found = true;
            if (page == m_page && isVisible()) {
                // As a click on it would: the index's results show, the other scopes have none.
                if (command.compare(QLatin1String("findtxtall"), Qt::CaseInsensitive) == 0 && m_search)
                    ShowResults(m_search->resultFiles(), m_search->resultTitles());
                else
                    ShowResults({}, {});
                update();
            }
        }
    }
    return found;
}

void TCoolDialog::closeDialog()
{
    if (m_search && m_search->isRunning())
        m_search->StopSearch();
    if (m_scaleBar)
        m_scaleBar->setDialog(nullptr, nullptr);
    delete m_results;
    m_results = nullptr;
    saveSwitchStates();
    const bool wasVisible = isVisible();
    hide();
    clearButtons();
    m_switches.clear();
    if (wasVisible)
        Q_EMIT closed();
}

void TCoolDialog::saveSwitchStates()
{
    for (int page = 0; page < m_script.pages.size(); ++page) {
        const TDynamicSwthGrpArray& switches = m_script.pages[page].switches;
        for (int i = 0; i < switches.size(); ++i) {
            if (switches[i].store)
                m_context.settings.writeBool(storeKey(page, i), switches[i].state);
        }
    }
}

QRect TCoolDialog::buttonRect(int index) const
{
    return index >= 0 && index < m_buttons.size() ? m_buttons[index].rect : QRect();
}

QRect TCoolDialog::switchRect(int index) const
{
    return index >= 0 && index < m_switches.size() ? m_switches[index].rect : QRect();
}

QString TCoolDialog::buttonHint(int index) const
{
    return index >= 0 && index < m_buttons.size() ? m_buttons[index].record.hint : QString();
}

bool TCoolDialog::switchOn(int index) const
{
    const TDynamicSwthGrpArray& switches = m_script.pages.value(m_page).switches;
    return index >= 0 && index < switches.size() && switches[index].state;
}

int TCoolDialog::buttonAt(QPoint at) const
{
    for (int i = 0; i < m_buttons.size(); ++i) {
        if (m_buttons[i].rect.contains(at))
            return i;
    }
    return -1;
}

int TCoolDialog::switchAt(QPoint at) const
{
    for (int i = 0; i < m_switches.size(); ++i) {
        if (m_switches[i].rect.contains(at))
            return i;
    }
    return -1;
}

void TCoolDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_fade->isFadeRunning()) {
        m_fade->PaintFadeFrame(painter);
        return;
    }
    painter.drawImage(0, 0, m_picture);
    for (const ShownButton& b : m_buttons) {
        const QImage& image = b.pressed ? b.down : b.hover;
        if ((b.hovered || b.pressed) && !image.isNull())
            painter.drawImage(b.rect.topLeft(), image);
        if (b.fade && b.fade->isRunning())
            b.fade->paint(painter);
    }
    const TDynamicSwthGrpArray& records = m_script.pages.value(m_page).switches;
    for (int i = 0; i < m_switches.size() && i < records.size(); ++i) {
        const ShownSwitch& s = m_switches[i];
        const bool on = records[i].state;
        const bool hover = i == m_hoverSwitch;
        const QImage& image = hover ? (on ? s.onHover : s.offHover) : (on ? s.on : QImage());
        if (!image.isNull())
            painter.drawImage(s.rect.topLeft(), image);
    }
    if (m_paintOverlay)
        m_paintOverlay(painter);
}

void TCoolDialog::mouseMoveEvent(QMouseEvent* event)
{
    if (m_fade->isFadeRunning())
        return;
    const QPoint at = event->position().toPoint();
    if (m_dragging) {
        // A release that went elsewhere ends the drag: the dialog never follows a pointer whose
        // button is up.
        if (event->buttons() & Qt::LeftButton) {
            move(event->globalPosition().toPoint() - m_dragFrom);
            return;
        }
        m_dragging = false;
    }
    bool changed = false;
    for (ShownButton& b : m_buttons) {
        const bool inside = b.rect.contains(at);
        if (inside != b.hovered) {
            if (inside)
                crossFade(b, b.up, b.hover);
            else
                crossFade(b, b.pressed ? b.down : b.hover, b.up);
            b.hovered = inside;
            if (!inside)
                b.pressed = false;
            changed = true;
        }
    }
    const int sw = switchAt(at);
    if (sw != m_hoverSwitch) {
        m_hoverSwitch = sw;
        changed = true;
    }
    if (changed)
        update();
}

void TCoolDialog::leaveEvent(QEvent*)
{
    for (ShownButton& b : m_buttons)
        b.hovered = b.pressed = false;
    m_hoverSwitch = -1;
    update();
}

void TCoolDialog::mousePressEvent(QMouseEvent* event)
{
    if (m_fade->isFadeRunning() || event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    if (const int b = buttonAt(at); b >= 0) {
        ShownButton& button = m_buttons[b];
        if (!button.pressed)
            crossFade(button, button.hover, button.down);
        button.pressed = true;
        button.hovered = true;
        update();
        return;
    }
    if (const int s = switchAt(at); s >= 0) {
        pressSwitch(s);
        return;
    }
    m_dragging = true;
    m_dragFrom = event->globalPosition().toPoint() - pos();
}

void TCoolDialog::pressSwitch(int index)
{
    TDynamicSwthGrpArray& records = m_script.pages[m_page].switches;
    if (index >= records.size() || records[index].state)
        return; // a switch that is on stays on
    for (RSwthGrp& other : records) {
        if (other.group == records[index].group)
            other.state = false;
    }
    records[index].state = true;
    update();
    RunDialogCommand(records[index].go, records[index].wav);
}

void TCoolDialog::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (m_dragging) {
        m_dragging = false;
        return;
    }
    const int b = buttonAt(event->position().toPoint());
    if (b >= 0 && m_buttons[b].pressed) {
        m_buttons[b].pressed = false;
        crossFade(m_buttons[b], m_buttons[b].down, m_buttons[b].hover);
        update();
        const DialogButton record = m_buttons[b].record;
        RunDialogCommand(record.go, record.wav);
        return;
    }
    for (ShownButton& shown : m_buttons)
        shown.pressed = false;
    update();
}

void TCoolDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        if (m_search && m_search->isRunning())
            m_search->StopSearch();
        else
            closeDialog();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TCoolDialog::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        QString hint;
        if (const int b = buttonAt(help->pos()); b >= 0)
            hint = m_buttons[b].record.hint;
        else if (const int s = switchAt(help->pos()); s >= 0)
            hint = m_script.pages[m_page].switches.value(s).hint;
        if (hint.isEmpty() || !m_context.userSettings.hint)
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), hint, this);
        return true;
    }
    return QWidget::event(event);
}
