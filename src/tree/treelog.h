#pragma once

// The logging category of the contents trees: "velbrook.tree".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcTree)
