// The engine module's one entry point.

#include "engineparts.h"

extern "C" Q_DECL_EXPORT EngineParts* VelbrookEngineParts()
{
    return StaticEngineParts();
}
