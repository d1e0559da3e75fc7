#pragma once

// The records a skin script declares: one per element, as the script reader fills them. Every
// record starts zeroed; a key the reader never met leaves that default. vw and vh are the right
// and bottom edges of an element's rectangle, not its width and height. Texts are as read: ASCII
// letters already lower-cased, paths expanded where the key says so.

#include "scriptvalues.h"

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

// The ranges the reader keeps numbers of a script in: coordinates (vx, vy, vw, vh, caption
// rectangles, popup positions) and other counts within ±kMaxSkinCoordinate, font sizes within
// 0..kMaxSkinFontSize points. Far beyond any screen, and small enough that sums and differences of
// two of them, or of one and a picture's size, never overflow an int.
constexpr int kMaxSkinCoordinate = 100000;
constexpr int kMaxSkinFontSize = 1000;

// Push button.
struct RBtn
{
    int vx = 0;
    int vy = 0;
    int right = 0; // vx + width of the up picture, once it is loaded
    int bottom = 0;
    QString textcaption;
    int texttx = 0;
    int textty = 0;
    int textbx = 0;
    int textby = 0;
    QString textfontname;
    int textfontsize = 0;
    FontStyles styleup;
    FontStyles stylemv;
    FontStyles styledn;
    int colorup = 0;
    int colormv = 0;
    int colordn = 0;
    QString fn1; // up, hover and down pictures: container entries
    QString fn2;
    QString fn3;
    QString go; // command run on click
    QString hint;
    QString wav; // click sound relative to the content folder; "no" for none
};

// Single switch: toggles on each click.
struct RSwthOne
{
    int vx = 0;
    int vy = 0;
    int right = 0;
    int bottom = 0;
    QString fn1; // off, off hovered, on hovered, on
    QString fn2;
    QString fn3;
    QString fn4;
    bool store = false;
    QString goup;   // run when turned off
    QString godown; // run when turned on
    QString hint;
    QString wav;
    bool hover = false;
    bool state = false;
    QString textcaptionup;
    QString textcaptiondn;
    int texttxup = 0;
    int texttyup = 0;
    int textbxup = 0;
    int textbyup = 0;
    int texttxdn = 0;
    int texttydn = 0;
    int textbxdn = 0;
    int textbydn = 0;
    QString textfontname;
    int textfontsize = 0;
    FontStyles styleup;
    FontStyles stylemvup;
    FontStyles stylemvdn;
    FontStyles styledn;
    int colorup = 0;
    int colormvup = 0;
    int colormvdn = 0;
    int colordn = 0;
};

// Group switch: turning one on turns the others of its group (same number, same screen) off.
struct RSwthGrp
{
    int vx = 0;
    int vy = 0;
    int right = 0;
    int bottom = 0;
    QString fn1;
    QString fn2;
    QString fn3;
    QString fn4;
    bool store = false;
    int group = 0;
    QString go; // run when turned on
    QString hint;
    QString wav;
    bool hover = false;
    bool state = false;
    QString textcaptionup;
    QString textcaptiondn;
    int texttx = 0;
    int textty = 0;
    int textbx = 0;
    int textby = 0;
    QString textfontname;
    int textfontsize = 0;
    FontStyles styleup;
    FontStyles stylemvup;
    FontStyles stylemvdn;
    FontStyles styledn;
    int colorup = 0;
    int colormvup = 0;
    int colormvdn = 0;
    int colordn = 0;
};

struct RHTML
{
    int vx = 0;
    int vy = 0;
    int vw = 0;
    int vh = 0;
    QString fn; // start page
    int number = 0;
    int screen = 0;
};

struct RFindTxt
{
    int vx = 0;
    int vy = 0;
    int vw = 0;
    int vh = 0;
    QString frame;
    QStringList nofiles;
    int number = 0;
    int screen = 0;
    QString hint;
};

struct RPathInput
{
    int vx = 0;
    int vy = 0;
    int vw = 0;
    int vh = 0;
    QString pathdef;
    int screen = 0;
    QString hint;
};

struct RClip
{
    int vx = 0;
    int vy = 0;
    int vw = 0;
    int vh = 0;
    int bgcolor = 0;
    int html = 0;
    int screen = 0;
};

struct RText
{
    int vx = 0;
    int vy = 0;
    int vw = 0;
    QString font;
    int size = 0;
    QString style; // as written
    int color = 0;
    QString value;
    int number = 0;
    int screen = 0;
    QString ident;
};

struct RImage
{
    int vx = 0;
    int vy = 0;
    int vw = 0;
    int vh = 0;
    QString dir; // with a trailing separator
    int screen = 0;
};

// Kinds of popup list other than a numbered menu.
enum PopupType
{
    PopupHistoryBack = -1,
    PopupHistoryForward = -2,
    PopupFavorite = -3,
    PopupContextHtml = -5,
};

struct RPopupData
{
    int xfon = 0;
    int yfon = 0;
    QString fnfon;
    int xbtn = 0;
    int ybtn = 0;
    QStringList fnbtnup;
    QStringList fnbtnmove;
    QStringList fnbtndown;
    QString fontup;
    QString fontmv;
    int sizeup = 0;
    int sizemv = 0;
    QString styleup; // as written
    QString stylemv;
    int colorup = 0;
    int colormv = 0;
    QStringList caption;
    QStringList go;
    QString parent;
    int type = 0; // a PopupType, or the number of a menu
    QStringList vertex;
};

using TDynamicBtnArray = QList<RBtn>;
using TDynamicSwthOneArray = QList<RSwthOne>;
using TDynamicSwthGrpArray = QList<RSwthGrp>;
using TDynamicHtmlArray = QList<RHTML>;
using TDynamicFindTxtArray = QList<RFindTxt>;
using TDynamicPathInputArray = QList<RPathInput>;
using TDynamicClipArray = QList<RClip>;
using TDynamicTextArray = QList<RText>;
using TDynamicImageArray = QList<RImage>;
using TPopupData = QList<QList<RPopupData>>;
