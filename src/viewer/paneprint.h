#pragma once

// The panes' and copies' way into the print preview: the options of a document (a picture is
// fitted to one sheet; the printer is the --print-to file, the "print to PDF file" setting, or the
// system's), and the printing of a file that no pane shows, loaded into a hidden page.

#include "printpage.h"

class AppContext;

PrintOptions printOptionsFor(const AppContext& context, const QString& file, QSize picture = QSize());
void printDocument(QWidget* parent, QWebEnginePage* page, const AppContext& context, const QString& file);
// picture: the picture's size when another program described it, else empty. False when the file
// did not load, so nothing was printed.
bool printHiddenFile(QWidget* parent, QWebEngineProfile* profile, const AppContext& context, const QString& file,
                     QSize picture = QSize());
