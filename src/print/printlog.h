#pragma once

// The logging category of printing (src/print), "velbrook.print": a dropped print request or a
// page that could not be laid out leaves one debug line here.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcPrint)
