#pragma once

// The logging category of the panes and the content scheme (src/viewer), "velbrook.viewer": a
// blocked request, a file the scheme cannot serve or a dropped report leaves one debug line here.

#include <QLoggingCategory>

inline const QLoggingCategory& lcViewer()
{
    static const QLoggingCategory category("velbrook.viewer", QtInfoMsg); // debug lines on demand
    return category;
}
