#include "platform/platform.h"
#include "platform/win32/instance.h"

namespace {
HINSTANCE storedInstance = nullptr;
}

namespace platform::win32 {

void setInstanceHandle(HINSTANCE instance) { storedInstance = instance; }

HINSTANCE instanceHandle() { return storedInstance; }

}  // namespace platform::win32

namespace platform {

int loadString(std::uint32_t id, char* buffer, int capacity) {
    // With a capacity of 0 the loader hands back a pointer into the resource
    // instead of copying, which is not what callers expect.
    if (buffer == nullptr || capacity <= 0) return 0;
    return LoadStringA(win32::instanceHandle(), id, buffer, capacity);
}

}  // namespace platform
