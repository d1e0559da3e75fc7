#pragma once

// The progress window inside which the pages are laid out or printed, with "Отмена". "Отмена", any
// key pressed while it has the focus, and its close button all cancel, and the window closes at
// once: the engine's answer, when it comes later, is dropped, and nothing is printed.

#include <QDialog>

#include <functional>

class QLabel;
class PageStore;
class QWebEnginePage;

class TPrnStatusForm final : public QDialog
{
    Q_OBJECT
public:
    explicit TPrnStatusForm(QWidget* parent = nullptr);

    // Both return whether the user cancelled. A layout that gave no pages counts as cancelled:
    // the caller has nothing new to show.
    bool FormatPages(QWebEnginePage* page, PageStore& store, double scale);
    // ok is false when the printer failed.
    bool PrintPages(PageStore& store, int first, int last, bool* ok);

    // The work's progress: page 0 before it starts, then each page; false asks it to stop.
    bool progress(int page);
    void requestCancel();
    bool cancelRequested() const { return m_cancel; }
    QString statusText() const;

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* m_status;
    bool m_cancel = false;
    bool m_running = false; // the window's own event loop runs
};
