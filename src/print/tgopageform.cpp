#include "tgopageform.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kTitleBarAllowance = 120; // the window's icon and its close button

} // namespace

TGoPageForm::TGoPageForm(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral(u"Переход на страницу"));
    QFont bold(QStringLiteral("Tahoma"));
    bold.setBold(true);
    setFont(bold);
    m_pageNum = new QSpinBox(this);
    m_pageNum->setMinimum(1);
    m_pageNum->installEventFilter(this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral(u"Отмена"), this);
    ok->setFlat(true);
    cancel->setFlat(true);
    ok->setAutoDefault(false);
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* label = new QLabel(QStringLiteral(u"&Номер страницы:"), this);
    label->setBuddy(m_pageNum);
    auto* number = new QHBoxLayout;
    number->addWidget(label);
    number->addWidget(m_pageNum, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(number);
    layout->addLayout(buttons);
    // Wide enough for the whole caption beside the title bar's buttons.
    m_pageNum->setMinimumWidth(QFontMetrics(bold).horizontalAdvance(QStringLiteral("0000000")));
    const int titleWidth = QFontMetrics(bold).horizontalAdvance(windowTitle()) + kTitleBarAllowance;
    setFixedSize(std::max(sizeHint().width(), titleWidth), sizeHint().height());
}

void TGoPageForm::setHighest(int highest)
{
    m_pageNum->setMaximum(std::max(1, highest));
}

void TGoPageForm::setValue(int value)
{
    m_pageNum->setValue(value);
}

int TGoPageForm::value() const
{
    return m_pageNum->value();
}

bool TGoPageForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pageNum) {
        if (event->type() == QEvent::FocusIn)
            QTimer::singleShot(0, m_pageNum, [this] { m_pageNum->selectAll(); });
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_pageNum->interpretText();
                accept();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
