#pragma once

// The progress window inside which the pages are laid out or printed, with "Отмена". Any key
// pressed while it has the focus cancels too.

#include <QDialog>

class QLabel;
class PageStore;
class QWebEnginePage;

class TPrnStatusForm final : public QDialog
{
    Q_OBJECT
public:
    explicit TPrnStatusForm(QWidget* parent = nullptr);

    // Both return whether the user cancelled.
    bool FormatPages(QWebEnginePage* page, PageStore& store, double scale);
    // ok is false when the printer failed.
    bool PrintPages(PageStore& store, double scale, int first, int last, bool* ok);

    // The engine's progress: page 0 before it starts, then each page; false asks it to stop.
    bool progress(int page);
    void requestCancel() { m_cancel = true; }
    QString statusText() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool run(const std::function<void()>& operation);

    QLabel* m_status;
    bool m_cancel = false;
};
