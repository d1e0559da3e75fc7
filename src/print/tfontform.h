#pragma once

// The font dialog of the reading panes: the default font, its size, the text and link colours
// and the background, with a small sample page that shows each choice at once.

#include "panepage.h"

#include <QColor>
#include <QDialog>
#include <QList>

class QListWidget;
class QSpinBox;
class QWebEngineView;
class ColorGrid;

class TFontForm final : public QDialog
{
    Q_OBJECT
public:
    // The sample page, exactly as the dialog shows it.
    static const QString kSample;
    // The named colours the background list offers, in this order (Windows colour values): the
    // name the list shows, and the platform's name for it, which a list entry may also be given as.
    struct NamedColor
    {
        const char16_t* name;
        const char* platformName;
        int value;
    };
    static const QList<NamedColor>& colorNames();

    explicit TFontForm(QWidget* parent = nullptr);
    ~TFontForm() override;

    void setFontName(const QString& name);
    void setFontColor(int color);
    void setFontSize(int size);
    void setHotSpotColor(int color);
    void setBackground(int color);

    // The font selected in the list, or "Arial" with none selected.
    QString fontName() const;
    int fontColor() const { return m_fontColor; }
    int fontSize() const { return m_fontSize; }
    int hotSpotColor() const { return m_hotSpotColor; }
    // The colour of the entry selected in the background list, or the button face colour.
    int background() const;

    PaneFonts fonts() const;
    void setFonts(const PaneFonts& fonts);

    // "Сброс": the panes' own default look (the font, size and colours the reader starts with
    // before choosing any). "Отмена" already keeps the values the dialog was shown with.
    void reset();

    // A colour as the background list names it: its Russian name from the table, else "Цвет"
    // and its hexadecimal RGB form ("Цвет #563412").
    static QString colorToName(int color);
    // The colour a name stands for: a Russian or platform name of the table ("clOlive"), the
    // form colorToName gives, or the platform's "$00BBGGRR"; nothing for any other text.
    static std::optional<int> nameToColor(const QString& name);

    // The parts tests look at.
    QListWidget* FontListBox() const { return m_fontList; }
    QListWidget* BackListBox() const { return m_backList; }
    QSpinBox* FontSizeEdit() const { return m_sizeEdit; }
    ColorGrid* FontColorGrid() const { return m_fontGrid; }
    ColorGrid* HotSpotColorGrid() const { return m_linkGrid; }
    QWebEngineView* FontViewer() const { return m_viewer; }
    // The sample's name for its default font (the name given, even one the system lacks).
    QString sampleFontName() const { return m_sample.name; }
    // What the sample page shows now.
    const PaneFonts& sample() const { return m_sample; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void redraw();
    // The entries chosen in the lists, by the mouse or the keyboard, reach the sample.
    void fontEntryChosen();
    void backgroundEntryChosen();

    QWebEngineView* m_viewer;
    QListWidget* m_fontList;
    QListWidget* m_backList;
    ColorGrid* m_fontGrid;
    ColorGrid* m_linkGrid;
    QSpinBox* m_sizeEdit;
    PaneFonts m_sample; // what the sample page shows
    int m_fontColor = 0;
    int m_hotSpotColor = 0;
    int m_fontSize = 12;
    bool m_setting = false; // a setter moves the lists: their entries do not reach the sample
};

// A grid of the 16 basic colours; a click chooses one and marks it until the mark is cleared.
class ColorGrid final : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kColumns = 4;
    static constexpr int kCell = 18;

    explicit ColorGrid(QWidget* parent = nullptr);
    // The 16 colours as Windows colour values, in grid order.
    static const QList<int>& colors();
    // The cell chosen, or -1.
    int chosen() const { return m_chosen; }
    void clearMark();
    void choose(int cell); // as a click on that cell
    QSize sizeHint() const override;

Q_SIGNALS:
    void colorChosen(int color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // The arrow keys choose the neighbouring colour.
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_chosen = -1;
};
