#include "actions/stages.h"

#include <cstring>

#include "settings/fixed_texts.h"

namespace {

constexpr std::int32_t SERVICE_PACK = 1;
constexpr std::int32_t PATCH = 0;

// Whole texts, byte for byte: no case folding, no trimming, no locale. Each
// side is bounded by its field so that a field without a NUL cannot be
// read past.
bool sameText(const char* left, std::size_t leftSize, const char* right, std::size_t rightSize) {
    const std::size_t leftLength = strnlen(left, leftSize);
    const std::size_t rightLength = strnlen(right, rightSize);
    return leftLength == rightLength && std::memcmp(left, right, leftLength) == 0;
}

void checkVersion(const PatchContext& context) {
    if (!sameText(context.installedVersion, sizeof context.installedVersion, context.version,
                  sizeof context.version)) {
        throw ResultCode{RESULT_VERSION_MISMATCH};
    }
}

void checkEdition(const PatchContext& context) {
    const bool enhancedNotInstalled =
        sameText(context.editionMarker, sizeof context.editionMarker, ENHANCED_NOT_INSTALLED_MARKER,
                 sizeof ENHANCED_NOT_INSTALLED_MARKER);
    switch (context.target[0]) {
        case '0':
            if (!enhancedNotInstalled) throw ResultCode{RESULT_STANDARD_ONLY};
            break;
        case '1':
            if (enhancedNotInstalled) throw ResultCode{RESULT_ENHANCED_ONLY};
            break;
        default:
            break;  // the companion tools have one edition only
    }
}

void checkLevel(const PatchContext& context) {
    bool below = false;
    if (context.moduleType == SERVICE_PACK) {
        below = context.installedSpNo < context.spNo;
    } else if (context.moduleType == PATCH) {
        below = context.installedPtNo < context.ptNo;
    }
    if (!below) throw ResultCode{RESULT_UP_TO_DATE};
}

}  // namespace

ResultCode checkPreconditions(const PatchContext& context) {
    try {
        checkVersion(context);
        checkEdition(context);
        checkLevel(context);
        return RESULT_OK;
    } catch (ResultCode code) {
        return code;
    } catch (...) {
        return RESULT_UNEXPECTED;
    }
}
