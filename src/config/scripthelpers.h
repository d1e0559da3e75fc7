#pragma once

// Small helpers of the script module that other parts of the program call.

#include <QList>
#include <QStringList>

class PathResolver;

// Files below folder that match any of masks ("*.ttf", "*.*" for all), folder by folder
// breadth-first; per folder, the folder itself (when includeFolders) and then its files mask by
// mask, each in name order. Full paths; folders end with '/'. Masks and the folder match without
// regard to case. An empty folder name gives nothing.
QStringList FindFiles(const PathResolver& resolver, const QString& folder, const QStringList& masks, bool recursive,
                      bool includeFolders);

// Linear searches from the first element.
bool IndexOfInt(const QList<int>& values, int value, int& index);
// Compares ASCII letters without regard to case, every other character exactly.
bool ContainsText(const QStringList& texts, const QString& text);
