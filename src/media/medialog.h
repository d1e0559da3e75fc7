#pragma once

// The logging category of the click sounds: "velbrook.media".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcMedia)
