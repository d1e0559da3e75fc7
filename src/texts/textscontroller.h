#pragma once

// The texts, status line, path fields and search progress bar of one skinned window, made from
// the skin script in the order the window builds them. The window forwards its screen changes
// and the end of its paint here.

#include <QString>

#include <functional>
#include <memory>

class AppContext;
class QPainter;
class QWidget;
class SkinScript;
class TPathInputBox;
class TScaleBar;
class TStatusLine;
class TTextMsg;

class TextsController final
{
public:
    // currentScreen gives the window's current screen (0-based). The path fields read their saved
    // texts from context.openSettings(), so the title must be known.
    TextsController(QWidget* window, AppContext& context, const SkinScript& script, std::function<int()> currentScreen);
    // Saves the path fields.
    ~TextsController();
    TextsController(const TextsController&) = delete;
    TextsController& operator=(const TextsController&) = delete;

    // After every screen change.
    void ShowFieldsForScreen();
    // At the end of the window's paint: the labels of the current screen.
    void PaintTexts(QPainter& painter);

    // The title of the loaded document, into label number 1.
    void setPageTitle(const QString& title);
    void showStatus(const QString& text);
    void clearStatus();
    // The plain window mode hides the path fields of the current screen.
    void hideFields(bool hidden);

    // The folder typed in the first path field of the current screen (or of screen), ending
    // with '/'; empty when there is no such field.
    QString path() const;
    QString path(int screen) const;
    // The folder files are copied and archives unpacked to: the first path field of the current
    // screen, else the first field of the window (a skin may give the reader one folder for the
    // screens of every part); empty when the window has no field or it is blank.
    QString copyFolder() const;
    // Whether the current screen has a status-line label on the window itself, where a message
    // is seen.
    bool statusLineShown() const;

    // Each is null when the script declares no element of its kind.
    TTextMsg* texts() const { return m_texts.get(); }
    TPathInputBox* pathFields() const { return m_paths.get(); }
    TStatusLine& statusLine() const { return *m_status; }
    TScaleBar& scaleBar() const { return *m_scaleBar; }

private:
    std::function<int()> m_currentScreen;
    std::unique_ptr<TTextMsg> m_texts;
    std::unique_ptr<TStatusLine> m_status;
    std::unique_ptr<TPathInputBox> m_paths;
    std::unique_ptr<TScaleBar> m_scaleBar;
};
