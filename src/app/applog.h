#pragma once

// The logging category of the program's own code (src/app), "velbrook.app": what the program
// drops or gives up on, and the hooks that do nothing yet, leave one debug line here.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcApp)
