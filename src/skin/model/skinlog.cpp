#include "skinlog.h"

Q_LOGGING_CATEGORY(lcSkin, "velbrook.skin")
