#include <windows.h>

#include "platform/platform.h"

namespace platform {

MutexResult acquireNamedMutex(const char* name) {
    HANDLE mutex = CreateMutexA(nullptr, TRUE, name);
    if (mutex == nullptr) return MutexResult::Failed;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        // Ownership was not granted, so the release fails harmlessly; the
        // handle itself must not keep the other copy's mutex alive.
        ReleaseMutex(mutex);
        CloseHandle(mutex);
        return MutexResult::HeldElsewhere;
    }
    // Deliberately never closed: holding the handle is what keeps a second
    // copy out until this process ends, and Windows frees it then.
    return MutexResult::Acquired;
}

}  // namespace platform
