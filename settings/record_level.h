#pragma once

#include "settings/patch_context.h"
#include "settings/result_code.h"

// Last apply stage: writes the level that the package brings (SPNO651 for a
// service pack, PTNO for a patch) into the installation record, encoded.
ResultCode recordAppliedLevel(const PatchContext& context);
