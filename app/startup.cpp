#include "app/startup.h"

#include <cstring>

#include "app/process_values.h"
#include "platform/platform.h"
#include "settings/load_settings.h"
#include "settings/result_code.h"

int silent = 0;

namespace {
constexpr char SILENT_ARGUMENT[] = "/Silent";
// Shared by every package of the product line, whatever product it targets.
constexpr char SINGLE_INSTANCE_MUTEX[] = "TOLVA_PATCH";
}  // namespace

void prepareRun(PatchContext& context, const char* commandLine) {
    if (commandLine == nullptr) commandLine = "";
    // Judged before anything is read, so a wrong line is refused even when
    // the package itself is broken.
    if (std::strcmp(commandLine, SILENT_ARGUMENT) == 0) {
        silent = 1;
    } else if (commandLine[0] == '\0') {
        silent = 0;
    } else {
        throw ResultCode{RESULT_INVALID_COMMAND_LINE};
    }

    const ResultCode loaded = loadSettings(context);
    if (loaded != RESULT_OK) throw loaded;

    switch (platform::acquireNamedMutex(SINGLE_INSTANCE_MUTEX)) {
        case platform::MutexResult::Acquired: return;
        case platform::MutexResult::HeldElsewhere: throw ResultCode{RESULT_ALREADY_RUNNING};
        case platform::MutexResult::Failed: throw ResultCode{RESULT_UNEXPECTED};
    }
    throw ResultCode{RESULT_UNEXPECTED};
}
