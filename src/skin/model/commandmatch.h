#pragma once

// Which action a command string asks for. Every element action, key, popup item and request from
// another copy is a command; the first rule that matches decides, in a fixed order.

#include <QString>

enum class CommandKind
{
    Exit,
    Screen,   // screenN=page: screen N, page for the contents tree
    VideoOff, // "2d"
    VideoOn,  // "3d"
    Run,      // run=file=parameters
    About,
    Minimize,
    Tree1, // shows the tree of tree2.cfs
    Tree2, // shows the tree of tree1.cfs
    OnTree,
    OffTree,
    HistoryBack,
    HistoryForward,
    ShowFavorite,
    AddToFavorite,
    DeleteFromFavorite,
    Thesaurus,
    ContextMenu, // number: the popup
    Back,
    Forward,
    Html, // number: the pane; htmlN=page
    CopyHtml,
    PrintHtml,
    TopHtml,
    NextChapter,
    PrevChapter,
    FindNext, // number: the find box (thesaurus copy)
    FindTextAll,
    FindTextLimit,
    CaseOn,
    CaseOff,
    BackgroundSound,
    StandardWindow,
    Options,
    Help,
    Unarc,
    Play,
    Stop,
    Pause,
    StepForward,
    StepBack,
    Clip, // clip=file=page
    NextPicture,
    PrevPicture,
    InstallFonts,
    ScreenNumber, // number: the screen index, from the command's first number
};

struct CommandMatch
{
    CommandKind kind = CommandKind::ScreenNumber;
    // The screen index (Screen, ScreenNumber), pane (Html), popup (ContextMenu) or find box
    // (FindNext) the command names; -1 when it names none.
    int number = -1;
};

// The text before the first '=' (empty without one).
QString commandPrefix(const QString& command);

CommandMatch matchCommand(const QString& command);

// Name of a kind, for messages and tests.
const char* commandKindName(CommandKind kind);
