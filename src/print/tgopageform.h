#pragma once

// The page jump of the print preview: a page number between 1 and the page count.

#include <QDialog>

class QSpinBox;

class TGoPageForm final : public QDialog
{
    Q_OBJECT
public:
    explicit TGoPageForm(QWidget* parent = nullptr);
    void setHighest(int highest);
    void setValue(int value);
    int value() const;
    QSpinBox* PageNum() const { return m_pageNum; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSpinBox* m_pageNum;
};
