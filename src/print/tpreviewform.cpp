#include "tpreviewform.h"

#include "previewicons.h"
#include "printlog.h"
#include "tgopageform.h"
#include "tprnstatusform.h"

#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPrintDialog>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEnginePage>

#include <cmath>

// One sheet on the screen; the pointer tools act on it through the form.
class SheetView final : public QWidget
{
public:
    SheetView(TPreviewForm* form, int index, QWidget* parent) : QWidget(parent), m_form(form), m_index(index)
    {
        setToolTip(
            QStringLiteral(u"Просмотр страницы. Используйте правую/левую кнопку мыши для уменьшения/увеличения."));
        setMouseTracking(true);
        setObjectName(index == 0 ? QStringLiteral("PB1") : QStringLiteral("PB2"));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        m_form->paintSheet(painter, m_index, rect());
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        m_form->m_zoomBox->clearFocus();
        m_form->setFocus();
        m_form->sheetPressed(m_index, event->position().toPoint(), event->button());
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (m_form->m_dragging) {
            const QPoint global = event->globalPosition().toPoint();
            m_form->scrollBy(m_form->m_drag.x() - global.x(), m_form->m_drag.y() - global.y());
            m_form->m_drag = global;
        } else if (!(event->buttons() & (Qt::LeftButton | Qt::RightButton))) {
            setCursor(m_form->toolCursor());
        }
    }
    void mouseReleaseEvent(QMouseEvent*) override
    {
        m_form->m_dragging = false;
        setCursor(m_form->toolCursor());
    }

private:
    TPreviewForm* m_form;
    int m_index;
};

namespace {

enum CursorSlot
{
    Zoom,
    ZoomIn,
    ZoomOut,
    HandOpened,
    HandClosed
};

// The pointer pictures of the tools, drawn here: a magnifier (plain, "+", "-") and a hand
// (open, closed).
QCursor makeCursor(CursorSlot slot)
{
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::white);
    if (slot <= ZoomOut) {
        p.drawEllipse(QPointF(12, 12), 8, 8);
        p.setPen(QPen(Qt::black, 4));
        p.drawLine(QPointF(18, 18), QPointF(28, 28));
        p.setPen(QPen(Qt::black, 2));
        if (slot != Zoom)
            p.drawLine(QPointF(8, 12), QPointF(16, 12));
        if (slot == ZoomIn)
            p.drawLine(QPointF(12, 8), QPointF(12, 16));
        p.end();
        return QCursor(picture, 12, 12);
    }
    QPainterPath hand;
    if (slot == HandOpened) {
        for (int i = 0; i < 4; ++i)
            hand.addRoundedRect(QRectF(8 + 4 * i, 4 + (i == 0 || i == 3 ? 3 : 0), 4, 14), 2, 2);
        hand.addRoundedRect(QRectF(3, 14, 7, 4), 2, 2);
    } else {
        for (int i = 0; i < 4; ++i)
            hand.addRoundedRect(QRectF(8 + 4 * i, 11, 4, 7), 2, 2);
    }
    hand.addRoundedRect(QRectF(8, 15, 16, 12), 4, 4);
    p.drawPath(hand.simplified());
    p.end();
    return QCursor(picture, 16, 16);
}

const char* const kZoomItems[] = {"Страница целиком",
                                  "По ширине страницы",
                                  "Вручную",
                                  "25%",
                                  "50%",
                                  "75%",
                                  "100%",
                                  "125%",
                                  "150%",
                                  "200%",
                                  "300%",
                                  "400%"};
const double kZoomValues[] = {0, 0, 0, 0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0, 4.0};

QString percent(double value)
{
    return QLocale(QLocale::Russian).toString(value * 100, 'f', 0) + QLatin1Char('%');
}

} // namespace

TPreviewForm::TPreviewForm(QWidget* parent, QWebEnginePage* viewer, bool picture, QSize pictureSize,
                           const QString& printToFile, bool quiet)
    : QDialog(parent), m_viewer(viewer), m_quiet(quiet)
{
    setWindowTitle(QStringLiteral(u"Предварительный просмотр"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_toolbar = new QToolBar(this);
    m_toolbar->setObjectName(QStringLiteral("MainToolbar"));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    layout->addWidget(m_toolbar);

    // The print button prints on paper, or saves a PDF when there is no printer; its menu offers
    // both.
    QToolButton* print = addButton(QStringLiteral("PrintBut"), QStringLiteral(u"Печать"), QStringLiteral(u"Печать"));
    connect(print, &QToolButton::clicked, this, &TPreviewForm::PrintButClick);
    m_printMenu = new QMenu(print);
    m_printMenu->setObjectName(QStringLiteral("PrintMenu"));
    connect(m_printMenu->addAction(QStringLiteral(u"Печать…")), &QAction::triggered, this, &TPreviewForm::printOnPaper);
    m_saveAction = m_printMenu->addAction(QStringLiteral(u"Сохранить в PDF…"));
    connect(m_saveAction, &QAction::triggered, this, &TPreviewForm::saveAsPdf);
    print->setMenu(m_printMenu);
    print->setPopupMode(QToolButton::MenuButtonPopup);
    connect(addButton(QStringLiteral("PageOrientationBut"), QStringLiteral(u"Ориентация листа"), QString(), true),
            &QToolButton::clicked, this, &TPreviewForm::PageOrientationButClick);
    m_toolbar->addSeparator();
    connect(addButton(QStringLiteral("FirstPageBut"), QStringLiteral(u"На первую страницу"),
                      QStringLiteral(u"Первая станица")),
            &QToolButton::clicked, this, &TPreviewForm::FirstPageButClick);
    connect(addButton(QStringLiteral("PrevPageBut"), QStringLiteral(u"На предыдущую страницу"),
                      QStringLiteral(u"Предыдущая страница")),
            &QToolButton::clicked, this, &TPreviewForm::PrevPageButClick);
    connect(addButton(QStringLiteral("NextPageBut"), QStringLiteral(u"На следующую страницу"),
                      QStringLiteral(u"Следующая страница")),
            &QToolButton::clicked, this, &TPreviewForm::NextPageButClick);
    connect(addButton(QStringLiteral("LastPageBut"), QStringLiteral(u"На последнюю страницу"),
                      QStringLiteral(u"Последняя страница")),
            &QToolButton::clicked, this, &TPreviewForm::LastPageButClick);
    connect(addButton(QStringLiteral("GoToPageBut"), QStringLiteral(u"Переход на страницу"),
                      QStringLiteral(u"Переход на страницу")),
            &QToolButton::clicked, this, &TPreviewForm::GoToPageButClick);
    m_toolbar->addSeparator();
    m_zoomBox = new QComboBox(this);
    m_zoomBox->setObjectName(QStringLiteral("ZoomBox"));
    for (const char* item : kZoomItems)
        m_zoomBox->addItem(QString::fromUtf8(item));
    m_zoomBox->setMaxVisibleItems(12);
    m_zoomBox->setToolTip(QStringLiteral(u"Выбор масштаба отображения документа"));
    // The list takes the keyboard only when clicked, so the window's keys work from the start.
    m_zoomBox->setFocusPolicy(Qt::ClickFocus);
    connect(m_zoomBox, &QComboBox::activated, this, &TPreviewForm::ZoomBoxChange);
    m_toolbar->addWidget(m_zoomBox);
    connect(
        addButton(QStringLiteral("FitPageBut"), QStringLiteral(u"Лист целиком"), QStringLiteral(u"Лист целиком"), true),
        &QToolButton::clicked, this, &TPreviewForm::FitPageButClick);
    connect(addButton(QStringLiteral("FitWidthBut"), QStringLiteral(u"По ширине"), QStringLiteral(u"По ширине"), true),
            &QToolButton::clicked, this, &TPreviewForm::FitWidthButClick);
    connect(addButton(QStringLiteral("RestoreStartPrintZoomBut"),
                      QStringLiteral(u"Восстановить исходный масштаб печати"), QStringLiteral(u"Восстановить масштаб")),
            &QToolButton::clicked, this, &TPreviewForm::RestoreStartPrintZoomButClick);
    m_toolbar->addSeparator();
    connect(addButton(QStringLiteral("ZoomCursorPrintBut"), QStringLiteral(u"Увеличение/уменьшение масштаба печати"),
                      QStringLiteral(u"Масштаб печати"), true),
            &QToolButton::clicked, this, &TPreviewForm::ZoomCursorPrintButClick);
    connect(addButton(QStringLiteral("ZoomCursorBut"), QStringLiteral(u"Увеличение/уменьшение масштаба просмотра"),
                      QStringLiteral(u"Масштаб просмотра"), true),
            &QToolButton::clicked, this, &TPreviewForm::ZoomCursorButClick);
    connect(addButton(QStringLiteral("HandCursorBut"), QStringLiteral(u"Перемещение"), QStringLiteral(u"Перемещение"),
                      true),
            &QToolButton::clicked, this, &TPreviewForm::HandCursorButClick);
    m_toolbar->addSeparator();
    connect(addButton(QStringLiteral("OnePageBut"), QStringLiteral(u"Один лист на странице"),
                      QStringLiteral(u"Один лист"), true),
            &QToolButton::clicked, this, &TPreviewForm::OnePageButClick);
    connect(addButton(QStringLiteral("TwoPageBut"), QStringLiteral(u"Два листа на странице"),
                      QStringLiteral(u"Два листа"), true),
            &QToolButton::clicked, this, &TPreviewForm::TwoPageButClick);
    m_toolbar->addSeparator();
    connect(addButton(QStringLiteral("HelpBut"), QStringLiteral(u"Помощь"), QStringLiteral(u"Помощь")),
            &QToolButton::clicked, this, &TPreviewForm::HelpButClick);
    connect(addButton(QStringLiteral("CloseBut"), QStringLiteral(u"Завершить просмотр"), QStringLiteral(u"Выход")),
            &QToolButton::clicked, this, &QDialog::reject);

    m_menu = new QMenu(this);
    m_menu->addAction(m_saveAction);
    m_menu->addSeparator();
    QMenu* numbers = m_menu->addMenu(QStringLiteral(u"Номера страниц"));
    auto* group = new QActionGroup(this);
    m_numberingOn = numbers->addAction(QStringLiteral(u"Выводить"));
    m_numberingOff = numbers->addAction(QStringLiteral(u"Не выводить"));
    for (QAction* action : {m_numberingOn, m_numberingOff}) {
        action->setCheckable(true);
        group->addAction(action);
    }
    m_numberingOn->setChecked(true);
    connect(m_numberingOn, &QAction::triggered, this, [this] { setNumbering(true); });
    connect(m_numberingOff, &QAction::triggered, this, [this] { setNumbering(false); });
    m_captions = m_menu->addAction(QStringLiteral(u"Подписи  к кнопкам"));
    m_captions->setCheckable(true);
    connect(m_captions, &QAction::triggered, this, &TPreviewForm::setCaptionsShown);
    m_background = m_menu->addAction(QStringLiteral(u"Печатать фон"));
    m_background->setCheckable(true);
    m_background->setChecked(true);
    connect(m_background, &QAction::triggered, this, &TPreviewForm::setBackgrounds);
    m_toolbar->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_toolbar, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { m_menu->popup(m_toolbar->mapToGlobal(at)); });

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("ScrollBox"));
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_contain = new QWidget;
    m_contain->setObjectName(QStringLiteral("ContainPanel"));
    m_scroll->setWidget(m_contain);
    m_scroll->viewport()->installEventFilter(this);
    for (int i = 0; i < 2; ++i)
        m_sheets[i] = new SheetView(this, i, m_contain);
    layout->addWidget(m_scroll, 1);
    auto* statusBar = new QStatusBar(this);
    statusBar->setSizeGripEnabled(false);
    const int widths[] = {125, 150, 150, 50};
    for (int i = 0; i < 4; ++i) {
        m_status[i] = new QLabel(this);
        m_status[i]->setMinimumWidth(widths[i]);
        statusBar->addWidget(m_status[i], i == 3 ? 1 : 0);
    }
    m_status[0]->setAlignment(Qt::AlignCenter);
    layout->addWidget(statusBar);

    m_zoomBox->setCurrentIndex(0);
    for (int slot = 0; slot < 5; ++slot)
        m_cursors[slot] = makeCursor(CursorSlot(slot));
    button(QStringLiteral("ZoomCursorBut"))->setChecked(true);
    m_tool = Tool::ViewZoom;

    // Without a printer the preview opens all the same: its pages can be saved as a PDF file, and
    // the missing printer is told only when a paper copy is asked for.
    m_pages = std::make_unique<PageStore>(printToFile);
    m_pages->setBackgrounds(true);
    m_pages->printer().setDocName(viewer ? viewer->title() : QString());
    if (picture && pictureSize.width() > 0 && pictureSize.height() > 0) {
        const int screenDpi =
            QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->logicalDotsPerInch() : 96;
        const PictureFit fit = fitPicture(
            pictureSize, m_pages->orientation(), [this](QPageLayout::Orientation o) { return m_pages->geometryFor(o); },
            screenDpi);
        m_pages->setOrientation(fit.orientation);
        m_startPrintScale = std::min(fit.scale, 1.0);
    }
    m_printScale = m_startPrintScale;
    if (RenderPages(true) || m_pages->pageCount() == 0) {
        m_failed = true;
        if (!m_cancelled)
            m_failureText = kNoPages.toString();
        return;
    }
    if (picture) {
        while (m_pages->pageCount() >= 2 && m_printScale > kMinPrintScale) {
            m_startPrintScale -= 0.005;
            m_printScale = m_startPrintScale;
            RenderPages(false);
        }
    }
    button(QStringLiteral("PageOrientationBut"))->setChecked(m_pages->orientation() == QPageLayout::Landscape);
    setWindowIcon(QApplication::windowIcon());
    setMinimumSize(250, 300);
    setCaptionsShown(false);
    ShowPreviewPage(0);
    UpdatePageButtons();
}

TPreviewForm::~TPreviewForm()
{
    qApp->removeEventFilter(this);
}

QToolButton* TPreviewForm::addButton(const QString& name, const QString& hint, const QString& caption, bool checkable)
{
    auto* b = new QToolButton(this);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setStatusTip(hint);
    b->setText(caption);
    b->setIcon(previewIcon(name));
    b->setCheckable(checkable);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->installEventFilter(this);
    m_toolbar->addWidget(b);
    return b;
}

QToolButton* TPreviewForm::button(const QString& name) const
{
    return findChild<QToolButton*>(name);
}

QString TPreviewForm::statusText(int panel) const
{
    return panel >= 0 && panel < 4 ? m_status[panel]->text() : QString();
}

QCursor TPreviewForm::toolCursor() const
{
    return m_tool == Tool::Hand ? m_cursors[HandOpened] : m_cursors[Zoom];
}

void TPreviewForm::ShowPreviewPage(int index)
{
    m_pageIndex = index;
    m_status[0]->setText(QStringLiteral(u"Страница %1 из %2").arg(index + 1).arg(m_pages->pageCount()));
    m_sheets[0]->update();
    m_sheets[1]->update();
}

void TPreviewForm::UpdatePageButtons()
{
    const int count = m_pages->pageCount();
    button(QStringLiteral("NextPageBut"))->setEnabled(m_pageIndex + 1 < count);
    button(QStringLiteral("LastPageBut"))->setEnabled(m_pageIndex + 1 < count);
    button(QStringLiteral("PrevPageBut"))->setEnabled(m_pageIndex > 0);
    button(QStringLiteral("FirstPageBut"))->setEnabled(m_pageIndex > 0);
    button(QStringLiteral("GoToPageBut"))->setEnabled(count > 1);
    QToolButton* two = button(QStringLiteral("TwoPageBut"));
    if (count == 1) {
        two->setEnabled(false);
        two->setChecked(false);
        button(QStringLiteral("OnePageBut"))->setChecked(true);
        layoutSheets();
    } else {
        two->setEnabled(true);
    }
}

bool TPreviewForm::RenderPages(bool withProgress)
{
    if (withProgress && !m_quiet) {
        TPrnStatusForm progress(this);
        const bool nothingNew = progress.FormatPages(m_viewer, *m_pages, m_printScale);
        m_cancelled = progress.cancelRequested();
        return nothingNew;
    }
    m_cancelled = false;
    if (!m_pages->layout(m_viewer, m_printScale))
        qCDebug(lcPrint) << "the pages were not laid out again at" << m_printScale;
    return false;
}

void TPreviewForm::layoutSheets()
{
    QToolButton* one = button(QStringLiteral("OnePageBut"));
    QToolButton* two = button(QStringLiteral("TwoPageBut"));
    QToolButton* fitPage = button(QStringLiteral("FitPageBut"));
    QToolButton* fitWidth = button(QStringLiteral("FitWidthBut"));
    if (!one->isChecked() && !two->isChecked())
        one->setChecked(true);
    if (m_zoomBox->currentIndex() < 0)
        m_zoomBox->setCurrentIndex(0);
    const int item = m_zoomBox->currentIndex();
    // "Страница целиком" keeps two sheets side by side and fits both; the width of a sheet is
    // fitted one sheet at a time.
    if (item == 1) {
        one->setChecked(true);
        two->setChecked(false);
    }
    fitPage->setChecked(item == 0);
    fitWidth->setChecked(item == 1);
    const SheetGeometry sheet = m_pages->geometry();
    const double ppi = logicalDpiX();
    const QSize client = m_scroll->viewport()->size();
    const double paperWidthInches = double(std::max(1, sheet.paperWidth)) / sheet.dpiX;
    const double paperHeightInches = double(std::max(1, sheet.paperHeight)) / sheet.dpiY;
    double zoom = m_viewZoom;
    if (item == 0 || item == 1) {
        const int sheets = two->isChecked() ? 2 : 1;
        const double fitWidthZoom = double(client.width() - 20 * sheets) / sheets / ppi / paperWidthInches;
        zoom = fitWidthZoom;
        if (item == 0)
            zoom = std::min((client.height() - 20) / ppi / paperHeightInches, fitWidthZoom);
    } else if (item >= 3) {
        zoom = kZoomValues[item];
    }
    zoom = std::max(zoom, 0.01);
    const int height = int(ppi * zoom * paperHeightInches);
    const int width = int(logicalDpiX() * zoom * paperWidthInches);
    const bool twoShown = two->isChecked();
    m_sheets[0]->resize(width, height);
    m_sheets[1]->resize(width, height);
    m_sheets[1]->setVisible(twoShown);
    m_sheets[0]->show();
    const int contentWidth = width + 20 + (twoShown ? width + 20 : 0);
    const int containHeight = std::max(height + 20, client.height() - 1);
    const int containWidth = contentWidth < client.width() ? client.width() - 1 : contentWidth;
    m_contain->resize(containWidth, containHeight);
    const int top = height + 20 < containHeight ? containHeight / 2 - height / 2 : 10;
    const int left = contentWidth < containWidth ? containWidth / 2 - (contentWidth - 20) / 2 : 10;
    m_sheets[0]->move(left, top);
    m_sheets[1]->move(left + width + 20, top);
    m_viewZoom = zoom;
    m_status[1]->setText(QStringLiteral(u" Масштаб просмотра: ") + percent(zoom));
    m_status[2]->setText(QStringLiteral(u" Масштаб печати: ") + percent(m_printScale));
}

void TPreviewForm::paintSheet(QPainter& painter, int sheet, QRect rect)
{
    const int index = m_pageIndex + sheet;
    if (sheet == 1 && !button(QStringLiteral("TwoPageBut"))->isChecked())
        return;
    if (index >= m_pages->pageCount()) {
        painter.fillRect(rect, Qt::white);
        return;
    }
    m_pages->drawPage(painter, index, rect);
}

void TPreviewForm::afterRelayout()
{
    layoutSheets();
    ShowPreviewPage(std::min(m_pageIndex, std::max(0, m_pages->pageCount() - 1)));
    UpdatePageButtons();
}

void TPreviewForm::FirstPageButClick()
{
    ShowPreviewPage(0);
    UpdatePageButtons();
}

void TPreviewForm::PrevPageButClick()
{
    if (m_pageIndex > 0)
        ShowPreviewPage(m_pageIndex - 1);
    UpdatePageButtons();
}

void TPreviewForm::NextPageButClick()
{
    if (m_pageIndex + 1 < m_pages->pageCount())
        ShowPreviewPage(m_pageIndex + 1);
    UpdatePageButtons();
}

void TPreviewForm::LastPageButClick()
{
    ShowPreviewPage(std::max(0, m_pages->pageCount() - 1));
    UpdatePageButtons();
}

void TPreviewForm::GoToPageButClick()
{
    TGoPageForm dialog(this);
    dialog.setHighest(m_pages->pageCount());
    dialog.setValue(m_pageIndex + 1);
    if (dialog.exec() == QDialog::Accepted) {
        ShowPreviewPage(std::clamp(dialog.value(), 1, std::max(1, m_pages->pageCount())) - 1);
        UpdatePageButtons();
    }
}

void TPreviewForm::ZoomBoxChange()
{
    layoutSheets();
    layoutSheets();
}

void TPreviewForm::FitPageButClick()
{
    // Two sheets stay two sheets, both fitted.
    button(QStringLiteral("FitWidthBut"))->setChecked(false);
    m_zoomBox->setCurrentIndex(0);
    ZoomBoxChange();
}

void TPreviewForm::FitWidthButClick()
{
    button(QStringLiteral("FitPageBut"))->setChecked(false);
    button(QStringLiteral("TwoPageBut"))->setChecked(false);
    m_zoomBox->setCurrentIndex(1);
    ZoomBoxChange();
}

void TPreviewForm::OnePageButClick()
{
    button(QStringLiteral("OnePageBut"))->setChecked(true);
    button(QStringLiteral("TwoPageBut"))->setChecked(false);
    button(QStringLiteral("FitWidthBut"))->setChecked(false);
    m_zoomBox->setCurrentIndex(0);
    layoutSheets();
}

void TPreviewForm::TwoPageButClick()
{
    m_zoomBox->setCurrentIndex(2);
    ZoomBoxChange();
    button(QStringLiteral("FitPageBut"))->setChecked(false);
    button(QStringLiteral("FitWidthBut"))->setChecked(false);
    button(QStringLiteral("TwoPageBut"))->setChecked(true);
    button(QStringLiteral("OnePageBut"))->setChecked(false);
    layoutSheets();
}

void TPreviewForm::PageOrientationButClick()
{
    QToolButton* b = button(QStringLiteral("PageOrientationBut"));
    m_pages->setOrientation(b->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait);
    b->setChecked(m_pages->orientation() == QPageLayout::Landscape);
    if (!RenderPages(true))
        afterRelayout();
}

void TPreviewForm::RestoreStartPrintZoomButClick()
{
    m_printScale = m_startPrintScale;
    RenderPages(true);
    afterRelayout();
}

void TPreviewForm::setNumbering(bool on)
{
    m_numberingOn->setChecked(on);
    m_numberingOff->setChecked(!on);
    // The numbers are laid over the pages the engine gave; the document is not laid out again.
    m_pages->setNumbering(on);
    ShowPreviewPage(std::min(m_pageIndex, std::max(0, m_pages->pageCount() - 1)));
    layoutSheets();
}

void TPreviewForm::setBackgrounds(bool on)
{
    m_background->setChecked(on);
    m_pages->setBackgrounds(on);
    if (!RenderPages(true))
        afterRelayout();
}

void TPreviewForm::setCaptionsShown(bool on)
{
    m_captions->setChecked(on);
    m_toolbar->setToolButtonStyle(on ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
    QToolButton* orientation = button(QStringLiteral("PageOrientationBut"));
    orientation->setText(on ? QStringLiteral(u"Ориентация листа") : QString());
    setMinimumSize(on ? QSize(300, 600) : QSize(250, 300));
    layoutSheets();
}

void TPreviewForm::ZoomCursorPrintButClick()
{
    m_tool = Tool::PrintScale;
    button(QStringLiteral("ZoomCursorPrintBut"))->setChecked(true);
    button(QStringLiteral("ZoomCursorBut"))->setChecked(false);
    button(QStringLiteral("HandCursorBut"))->setChecked(false);
    setCursor(m_cursors[Zoom]);
}

void TPreviewForm::ZoomCursorButClick()
{
    m_tool = Tool::ViewZoom;
    button(QStringLiteral("ZoomCursorPrintBut"))->setChecked(false);
    button(QStringLiteral("ZoomCursorBut"))->setChecked(true);
    button(QStringLiteral("HandCursorBut"))->setChecked(false);
    setCursor(m_cursors[Zoom]);
}

void TPreviewForm::HandCursorButClick()
{
    m_tool = Tool::Hand;
    button(QStringLiteral("ZoomCursorPrintBut"))->setChecked(false);
    button(QStringLiteral("ZoomCursorBut"))->setChecked(false);
    button(QStringLiteral("HandCursorBut"))->setChecked(true);
    setCursor(m_cursors[HandOpened]);
}

void TPreviewForm::sheetPressed(int sheet, QPoint point, Qt::MouseButton mouseButton)
{
    SheetView* view = m_sheets[sheet == 1 ? 1 : 0];
    switch (m_tool) {
    case Tool::Hand:
        view->setCursor(m_cursors[HandClosed]);
        m_drag = view->mapToGlobal(point);
        m_dragging = true;
        return;
    case Tool::PrintScale: {
        const double before = m_printScale;
        if (mouseButton == Qt::LeftButton && m_printScale < kMaxPrintScale)
            m_printScale *= 1.1;
        else if (mouseButton == Qt::RightButton && m_printScale > kMinPrintScale)
            m_printScale /= 1.1;
        if (m_printScale != before && !RenderPages(true))
            afterRelayout();
        break;
    }
    case Tool::ViewZoom: {
        const QSize oldSize = view->size();
        if (mouseButton == Qt::LeftButton && m_viewZoom < kMaxViewZoom)
            m_viewZoom *= 1.25;
        if (mouseButton == Qt::RightButton && m_viewZoom > kMinViewZoom)
            m_viewZoom /= 1.25;
        m_zoomBox->setCurrentIndex(2);
        layoutSheets();
        // The clicked point comes to the middle of the view.
        const QSize newSize = view->size();
        const int x = int(double(point.x()) / std::max(1, oldSize.width()) * newSize.width()) + view->x();
        const int y = int(double(point.y()) / std::max(1, oldSize.height()) * newSize.height()) + view->y();
        m_scroll->horizontalScrollBar()->setValue(x - m_scroll->width() / 2);
        m_scroll->verticalScrollBar()->setValue(y - m_scroll->height() / 2);
        break;
    }
    }
    view->setCursor(mouseButton == Qt::RightButton  ? m_cursors[ZoomOut]
                    : mouseButton == Qt::LeftButton ? m_cursors[ZoomIn]
                                                    : m_cursors[Zoom]);
}

void TPreviewForm::scrollBy(int dx, int dy)
{
    m_scroll->horizontalScrollBar()->setValue(m_scroll->horizontalScrollBar()->value() + dx);
    m_scroll->verticalScrollBar()->setValue(m_scroll->verticalScrollBar()->value() + dy);
}

bool TPreviewForm::printRange(int first, int last)
{
    if (m_pages->pageCount() == 0 || !m_pages->available())
        return false;
    if (m_quiet)
        return m_pages->print(first, last);
    TPrnStatusForm progress(this);
    bool ok = false;
    progress.PrintPages(*m_pages, first, last, &ok);
    return ok;
}

void TPreviewForm::PrintButClick()
{
    // The hidden "print to PDF file" setting writes its file; without a printer the button saves
    // a PDF, and only a paper copy asked for through the menu tells that the printer is missing.
    if (m_pages->printsToFile()) {
        if (!printRange(1, m_pages->pageCount()))
            QMessageBox::warning(this, windowTitle(), kPrinterUnavailable.toString());
        return;
    }
    if (!m_pages->available()) {
        saveAsPdf();
        return;
    }
    printOnPaper();
}

void TPreviewForm::printOnPaper()
{
    const auto warn = [this] {
        QMessageBox box(QMessageBox::Warning, windowTitle(), kPrinterUnavailable.toString(), QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("PrinterUnavailable"));
        if (!m_pages->unavailableText().isEmpty())
            box.setInformativeText(m_pages->unavailableText() +
                                   QStringLiteral(u" Документ можно сохранить в PDF: «Сохранить в PDF…» в меню "
                                                  u"кнопки «Печать»."));
        box.exec();
    };
    if (!m_pages->available()) {
        warn();
        return;
    }
    const int count = m_pages->pageCount();
    if (m_pages->printsToFile()) {
        if (!printRange(1, count))
            warn();
        return;
    }
    QPrintDialog dialog(&m_pages->printer(), this);
    dialog.setMinMax(1, count);
    dialog.setFromTo(1, count);
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintToFile);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const bool range = m_pages->printer().printRange() == QPrinter::PageRange;
    const int first = range ? std::max(1, m_pages->printer().fromPage()) : 1;
    const int last = range ? std::max(first, m_pages->printer().toPage()) : count;
    if (!printRange(first, last))
        warn();
}

void TPreviewForm::saveAsPdf()
{
    static QString lastFolder; // the folder chosen the last time, for the rest of the run
    if (lastFolder.isEmpty() || !QFileInfo(lastFolder).isDir())
        lastFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QFileInfo(lastFolder).isDir())
        lastFolder = QDir::homePath();
    QString name = m_viewer ? m_viewer->title().simplified() : QString();
    name.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral("_"));
    if (name.isEmpty())
        name = QStringLiteral(u"Документ");

    QFileDialog dialog(this, QStringLiteral(u"Сохранить в PDF"),
                       QDir(lastFolder).filePath(name + QStringLiteral(".pdf")),
                       QStringLiteral(u"Документы PDF (*.pdf);;Все файлы (*)"));
    dialog.setObjectName(QStringLiteral("SavePdfDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setLocale(QLocale(QLocale::Russian, QLocale::Russia));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral(u"Папка:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral(u"Имя файла:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral(u"Тип файла:"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral(u"Сохранить"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral(u"Отмена"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        qCDebug(lcPrint) << "no PDF saved: the file dialog was closed without a file";
        return;
    }
    const QString file = dialog.selectedFiles().constFirst();
    qCDebug(lcPrint) << "saving the PDF to" << file;
    lastFolder = QFileInfo(file).absolutePath();
    if (!m_pages->writePdf(file, 1, m_pages->pageCount())) {
        QMessageBox::warning(this, windowTitle(), QStringLiteral(u"Не удалось сохранить файл %1").arg(file));
        return;
    }
    m_status[3]->setText(QStringLiteral(u" Сохранено в %1").arg(QDir::toNativeSeparators(file)));
}

void TPreviewForm::HelpButClick()
{
    // As if F1 were pressed in the main window, which knows the help of the screen it shows.
    QWidget* main = parentWidget() ? parentWidget()->window() : nullptr;
    if (!main) {
        qCDebug(lcPrint) << "the preview has no main window to ask for help";
        return;
    }
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QCoreApplication::sendEvent(main, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier);
    QCoreApplication::sendEvent(main, &release);
}

bool TPreviewForm::previewKey(QKeyEvent* event)
{
    const int count = m_pages->pageCount();
    switch (event->key()) {
    case Qt::Key_Escape:
        reject();
        return true;
    case Qt::Key_PageUp:
        if (m_pageIndex >= 1)
            ShowPreviewPage(m_pageIndex - 1);
        break;
    case Qt::Key_PageDown:
        if (m_pageIndex < count - 1)
            ShowPreviewPage(m_pageIndex + 1);
        break;
    case Qt::Key_End:
        ShowPreviewPage(std::max(0, count - 1));
        break;
    case Qt::Key_Home:
        ShowPreviewPage(0);
        break;
    case Qt::Key_Left:
        scrollBy(-10, 0);
        return true;
    case Qt::Key_Right:
        scrollBy(10, 0);
        return true;
    case Qt::Key_Up:
        scrollBy(0, -10);
        return true;
    case Qt::Key_Down:
        scrollBy(0, 10);
        return true;
    case Qt::Key_P:
        if (!(event->modifiers() & Qt::ControlModifier))
            return false;
        PrintButClick();
        return true;
    case Qt::Key_F1:
        HelpButClick();
        return true;
    default:
        return false;
    }
    UpdatePageButtons();
    return true;
}

void TPreviewForm::keyPressEvent(QKeyEvent* event)
{
    if (!previewKey(event))
        QDialog::keyPressEvent(event);
}

void TPreviewForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (!m_failed && m_pages)
        layoutSheets();
}

void TPreviewForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The window sees every key before its controls while it is shown.
    qApp->installEventFilter(this);
    m_scroll->setFocus();
    ShowPreviewPage(m_pageIndex);
    UpdatePageButtons();
    layoutSheets();
}

void TPreviewForm::hideEvent(QHideEvent* event)
{
    qApp->removeEventFilter(this);
    QDialog::hideEvent(event);
}

bool TPreviewForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this && previewKey(static_cast<QKeyEvent*>(event)))
        return true;
    if (event->type() == QEvent::Enter ||
        (event->type() == QEvent::MouseMove && watched != m_sheets[0] && watched != m_sheets[1])) {
        if (auto* w = qobject_cast<QWidget*>(watched))
            w->unsetCursor();
    }
    if (event->type() == QEvent::Enter || event->type() == QEvent::HoverEnter) {
        if (auto* w = qobject_cast<QWidget*>(watched); w && !w->toolTip().isEmpty())
            m_status[3]->setText(QLatin1Char(' ') + w->toolTip());
    }
    if (event->type() == QEvent::Resize && watched == m_scroll->viewport() && !m_failed && m_pages)
        layoutSheets();
    return QDialog::eventFilter(watched, event);
}
