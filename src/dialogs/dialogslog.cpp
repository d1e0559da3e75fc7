#include "dialogslog.h"

// Debug lines on demand (QT_LOGGING_RULES="velbrook.*=true"); warnings always.
Q_LOGGING_CATEGORY(lcDialogs, "velbrook.dialogs", QtInfoMsg)
