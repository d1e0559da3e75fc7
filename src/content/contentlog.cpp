#include "contentlog.h"

// Warnings always; debug and info lines on demand (QT_LOGGING_RULES="velbrook.*=true").
Q_LOGGING_CATEGORY(lcContent, "velbrook.content", QtWarningMsg)
