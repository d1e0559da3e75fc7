#pragma once

// The script of the skinned dialog window (Dialog.cfs): numbered pages, each with a background
// picture, one text block, push buttons and switches. Read from the decoded, lower-cased lines.

#include "scriptpaths.h"
#include "scriptvalues.h"
#include "skinrecords.h"

#include <QList>
#include <QString>
#include <QStringList>

struct DialogText
{
    int vx = 0;
    int vy = 0;
    int vw = 0; // right edge of the text box
    QString font;
    int size = 0;
    FontStyles style;
    int color = 0;
    QString value; // read, never shown: the caller's text is drawn instead
};

struct DialogButton
{
    int vx = 0;
    int vy = 0;
    QString align; // "left", "middle", anything else: right
    QString fn1;   // up, hover, pressed pictures
    QString fn2;
    QString fn3;
    QString go;
    QString hint;
    QString wav;
};

struct DialogPage
{
    QString picture; // the background: a container entry
    DialogText text;
    QList<DialogButton> buttons;
    TDynamicSwthGrpArray switches; // with their current state
};

struct DialogScript
{
    // The pages a script may declare; elements of higher pages are dropped.
    static constexpr int kMaxPages = 64;

    QList<DialogPage> pages; // page index = the script's page number - 1
    QStringList problems;
};

DialogScript readDialogScript(const QStringList& lines, const ProgramFolders& folders);
