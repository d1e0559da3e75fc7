#pragma once

// The logging category of the popup lists and the favorites: "velbrook.popups".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcPopups)
