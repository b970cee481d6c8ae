#include "settings/load_settings.h"

ResultCode loadSettings(PatchContext& context) {
    try {
        loadPatchDescription(context);
        loadInstallationRecord(context);
    } catch (ResultCode code) {
        return code;
    } catch (...) {
        // A list that cannot grow, or anything else unforeseen.
        return RESULT_UNEXPECTED;
    }
    return RESULT_OK;
}
