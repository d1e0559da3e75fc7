#pragma once

// The skin's logging category, "velbrook.skin": what the reader could not use of a skin (a picture
// refused, a budget spent), one line each, for authors.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcSkin)
