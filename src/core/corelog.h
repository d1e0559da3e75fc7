#pragma once

// The logging category of the application context and the user settings: "velbrook.core".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcCore)
