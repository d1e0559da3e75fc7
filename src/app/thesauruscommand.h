#pragma once

// The "tesaurus" command: the thesaurus opens at its start page (the first entry of
// tezaurus.idx), in the thesaurus window of a copy that is already open, or in a new copy.

#include <QString>

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

// program: the program to start as the thesaurus copy.
ThesaurusOpened openThesaurus(const AppContext& context, const QString& program);

// What to tell the reader when it failed; empty when it did not.
QString thesaurusFailureText(ThesaurusOpened result);
