#include <windows.h>

#include "platform/platform.h"

namespace platform {

int showMessageBox(const char* text, const char* caption, std::uint32_t flags) {
    return MessageBoxA(nullptr, text, caption, flags);
}

}  // namespace platform
