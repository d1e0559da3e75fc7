#include "commandmatch.h"

#include <QTest>

Q_DECLARE_METATYPE(CommandKind)

class TestCommandMatch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The first matching rule decides: each row names the rule a command must reach and the
    // number it carries.
    void firstMatchingRuleDecides_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<CommandKind>("kind");
        QTest::addColumn<int>("number");
        using K = CommandKind;
        const auto row = [](const char* command, K kind, int number = -1) {
            QTest::newRow(command) << QString::fromUtf8(command) << kind << number;
        };
        row("exit", K::Exit);
        row("exit2", K::ScreenNumber, 1); // only "exit" exactly leaves
        row("screen2=glava1.htm", K::Screen, 1);
        row("ScReEn3=x", K::Screen, 2);
        row("screen2", K::ScreenNumber, 1); // without '=' the prefix is empty
        row("2d", K::VideoOff);
        row("3d", K::VideoOn);
        row("run=/cd/setup.exe=/s", K::Run);
        row("runner=x", K::ScreenNumber, -2);
        row("about", K::About);
        row("minimize", K::Minimize);
        row("tree1", K::Tree1);
        row("go=tree2", K::Tree2);
        row("ontree", K::OnTree);
        row("offtree", K::OffTree);
        row("historyback", K::HistoryBack);
        row("historyforward", K::HistoryForward);
        row("showfavorite", K::ShowFavorite);
        row("addtofavorite", K::AddToFavorite);
        row("deletefromfavorite", K::DeleteFromFavorite);
        row("tesaurus", K::Thesaurus);
        row("contextmenu3", K::ContextMenu, 3);
        row("back", K::Back);
        row("forward", K::Forward);
        row("html1=/cd/glava1.htm", K::Html, 1);
        row("html2=", K::Html, 2);
        row("screenhtml=x", K::Screen, -2); // screen is tested before html
        row("copyhtml", K::CopyHtml);
        row("printhtml", K::PrintHtml);
        row("tophtml", K::TopHtml);
        row("nextchapter", K::NextChapter);
        row("prevchapter", K::PrevChapter);
        row("findnext2", K::FindNext, 2);
        row("findtxtall", K::FindTextAll);
        row("findtxtlimit", K::FindTextLimit);
        row("caseon", K::CaseOn);
        row("caseoff", K::CaseOff);
        row("bgsound", K::BackgroundSound);
        row("standartwin", K::StandardWindow);
        row("options", K::Options);
        row("help", K::Help);
        row("unarc", K::Unarc);
        row("play", K::Play);
        row("stop", K::Stop);
        row("pause", K::Pause);
        row("stepforward", K::StepForward);
        row("stepback", K::StepBack);
        row("clip=/cd/video/a.avi=/cd/a.htm", K::Clip);
        row("nextpic", K::NextPicture);
        row("prevpic", K::PrevPicture);
        row("installfonts", K::InstallFonts);
        row("7", K::ScreenNumber, 6);
        row("nextsong", K::ScreenNumber, -2); // in the vocabulary, but no action
        row("", K::ScreenNumber, -2);
    }

    void firstMatchingRuleDecides()
    {
        QFETCH(QString, command);
        QFETCH(CommandKind, kind);
        QFETCH(int, number);
        const CommandMatch match = matchCommand(command);
        QCOMPARE(commandKindName(match.kind), commandKindName(kind));
        QCOMPARE(match.number, number);
    }
};

QTEST_APPLESS_MAIN(TestCommandMatch)
#include "tst_commandmatch.moc"
