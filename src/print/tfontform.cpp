#include "tfontform.h"

#include "printlog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

constexpr int kPaneBackground = 16777215; // the panes' own default: white
constexpr int kClDefault = 0x20000000;
constexpr int kClNone = 0x1FFFFFFF;

int toWindowsColor(const QColor& color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

} // namespace

const QString TFontForm::kSample =
    QStringLiteral(u"<center><h1>Заголовок</h1></center><ul>Нормальный текст<li><a href=NoWhere>Ссылка</a><li><b>"
                   u"Жирный текст</b><li><i>Наклонный текст</i><li><code>Текст кода</code></ul> <hr>");

const QList<TFontForm::NamedColor>& TFontForm::colorNames()
{
    static const QList<NamedColor> names = {
        {u"Чёрный", "clBlack", 0x000000},
        {u"Тёмно-красный", "clMaroon", 0x000080},
        {u"Зелёный", "clGreen", 0x008000},
        {u"Оливковый", "clOlive", 0x008080},
        {u"Тёмно-синий", "clNavy", 0x800000},
        {u"Фиолетовый", "clPurple", 0x800080},
        {u"Сине-зелёный", "clTeal", 0x808000},
        {u"Серый", "clGray", 0x808080},
        {u"Серебристый", "clSilver", 0xC0C0C0},
        {u"Красный", "clRed", 0x0000FF},
        {u"Ярко-зелёный", "clLime", 0x00FF00},
        {u"Жёлтый", "clYellow", 0x00FFFF},
        {u"Синий", "clBlue", 0xFF0000},
        {u"Пурпурный", "clFuchsia", 0xFF00FF},
        {u"Голубой", "clAqua", 0xFFFF00},
        {u"Белый", "clWhite", 0xFFFFFF},
        {u"Светло-зелёный", "clMoneyGreen", 0xC0DCC0},
        {u"Небесно-голубой", "clSkyBlue", 0xF0CAA6},
        {u"Кремовый", "clCream", 0xF0FBFF},
        {u"Светло-серый", "clMedGray", 0xA4A0A0},
        {u"По умолчанию", "clDefault", kClDefault},
        {u"Без цвета", "clNone", kClNone},
    };
    return names;
}

QString TFontForm::colorToName(int color)
{
    for (const NamedColor& named : colorNames()) {
        if (named.value == color)
            return QString::fromUtf16(named.name);
    }
    return QStringLiteral(u"Цвет ") + fromWindowsColor(color).name().toUpper();
}

std::optional<int> TFontForm::nameToColor(const QString& name)
{
    for (const NamedColor& named : colorNames()) {
        if (name.compare(QString::fromUtf16(named.name), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String(named.platformName), Qt::CaseInsensitive) == 0)
            return named.value;
    }
    bool ok = false;
    if (const QString prefix = QStringLiteral(u"Цвет #"); name.startsWith(prefix, Qt::CaseInsensitive)) {
        const uint rgb = name.mid(prefix.size()).toUInt(&ok, 16);
        if (ok && name.size() == prefix.size() + 6)
            return toWindowsColor(QColor::fromRgb(rgb));
    }
    if (name.startsWith(QLatin1Char('$'))) {
        const uint value = name.mid(1).toUInt(&ok, 16);
        if (ok)
            return int(value);
    }
    return std::nullopt;
}

TFontForm::TFontForm(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral(u"Шрифт"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);

    m_viewer = new QWebEngineView(this);
    m_viewer->setContextMenuPolicy(Qt::NoContextMenu);
    m_viewer->setMinimumSize(260, 260);
    QWebEngineSettings* settings = m_viewer->settings();
    settings->setFontFamily(QWebEngineSettings::StandardFont, QStringLiteral("Times New Roman"));
    settings->setFontFamily(QWebEngineSettings::FixedFont, QStringLiteral("Courier New"));
    settings->setAttribute(QWebEngineSettings::AutoLoadImages, false);
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, true);

    m_fontList = new QListWidget(this);
    m_fontList->setSortingEnabled(true);
    m_fontList->addItems(QFontDatabase::families());
    m_backList = new QListWidget(this);
    for (const NamedColor& named : colorNames())
        m_backList->addItem(QString::fromUtf16(named.name));
    m_fontGrid = new ColorGrid(this);
    m_linkGrid = new ColorGrid(this);
    m_sizeEdit = new QSpinBox(this);
    m_sizeEdit->setRange(6, 24);
    m_sizeEdit->setValue(12);

    auto labelFor = [this](const QString& text, QWidget* buddy) {
        auto* label = new QLabel(text, this);
        label->setBuddy(buddy);
        return label;
    };
    auto* reset = new QPushButton(QStringLiteral(u"&Сброс"), this);
    auto* ok = new QPushButton(QStringLiteral(u"O&K"), this);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral(u"Отмена"), this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_viewer, 0, 0, 8, 1);
    grid->addWidget(labelFor(QStringLiteral(u"&Шрифт"), m_fontList), 0, 1);
    grid->addWidget(m_fontList, 1, 1, 3, 1);
    grid->addWidget(labelFor(QStringLiteral(u"&Цвет фона"), m_backList), 0, 2);
    grid->addWidget(m_backList, 1, 2);
    grid->addWidget(labelFor(QStringLiteral(u"&Размер"), m_sizeEdit), 2, 2);
    grid->addWidget(m_sizeEdit, 3, 2);
    grid->addWidget(labelFor(QStringLiteral(u"Цвет &текста"), m_fontGrid), 4, 1);
    grid->addWidget(m_fontGrid, 5, 1);
    grid->addWidget(labelFor(QStringLiteral(u"Цвет &ссылки"), m_linkGrid), 4, 2);
    grid->addWidget(m_linkGrid, 5, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(reset);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 7, 1, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(reset, &QPushButton::clicked, this, &TFontForm::reset);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_fontGrid, &ColorGrid::colorChosen, this, [this](int color) {
        m_fontColor = color;
        m_sample.color = color;
        redraw();
    });
    connect(m_linkGrid, &ColorGrid::colorChosen, this, [this](int color) {
        m_hotSpotColor = color;
        m_sample.linkColor = color;
        redraw();
    });
    // The entry chosen, by a click or by the keys that move through a list.
    connect(m_fontList, &QListWidget::itemClicked, this, &TFontForm::fontEntryChosen);
    connect(m_fontList, &QListWidget::currentItemChanged, this, &TFontForm::fontEntryChosen);
    connect(m_backList, &QListWidget::itemClicked, this, &TFontForm::backgroundEntryChosen);
    connect(m_backList, &QListWidget::currentItemChanged, this, &TFontForm::backgroundEntryChosen);
    connect(m_sizeEdit, &QSpinBox::valueChanged, this, [this](int size) {
        if (size != m_fontSize)
            setFontSize(size);
    });
    m_sample.size = m_fontSize;
    redraw();
}

TFontForm::~TFontForm() = default;

void TFontForm::fontEntryChosen()
{
    const QList<QListWidgetItem*> selected = m_fontList->selectedItems();
    if (m_setting || selected.isEmpty() || selected.first()->text() == m_sample.name)
        return;
    m_sample.name = selected.first()->text();
    redraw();
}

void TFontForm::backgroundEntryChosen()
{
    if (m_setting || m_sample.background == background())
        return;
    m_sample.background = background();
    redraw();
}

void TFontForm::setFontName(const QString& name)
{
    const QScopedValueRollback setting(m_setting, true);
    QList<QListWidgetItem*> found = m_fontList->findItems(name, Qt::MatchFixedString);
    if (found.isEmpty())
        found = m_fontList->findItems(QStringLiteral("Arial"), Qt::MatchFixedString);
    m_fontList->setCurrentItem(found.isEmpty() ? nullptr : found.first());
    if (found.isEmpty())
        m_fontList->clearSelection();
    m_sample.name = name;
    redraw();
}

void TFontForm::setFontColor(int color)
{
    m_fontColor = color;
    m_sample.color = color;
    m_fontGrid->clearMark();
    redraw();
}

void TFontForm::setFontSize(int size)
{
    m_fontSize = size;
    m_sample.size = size;
    m_sizeEdit->setValue(size);
    redraw();
}

void TFontForm::setHotSpotColor(int color)
{
    m_hotSpotColor = color;
    m_sample.linkColor = color;
    m_linkGrid->clearMark();
    redraw();
}

void TFontForm::setBackground(int color)
{
    const QScopedValueRollback setting(m_setting, true);
    const QString name = colorToName(color);
    QList<QListWidgetItem*> found = m_backList->findItems(name, Qt::MatchFixedString);
    if (found.isEmpty()) {
        m_backList->addItem(name);
        found = {m_backList->item(m_backList->count() - 1)};
    }
    m_backList->setCurrentItem(found.first());
    m_sample.background = background();
    redraw();
}

QString TFontForm::fontName() const
{
    const QList<QListWidgetItem*> selected = m_fontList->selectedItems();
    return selected.isEmpty() ? QStringLiteral("Arial") : selected.first()->text();
}

int TFontForm::background() const
{
    const QList<QListWidgetItem*> selected = m_backList->selectedItems();
    if (selected.isEmpty())
        return toWindowsColor(QApplication::palette().color(QPalette::Button));
    const int color = nameToColor(selected.first()->text()).value_or(kPaneBackground);
    // "clDefault" and "clNone" name no colour a page can be painted with: the panes' own
    // background stands for them, instead of the black their values would read as.
    if (color == kClDefault || color == kClNone)
        return kPaneBackground;
    return color;
}

PaneFonts TFontForm::fonts() const
{
    return {fontName(), fontColor(), fontSize(), hotSpotColor(), background()};
}

void TFontForm::setFonts(const PaneFonts& fonts)
{
    setFontName(fonts.name);
    setFontColor(fonts.color);
    setFontSize(fonts.size);
    setHotSpotColor(fonts.linkColor);
    setBackground(fonts.background);
}

void TFontForm::reset()
{
    setFonts(PaneFonts{});
}

void TFontForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Over the skinned window, which keeps itself on top of the desktop.
    raise();
    activateWindow();
}

void TFontForm::redraw()
{
    // The sample takes the pane's own default style sheet, so it looks as the pages will.
    const QString page = QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><style>%1\n"
                                        "html { background: %2; overflow-x: hidden; user-select: none; }"
                                        "</style></head><body>%3</body></html>")
                             .arg(paneStyleSheet(m_sample), fromWindowsColor(m_sample.background).name(), kSample);
    m_viewer->page()->setBackgroundColor(fromWindowsColor(m_sample.background));
    m_viewer->setHtml(page);
}

ColorGrid::ColorGrid(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(sizeHint());
}

const QList<int>& ColorGrid::colors()
{
    static const QList<int> grid = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
                                    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    return grid;
}

QSize ColorGrid::sizeHint() const
{
    return QSize(kColumns * kCell + 1, (int(colors().size()) / kColumns) * kCell + 1);
}

void ColorGrid::clearMark()
{
    m_chosen = -1;
    update();
}

void ColorGrid::choose(int cell)
{
    if (cell < 0 || cell >= colors().size())
        return;
    m_chosen = cell;
    update();
    Q_EMIT colorChosen(colors()[cell]);
}

void ColorGrid::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (int i = 0; i < colors().size(); ++i) {
        const QRect cell((i % kColumns) * kCell, (i / kColumns) * kCell, kCell, kCell);
        painter.fillRect(cell, fromWindowsColor(colors()[i]));
        painter.setPen(i == m_chosen ? Qt::red : Qt::gray);
        painter.drawRect(cell.adjusted(0, 0, -1, -1));
    }
    // With the keyboard focus, the cell the arrow keys move from is framed.
    if (hasFocus()) {
        const int cell = m_chosen < 0 ? 0 : m_chosen;
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(QRect((cell % kColumns) * kCell + 2, (cell / kColumns) * kCell + 2, kCell - 5, kCell - 5));
    }
}

void ColorGrid::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const int column = point.x() / kCell;
    if (column < kColumns)
        choose((point.y() / kCell) * kColumns + column);
}

void ColorGrid::keyPressEvent(QKeyEvent* event)
{
    const int count = int(colors().size());
    const int from = m_chosen < 0 ? 0 : m_chosen;
    int to = -1;
    switch (event->key()) {
    case Qt::Key_Left:
        to = from - 1;
        break;
    case Qt::Key_Right:
        to = from + 1;
        break;
    case Qt::Key_Up:
        to = from - kColumns;
        break;
    case Qt::Key_Down:
        to = from + kColumns;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (m_chosen < 0)
        to = 0;
    if (to >= 0 && to < count)
        choose(to);
}
