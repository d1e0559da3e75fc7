#pragma once

// What this copy of the program is, chosen once at start-up from its parameters.
enum class RunMode
{
    Skinned,             // no parameter: the skinned window of the title
    AbandonedSecondCopy, // a second skinned copy of a title already running, leaving at once
    PlainCopy,           // a parameter: an enlarged picture in a plain window
    HelpCopy,            // a parameter with "/h": a help page in a plain window
    Thesaurus,           // "/t": the thesaurus window
};
