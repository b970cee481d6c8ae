#include "settings/record_level.h"

#include <cstdio>

#include "platform/platform.h"
#include "settings/value_codec.h"

namespace {
constexpr std::size_t LEVEL_TEXT_SIZE = 1024;
}  // namespace

ResultCode recordAppliedLevel(const PatchContext& context) {
    try {
        char decimal[LEVEL_TEXT_SIZE] = {};
        char encoded[LEVEL_TEXT_SIZE] = {};
        const bool servicePack = context.moduleType != 0;
        const char* key = servicePack ? "SPNO651" : "PTNO";
        const std::int32_t level = servicePack ? context.spNo : context.ptNo;

        std::snprintf(decimal, sizeof decimal, "%d", static_cast<int>(level));
        // At most 11 characters of decimal text: 24 encoded, far below the capacity.
        codeValue('+', decimal, encoded, static_cast<std::int32_t>(sizeof encoded));
        if (!platform::writeProfileString("LICENSE", key, encoded, context.productIniPath)) {
            return RESULT_RECORD_NOT_WRITTEN;
        }
        return RESULT_OK;
    } catch (ResultCode code) {
        return code;
    } catch (...) {
        return RESULT_UNEXPECTED;
    }
}
