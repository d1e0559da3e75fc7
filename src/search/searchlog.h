#pragma once

// The logging category of the full-text index and the thesaurus: "velbrook.search".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcSearch)
