#pragma once

// The logging category of the content pack and the file opener, "velbrook.content": a damaged
// packed file leaves a warning here.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcContent)
