#pragma once

#include "settings/patch_context.h"

// Judges the command line (empty, or exactly "/Silent"), loads the settings
// and takes the single-instance mutex. Returns only when the run may go on;
// otherwise raises a ResultCode: 13, the loader's code, 9 or -1.
void prepareRun(PatchContext& context, const char* commandLine);
