#pragma once

// Why the program cannot start, told where the reader sees it. Each reason goes to standard error
// as one English line, as before, and a reader who started the program from the desktop, where no
// terminal shows that line, also gets it in Russian in a message box. Runs without a reader at the
// screen never show a box: the offscreen and minimal platforms (tests, scripts) and the runs that
// draw a screenshot or print to a file.

#include <QMessageBox>
#include <QString>

struct CommandLine;

class StartupMessages final
{
public:
    explicit StartupMessages(const CommandLine& commandLine);

    bool showsBoxes() const { return m_boxes; }

    // The start cannot go on: the line on standard error, the text in an error box.
    void fail(const QString& line, const QString& text) const;
    // The text in a box of its own (the line, if any, has been printed already).
    void tell(QMessageBox::Icon icon, const QString& text) const;

    // The caption of the boxes; they are published under it in the window directory, so another
    // copy or a test can find them and close them.
    static QString caption();

private:
    bool m_boxes = false;
};

// One line on standard error, "velbrook: " first.
void printError(const QString& line);
