#pragma once

// The print preview: the document cut into printer sheets, with the print scale, the sheet's
// orientation, page numbers and table backgrounds to choose, the view zoomed and panned, one or
// two sheets side by side, the pages to step through, and a range of them to print. The print
// scale (how large the document is laid out on paper) and the view zoom (how large a sheet is
// drawn on the screen) stay apart.

#include "pagestore.h"

#include <QCursor>
#include <QDialog>

#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QScrollArea;
class QToolBar;
class QToolButton;
class QWebEnginePage;
class SheetView;

class TPreviewForm final : public QDialog
{
    Q_OBJECT
public:
    enum class Tool
    {
        PrintScale,
        ViewZoom,
        Hand
    };
    static constexpr double kMaxPrintScale = 3.0;
    static constexpr double kMinPrintScale = 0.05;
    static constexpr double kMaxViewZoom = 20.0;
    static constexpr double kMinViewZoom = 0.1;
    static constexpr QStringView kPrinterUnavailable = u"Принтер не доступен!";
    static constexpr QStringView kNoPages = u"Не удалось подготовить страницы к печати.";

    // picture: the document is one picture of pictureSize, fitted to one sheet. failed() says
    // whether the window may be shown; quiet: layouts run without the progress window.
    TPreviewForm(QWidget* parent, QWebEnginePage* viewer, bool picture, QSize pictureSize,
                 const QString& printToFile = QString(), bool quiet = false);
    ~TPreviewForm() override;

    bool failed() const { return m_failed; }
    QString failureText() const { return m_failureText; }

    PageStore& Pages() { return *m_pages; }
    int PageIndex() const { return m_pageIndex; }
    int pageCount() const { return m_pages->pageCount(); }
    double PrintScale() const { return m_printScale; }
    double StartPrintScale() const { return m_startPrintScale; }
    double ViewZoom() const { return m_viewZoom; }
    QString statusText(int panel) const;
    QToolButton* button(const QString& name) const;
    QComboBox* ZoomBox() const { return m_zoomBox; }
    Tool tool() const { return m_tool; }

    void ShowPreviewPage(int index);
    void UpdatePageButtons();
    // Lays the document out again at the print scale; true when the user cancelled.
    bool RenderPages(bool withProgress);
    void layoutSheets();

    // The toolbar's actions, as the buttons and keys run them.
    void FirstPageButClick();
    void PrevPageButClick();
    void NextPageButClick();
    void LastPageButClick();
    void GoToPageButClick();
    void ZoomBoxChange();
    void FitPageButClick();
    void FitWidthButClick();
    void OnePageButClick();
    void TwoPageButClick();
    void PageOrientationButClick();
    void RestoreStartPrintZoomButClick();
    void setNumbering(bool on);
    void setBackgrounds(bool on);
    void setCaptionsShown(bool on);
    void ZoomCursorPrintButClick();
    void ZoomCursorButClick();
    void HandCursorButClick();
    // The pointer tools on a sheet: a press with the left or right button at point of sheet 0 or 1.
    void sheetPressed(int sheet, QPoint point, Qt::MouseButton button);
    // Prints pages first..last with the print dialog's choice skipped; false when it failed.
    bool printRange(int first, int last);
    // On paper when there is a printer, else "Сохранить в PDF…"; the "print to PDF file" setting
    // writes its file.
    void PrintButClick();
    // The print dialog and a paper copy; without a printer, the notice that it is missing.
    void printOnPaper();
    // "Сохранить в PDF…": a file dialog, then the document's PDF written as the preview shows it.
    void saveAsPdf();
    // Asks the main window for help, as F1 there does.
    void HelpButClick();
    // The window's own keys; true when the key was one of them.
    bool previewKey(QKeyEvent* event);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class SheetView;
    QToolButton* addButton(const QString& name, const QString& hint, const QString& caption, bool checkable = false);
    void afterRelayout();
    void paintSheet(QPainter& painter, int sheet, QRect rect);
    void scrollBy(int dx, int dy);
    QCursor toolCursor() const;

    QWebEnginePage* m_viewer;
    std::unique_ptr<PageStore> m_pages;
    bool m_quiet;
    bool m_failed = false;
    bool m_cancelled = false; // the last layout with the progress window was cancelled
    QString m_failureText;
    int m_pageIndex = 0;
    double m_printScale = 1.0;
    double m_startPrintScale = 1.0;
    double m_viewZoom = 1.0;
    Tool m_tool = Tool::ViewZoom;
    bool m_dragging = false;
    QPoint m_drag;

    QToolBar* m_toolbar = nullptr;
    QComboBox* m_zoomBox = nullptr;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_contain = nullptr;
    SheetView* m_sheets[2] = {nullptr, nullptr};
    QLabel* m_status[4] = {};
    QMenu* m_menu = nullptr;
    QMenu* m_printMenu = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_numberingOn = nullptr;
    QAction* m_numberingOff = nullptr;
    QAction* m_captions = nullptr;
    QAction* m_background = nullptr;
    QCursor m_cursors[5];
};
