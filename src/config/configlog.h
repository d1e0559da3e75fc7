#pragma once

// The logging category of the resource container and the scripts: "velbrook.config".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcConfig)
