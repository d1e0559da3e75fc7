#pragma once

// The JavaScript the panes run, kept as files in js/ and compiled into the viewer library.

#include <QString>

// The text of js/NAME.
QString viewerScript(const QString& name);
