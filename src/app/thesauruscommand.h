#pragma once

// The "tesaurus" command: the thesaurus opens at its start page (the first entry of
// tezaurus.idx), in the thesaurus window of a copy that is already open, or in a new copy.

#include <QString>
#include <QStringList>

#include <functional>

class AppContext;

enum class ThesaurusOpened
{
    SentToOpenWindow, // the open window shows the page and comes to the front
    CopyStarted,
    NoThesaurus,     // tezaurus.idx missing or without a start page
    IndexUnreadable, // tezaurus.idx is there but cannot be read
    NoStartPage,     // the start page is neither in the pack nor on disk
    StartFailed,     // the copy could not be started
};

// The way a copy is started: the program with its arguments, detached; true when it started.
using StartCopy = std::function<bool(const QString& program, const QStringList& arguments)>;

// program: the program to start as the thesaurus copy; start starts it (QProcess::startDetached
// when empty).
ThesaurusOpened openThesaurus(const AppContext& context, const QString& program, const StartCopy& start = {});

// What to tell the reader when it failed; empty when it did not.
QString thesaurusFailureText(ThesaurusOpened result);
