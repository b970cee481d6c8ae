#pragma once

#include "settings/patch_context.h"
#include "settings/result_code.h"

// Asks for confirmation (unless silent), then runs the stages in their fixed
// order. Returns 0 when all passed; raises 7 when the user refuses, or the
// first stage result that is not 0.
ResultCode applyPatch(const PatchContext& context);
