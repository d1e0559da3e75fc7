#pragma once

// The skinned main window: one screen at a time, each a background picture with the buttons and
// switches the skin script declares for it. Pointer and keys become commands, which RunCommand
// carries out itself or hands to the components that own them.
//
// mainform.cpp: screens, keys, the opening and closing; screenelements.cpp: the buttons and
// switches of the screen, painted and under the pointer; dispatcher.cpp: RunCommand.

#include "componenthooks.h"
#include "elementinput.h"
#include "skinscript.h"

#include <QImage>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class AppContext;
class ClickSound;
class HotArea;
class QLabel;
class FrameAnimation;
class QTimer;
class TEffBtnCar;
class TSuperTimer;

// Where a command came from: a push button, a single switch or a group switch of the current
// screen, by index; keys, popups and other copies pass a button and index 0.
enum class CommandSource
{
    Button = 0,
    SingleSwitch = 1,
    GroupSwitch = 2,
};

// The desktop's services that commands use: the default ones open documents and addresses with
// the desktop's handlers and start programs detached; tests stand in for them.
struct DesktopServices
{
    std::function<bool(const QUrl& url)> openUrl;
    std::function<bool(const QString& program, const QStringList& arguments, const QString& folder)> startProgram;
};

class TMainForm final : public QWidget
{
    Q_OBJECT
public:
    // The fixed document panel that holds the trees and the HTML panes.
    static constexpr QRect kDocumentPanel{33, 90, 673, 421};
    // Where the animated picture "piston.gif" stands.
    static constexpr QPoint kAnimationPosition{583, 470};
    // The smallest the plain window may be made: its toolbar and a little of the page.
    static constexpr QSize kPlainMinimum{320, 200};

    TMainForm(AppContext& context, SkinScript& script, QWidget* parent = nullptr);
    ~TMainForm() override;

    ComponentHooks& components() { return m_components; }
    DesktopServices& desktopServices() { return m_services; }
    QWidget* documentPanel() const { return m_panel; }

    // Builds screen 0: pictures, hot areas, switch states, the fixed parts and the fonts; shows
    // the pane and tree of screen 0, as every screen change does; then runs the switch commands
    // of screen 0. The components are joined to the window (components()) before.
    void buildFirstScreen();
    // Shows the window with the opening effect.
    void showStep();
    // The ordered end: the window stops looking at the program's events (the components go next,
    // while it lives on), the exit button's sound played out, fonts removed, switch states and the
    // panes' font choices saved.
    void shutdown();

    void RunCommand(const QString& command, const QString& sound, bool silent,
                    CommandSource source = CommandSource::Button, int sourceIndex = 0);
    void changeScreen(int screen, CommandSource source = CommandSource::Button, int sourceIndex = -1);

    int currentScreen() const { return m_screen; }
    bool initialising() const { return m_initialising; }
    int exitButtonIndex() const { return m_exitButton; }
    bool effectRunning() const;
    // The background of the current screen with the resting pictures of its elements.
    const QImage& composedBackground() const { return m_background; }
    QList<HotArea*> hotAreas() const;
    // The hint of every button of the current screen whose command is command (any case).
    void setButtonHints(const QString& command, const QString& hint);
    // The pointer is over a pane or a field: hovered elements return to their resting look.
    void pointerOffElements() { pointerMove(QPoint(-1, -1)); }
    // The music was switched on or off: the music buttons show it.
    void musicChanged() { update(); }
    // Whether the window follows the pointer: from a press on no element until the button is up.
    bool dragging() const { return m_dragging; }
    // History led back into the part of the manual that starts with startPage: every switch of
    // the screen whose click would open that part is pressed again, so it shows selected. The
    // press is the one with Shift held: it turns the switch without running its command, which
    // would show the part's start page instead of the page history led to.
    void pressSwitchesFor(const QString& startPage);
    // Every group switch of every screen whose command is command shows on (turning the others of
    // its group off) or off, without running its command: a state set elsewhere (the search panel's
    // scope) shows on the window's switches too.
    void showGroupSwitch(const QString& command, bool on);

    // The plain window ("standartwin"): an ordinary framed, resizable window, maximised, with a
    // toolbar ("Печать", "Свернуть") over the current pane, which fills it; the skin's fields and
    // search boxes hide. "Свернуть" returns to the skin with its size, outline and place. Both
    // may follow each other any number of times; a screen change returns to the skin first.
    void StartStandardWindow();
    void ReturnToSkin();
    bool isStandardWindow() const { return m_standard; }
    // Whether the window has painted itself since it was shown.
    bool hasPainted() const { return m_painted; }

Q_SIGNALS:
    void screenChanged(int screen);
    void closingFinished();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void changeEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // One button or switch of the current screen: its kind, the index of its record in the
    // screen's list of that kind, and its pictures. A button's hover and pressed state is kept
    // here; a switch's hover and on state are in its record, which keeps them across screens.
    struct ScreenElement
    {
        ElementKind kind = ElementKind::Button;
        int record = 0;
        std::array<QImage, 4> pictures; // buttons: up, hover, down; switches: off, off hovered, on hovered, on
        bool hover = false;
        bool pressed = false;
        HotArea* area = nullptr;
        TEffBtnCar* effect = nullptr;
    };
    // Where an element's record puts it: the left-top corner and the right and bottom edges.
    struct ElementPlace
    {
        int vx = 0;
        int vy = 0;
        int right = 0;
        int bottom = 0;
    };

    SkinScreen& screenRecord() { return m_script.screens[m_screen]; }
    ClickSound& clickSound();
    QImage loadPicture(const QString& name) const;
    void loadBackground(int screen);
    void buildElements();
    void resizeElements(qsizetype count);
    void releaseElement(ScreenElement& element);
    // The element of a kind with the given record index, nullptr for none.
    ScreenElement* element(ElementKind kind, int record);
    ElementPlace placeOf(const ScreenElement& element);
    ElementState stateOf(const ScreenElement& element);
    void setState(ScreenElement& element, const ElementState& state);
    void composeBackground();
    void runSwitchCommands(bool onScreenChange);
    void addFonts();
    void createAnimation();
    void updateAnimation();
    // Starts the cross-fade a step asks for, if any.
    void crossFade(ScreenElement& element, const ElementStep& step, QPoint at);
    void startClipRestart();

    void pointerMove(QPoint at);
    void pointerPress(QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void pointerRelease(QPoint at);
    // The window's keys, seen before the focused control's; true when the window acted on the key.
    bool previewKey(QKeyEvent* event, bool textEntry);
    // A switch of the second tree does not answer while there is one and neither tree shows.
    bool treeSwitchBlocked(const ScreenElement& element);
    // The window follows the pointer from a press on no element until the button comes up; a
    // pointer that moves with the button up, or a window that loses the pointer or the focus,
    // ends it as well, so a release that never arrives cannot leave the window on the pointer.
    void startDrag(QPoint at, Qt::MouseButton button);
    void endDrag();
    bool dragEvent(QEvent* event);
    // A button that shows a state of the program rests on its down picture while that is on:
    // the music button while the music plays.
    bool restsDown(const ScreenElement& element);

    // "run=": a program starts, a document opens with its handler, a web address goes to the browser.
    void runTarget(const QString& command);
    // The help page of the header at topic (empty: from its top), in a help copy of the program,
    // or in the help copy that is open, brought to the front.
    void showHelpTopic(const QString& topic);
    void startClosingEffect();
    void closeOtherWindows();
    void setOutline(const QRegion& outline);

    AppContext& m_context;
    SkinScript& m_script;
    ComponentHooks m_components;
    DesktopServices m_services;
    std::unique_ptr<ClickSound> m_sound;

    int m_screen = 0; // the start screen
    bool m_initialising = false;
    bool m_painted = false;
    bool m_closing = false;
    int m_exitButton = -1;
    QImage m_background;
    QRegion m_outline;   // the script's window outline, empty for none
    QSize m_outlineSize; // the window size m_outline was made for

    QList<ScreenElement> m_elements; // the buttons, then the single switches, then the group switches

    bool m_dragging = false;
    QPoint m_dragAnchor; // the point of the window that stays under the pointer
    Qt::MouseButton m_dragButton = Qt::LeftButton;

    QWidget* m_panel = nullptr;
    // The plain window: its toolbar (made on first entry), and the skin's outline to go back to.
    class QToolBar* m_toolbar = nullptr;
    bool m_standard = false;
    QRegion m_skinMask;
    QPoint m_skinPosition;
    QLabel* m_animation = nullptr;
    FrameAnimation* m_movie = nullptr;
    QList<int> m_fonts;

    TSuperTimer* m_effectTimer = nullptr;
    QTimer* m_clipRestart = nullptr;
};
