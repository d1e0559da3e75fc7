#pragma once

// The model of a skin script (Struct.cfs, and Tesaurus.cfs for the thesaurus window): the header
// and the elements of every screen, read from the decoded, lower-cased lines.

#include "skinrecords.h"

#include <QJsonObject>

struct SkinHeader
{
    QString title; // the window title, its first letter upper-cased
    QString codec;
    QString rolic;   // start clip; empty or "no" for none
    QString helpwin; // help page (expanded)
    int helpwinVw = 0;
    int helpwinVh = 0;
    QString background; // background of the start clip window
    QString icon;
    QStringList bgsounddef;   // background songs (expanded)
    QList<QPoint> vertexmain; // window outline; empty for a rectangular window
    bool hasMinimize = false;
    bool hasClose = false;
    RBtn minimize; // go "minimize"
    RBtn close;    // go "exit"
};

struct SkinScreen
{
    QString background; // container entry
    TDynamicBtnArray buttons;
    TDynamicSwthOneArray switchone;
    TDynamicSwthGrpArray switchgrp;
    QList<RPopupData> popups;
};

class SkinScript
{
public:
    enum class Variant
    {
        Main,      // Struct.cfs
        Thesaurus, // Tesaurus.cfs: fewer header keys and element kinds
    };

    // The most screens a script may declare; elements of higher screens are dropped.
    static constexpr int kMaxScreens = 256;
    // The most elements of one kind a screen keeps (buttons, switches, panes, popups...), the
    // header buttons included; the rest are dropped with one problem per screen and kind.
    static constexpr int kMaxElementsPerScreen = 500;
    // The most problems listed; one more line says that the rest are not.
    static constexpr int kMaxProblems = 100;

    explicit SkinScript(ProgramFolders folders, Variant variant = Variant::Main);

    // The header pass: every line is searched for every header key, in key order.
    void readHeader(const QStringList& lines);
    // The element pass: each line's first element kind word starts an element on that line.
    void readElements(const QStringList& lines);
    void read(const QStringList& lines)
    {
        readHeader(lines);
        readElements(lines);
    }

    // After both passes: the start clip is set, the songs list is not empty, a button has a sound.
    bool hasStartClip() const;
    bool hasClickSounds() const;

    Variant variant() const { return m_variant; }

    SkinHeader header;
    QList<SkinScreen> screens;
    TDynamicHtmlArray html;
    TDynamicFindTxtArray findtxt;
    TDynamicPathInputArray path;
    TDynamicClipArray clip;
    TDynamicTextArray text;
    TDynamicImageArray image;
    // What the reader could not use, for authors: elements dropped, a malformed outline.
    QStringList problems;

private:
    // The screen of a kind line's number (1-based), created as needed; nullptr (and a problem)
    // for a number outside 1..kMaxScreens.
    SkinScreen* screenAt(int number, int line);
    void addProblem(const QString& text);
    bool readButtonKeys(RBtn& button, const QStringList& lines, int& line, bool withCaption);

    ProgramFolders m_folders;
    Variant m_variant;
};

// The model as JSON: {"header": {...}, "screens": [...], "html": [...], ...}; every element an
// object keyed by its field names.
QJsonObject skinScriptToJson(const SkinScript& script);
