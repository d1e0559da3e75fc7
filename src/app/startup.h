#pragma once

#include "commandline.h"

class QApplication;

// Runs the program in the mode its command line chose; returns the exit code.
int runProgram(QApplication& app, const CommandLine& commandLine);

// The content folder: --content, else the program's folder when it holds Kel.dhl, else the
// current folder.
QString contentFolderFor(const CommandLine& commandLine);
