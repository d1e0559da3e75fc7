#pragma once

// The logging category of the thread timer, the blends and the captions: "velbrook.components".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcComponents)
