#pragma once

// The logging category of archive listing and extraction: "velbrook.archive".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcArchive)
