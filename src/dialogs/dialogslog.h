#pragma once

// The logging category of the skinned dialog and the search: "velbrook.dialogs".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcDialogs)
