#pragma once

// The logging category of the labels, the status line, the path fields and the progress bar: "velbrook.texts".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcTexts)
