#include "commandmatch.h"

#include "scriptvalues.h"

QString commandPrefix(const QString& command)
{
    const qsizetype equals = command.indexOf(QLatin1Char('='));
    return equals < 0 ? QString() : command.left(equals);
}

CommandMatch matchCommand(const QString& command)
{
    const QString prefix = commandPrefix(command);
    const auto is = [&](const char* text) { return command == QLatin1String(text); };
    const auto has = [&](const char* text) { return command.contains(QLatin1String(text)); };
    const auto prefixHas = [&](const char* text) { return prefix.contains(QLatin1String(text), Qt::CaseInsensitive); };

    using K = CommandKind;
    if (is("exit"))
        return {K::Exit};
    if (prefixHas("screen"))
        return {K::Screen, ParseInt(prefix, 0) - 1};
    if (is("2d"))
        return {K::VideoOff};
    if (is("3d"))
        return {K::VideoOn};
    if (prefix == QLatin1String("run"))
        return {K::Run};
    if (is("about"))
        return {K::About};
    if (is("minimize"))
        return {K::Minimize};
    if (has("tree1"))
        return {K::Tree1};
    if (has("tree2"))
        return {K::Tree2};
    if (has("ontree"))
        return {K::OnTree};
    if (has("offtree"))
        return {K::OffTree};
    if (is("historyback"))
        return {K::HistoryBack};
    if (is("historyforward"))
        return {K::HistoryForward};
    if (is("showfavorite"))
        return {K::ShowFavorite};
    if (is("addtofavorite"))
        return {K::AddToFavorite};
    if (is("deletefromfavorite"))
        return {K::DeleteFromFavorite};
    if (is("tesaurus"))
        return {K::Thesaurus};
    if (has("contextmenu"))
        return {K::ContextMenu, ParseInt(command, 10)};
    if (is("back"))
        return {K::Back};
    if (is("forward"))
        return {K::Forward};
    if (prefixHas("html"))
        return {K::Html, ParseInt(command, 4)};
    if (is("copyhtml"))
        return {K::CopyHtml};
    if (is("printhtml"))
        return {K::PrintHtml};
    if (is("tophtml"))
        return {K::TopHtml};
    if (is("nextchapter"))
        return {K::NextChapter};
    if (is("prevchapter"))
        return {K::PrevChapter};
    if (has("findnext"))
        return {K::FindNext, ParseInt(command, 8)};
    if (has("findtxtall"))
        return {K::FindTextAll};
    if (has("findtxtlimit"))
        return {K::FindTextLimit};
    if (is("caseon"))
        return {K::CaseOn};
    if (is("caseoff"))
        return {K::CaseOff};
    if (is("bgsound"))
        return {K::BackgroundSound};
    if (is("standartwin"))
        return {K::StandardWindow};
    if (is("options"))
        return {K::Options};
    if (is("help"))
        return {K::Help};
    if (is("unarc"))
        return {K::Unarc};
    if (is("play"))
        return {K::Play};
    if (is("stop"))
        return {K::Stop};
    if (is("pause"))
        return {K::Pause};
    if (is("stepforward"))
        return {K::StepForward};
    if (is("stepback"))
        return {K::StepBack};
    if (prefixHas("clip"))
        return {K::Clip};
    if (is("nextpic"))
        return {K::NextPicture};
    if (is("prevpic"))
        return {K::PrevPicture};
    if (is("installfonts"))
        return {K::InstallFonts};
    return {K::ScreenNumber, ParseInt(command, 0) - 1};
}

const char* commandKindName(CommandKind kind)
{
    static const char* const names[] = {"Exit",
                                        "Screen",
                                        "VideoOff",
                                        "VideoOn",
                                        "Run",
                                        "About",
                                        "Minimize",
                                        "Tree1",
                                        "Tree2",
                                        "OnTree",
                                        "OffTree",
                                        "HistoryBack",
                                        "HistoryForward",
                                        "ShowFavorite",
                                        "AddToFavorite",
                                        "DeleteFromFavorite",
                                        "Thesaurus",
                                        "ContextMenu",
                                        "Back",
                                        "Forward",
                                        "Html",
                                        "CopyHtml",
                                        "PrintHtml",
                                        "TopHtml",
                                        "NextChapter",
                                        "PrevChapter",
                                        "FindNext",
                                        "FindTextAll",
                                        "FindTextLimit",
                                        "CaseOn",
                                        "CaseOff",
                                        "BackgroundSound",
                                        "StandardWindow",
                                        "Options",
                                        "Help",
                                        "Unarc",
                                        "Play",
                                        "Stop",
                                        "Pause",
                                        "StepForward",
                                        "StepBack",
                                        "Clip",
                                        "NextPicture",
                                        "PrevPicture",
                                        "InstallFonts",
                                        "ScreenNumber"};
    return names[int(kind)];
}
