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

void TPrnStatusForm::keyPressEvent(QKeyEvent* event)
{
    requestCancel();
    event->accept();
}

bool TPrnStatusForm::run(const std::function<void()>& operation)
{
    // The operation starts once the window is up, and closes it when done.
    QTimer::singleShot(0, this, [this, operation] {
        operation();
        done(m_cancel ? QDialog::Rejected : QDialog::Accepted);
    });
    return exec() == QDialog::Rejected;
}

bool TPrnStatusForm::FormatPages(QWebEnginePage* page, PageStore& store, double scale)
{
    return run([&] {
        if (!store.layout(page, scale, [this](int n) { return progress(n); }) && !m_cancel)
            m_cancel = true; // no pages: as good as cancelled for the caller
    });
}

bool TPrnStatusForm::PrintPages(PageStore& store, double scale, int first, int last, bool* ok)
{
    bool printed = false;
    const bool cancelled =
        run([&] { printed = store.print(first, last, scale, [this](int n) { return progress(n); }); });
    if (ok)
        *ok = printed || cancelled;
    return cancelled;
}
