#pragma once

// The logging category of the panes and the content scheme (src/viewer), "velbrook.viewer": a
// blocked request, a file the scheme cannot serve or a dropped report leaves one debug line here.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcViewer)
