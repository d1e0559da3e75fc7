#pragma once

// What the pane script tells the program about its page, as the page class hands it on.

#include <QList>
#include <QString>

#include <utility>

// A click on a link.
struct LinkClick
{
    QString target;
    QString link;     // as written in the page
    QString document; // the file of the document clicked in
    // The drop-down lists of that document: their names and selected texts.
    QList<std::pair<QString, QString>> lists;
};

// What the pointer is over in a page; reported when that changes.
struct PointerObject
{
    enum Kind
    {
        None,
        Picture,
        Control
    };
    Kind kind = None;
    QString title; // a picture's title
    QString id;    // the same while the pointer stays on one object of a page
};
