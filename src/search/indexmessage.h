#pragma once

// What an index look-up has to tell the user. The look-ups never show anything themselves: they
// say which message applies, and the component that talks to the user shows it.

#include <QString>

enum class IndexMessage
{
    None,
    IndexFilesMissing,   // keywords.idx, index.idx or files.idx does not exist
    KeywordsUnreadable,  // keywords.idx exists but cannot be opened
    NumbersUnreadable,   // index.idx exists but cannot be opened
    FilesUnreadable,     // files.idx exists but cannot be opened
    ThesaurusUnreadable, // tezaurus.idx exists but cannot be opened
};

// The text shown to the user; empty for None.
QString indexMessageText(IndexMessage message);

// Unreadable files are reported in a warning box with an OK button; a missing index in a plain
// message box.
bool isIndexWarning(IndexMessage message);

// The answer of a look-up: whether it found anything, and what the user is to be told.
struct IndexLookup
{
    bool found = false;
    IndexMessage message = IndexMessage::None;

    explicit operator bool() const { return found; }
};
