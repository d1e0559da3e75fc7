#pragma once

// Every print request ends here: the document of a page goes through the print preview. With a
// "print to PDF file" path given on the command line, the first preview of the run prints all its
// pages there instead of showing, and the program then quits.

#include <QSize>
#include <QString>
#include <QUrl>

class QWebEnginePage;
class QWebEngineProfile;
class QWidget;

struct PrintOptions
{
    bool picture = false; // the document is one picture, fitted to one sheet
    QSize pictureSize;
    QString printToFile;    // the "print to PDF file" printer; empty: the system's printer
    bool quitAfter = false; // print everything to printToFile at once and quit (--print-to)
};

// Whether file is a picture the preview fits to one sheet (".bmp", ".gif", ".jpg", ".jpeg").
bool isPrintPicture(const QString& file);

// Shows the preview of page's document, modally; the preview's own messages say what failed.
void PrintPage(QWidget* parent, QWebEnginePage* page, const PrintOptions& options);

// Loads file's address into a hidden page for printing and waits for it (at most 30 s);
// nullptr, with one debug line, when it does not load. The caller owns the page.
QWebEnginePage* loadForPrinting(QWebEngineProfile* profile, const QUrl& url);
