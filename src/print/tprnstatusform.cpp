#include "tprnstatusform.h"

#include "pagestore.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

TPrnStatusForm::TPrnStatusForm(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral(u"Форматирование текста"));
    setFixedSize(248, 88);
    auto* layout = new QVBoxLayout(this);
    m_status = new QLabel(QStringLiteral("Status"), this);
    m_status->setAlignment(Qt::AlignCenter);
    auto* cancel = new QPushButton(QStringLiteral(u"Отмена"), this);
    cancel->setObjectName(QStringLiteral("SpeedButton1"));
    cancel->setFlat(true);
    cancel->setFocusPolicy(Qt::NoFocus);
    connect(cancel, &QPushButton::clicked, this, &TPrnStatusForm::requestCancel);
    layout->addWidget(m_status);
    layout->addWidget(cancel, 0, Qt::AlignHCenter);
    setFocusPolicy(Qt::StrongFocus);
}

QString TPrnStatusForm::statusText() const
{
    return m_status->text();
}

bool TPrnStatusForm::progress(int page)
{
    // The pointer and keys reach the window between pages, so "Отмена" is seen while it works.
    QCoreApplication::processEvents();
    if (m_cancel)
        return false;
    m_status->setText(page == 0 ? QStringLiteral(u"Форматирование ...")
                                : QStringLiteral(u"Номер страницы ") + QString::number(page));
    repaint();
    return true;
}

void TPrnStatusForm::requestCancel()
{
    m_cancel = true;
    if (m_running)
        done(QDialog::Rejected);
}

void TPrnStatusForm::reject()
{
    // Escape and the window's close button.
    requestCancel();
}

void TPrnStatusForm::keyPressEvent(QKeyEvent* event)
{
    requestCancel();
    event->accept();
}

bool TPrnStatusForm::FormatPages(QWebEnginePage* page, PageStore& store, double scale)
{
    m_status->setText(QStringLiteral(u"Форматирование ..."));
    bool finished = false;
    bool ok = false;
    store.startLayout(page, scale, [&](bool result) {
        finished = true;
        ok = result;
        if (ok)
            m_status->setText(QStringLiteral(u"Номер страницы ") + QString::number(store.pageCount()));
        if (m_running)
            done(QDialog::Accepted);
    });
    if (!finished && !m_cancel) {
        m_running = true;
        exec();
        m_running = false;
    }
    if (!finished) {
        // Cancelled while the engine works: its answer is dropped when it comes.
        m_cancel = true;
        store.cancelLayout();
    }
    return m_cancel || !ok;
}

bool TPrnStatusForm::PrintPages(PageStore& store, int first, int last, bool* ok)
{
    bool printed = false;
    QObject work; // ends with this call, and with it a start that has not come yet
    QTimer::singleShot(0, &work, [&] {
        if (!m_cancel)
            printed = store.print(first, last, [this](int n) { return progress(n); });
        if (m_running)
            done(m_cancel ? QDialog::Rejected : QDialog::Accepted);
    });
    if (!m_cancel) {
        m_running = true;
        exec();
        m_running = false;
    }
    if (ok)
        *ok = printed || m_cancel;
    return m_cancel;
}
