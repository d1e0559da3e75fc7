// The engine module's entry points.

#include "engineparts.h"
#include "windowdirectory.h"

extern "C" Q_DECL_EXPORT EngineParts* VelbrookEngineParts()
{
    return staticEngineParts();
}

// See kEngineRequestCloseSymbol: how a test sees the lower libraries from the module's side.
extern "C" Q_DECL_EXPORT bool VelbrookEngineRequestClose(const QString& caption)
{
    return WindowDirectory::requestClose(caption);
}
