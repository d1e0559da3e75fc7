#pragma once

// The engine's parts made in this binary: what the engine module hands out, and what tests use
// without loading the module.

#include "engine.h"

EngineParts* staticEngineParts();
