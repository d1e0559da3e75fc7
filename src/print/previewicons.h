#pragma once

// The pictures of the print preview's toolbar, drawn here with lines and shapes (no font glyphs,
// which a font may lack), so every button shows the same picture on every desktop.

#include <QIcon>
#include <QString>

// The picture of the toolbar button of that name ("PrintBut", "FirstPageBut", ...); an empty icon
// for a name the toolbar does not have.
QIcon previewIcon(const QString& button);
