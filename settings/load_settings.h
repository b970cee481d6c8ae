#pragma once

#include "settings/patch_context.h"
#include "settings/result_code.h"

// Fills the context from the patch description beside the executable, then
// from the target product's installation record. Returns 0, 2 or 8 (the
// loaders' codes), or -1 for any other failure.
ResultCode loadSettings(PatchContext& context);

// The two halves; each raises its ResultCode as an integer exception.
void loadPatchDescription(PatchContext& context);
void loadInstallationRecord(PatchContext& context);
