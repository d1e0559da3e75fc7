#pragma once

// The logging category of the code pages, the content paths, the single-copy lock, the settings and the directory of
// windows: "velbrook.platform".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
