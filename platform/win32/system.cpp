#include <windows.h>

#include "platform/platform.h"

namespace platform {

std::uint32_t moduleFileName(char* buffer, std::uint32_t size) {
    return GetModuleFileNameA(GetModuleHandleA(nullptr), buffer, size);
}

std::uint32_t windowsDirectory(char* buffer, std::uint32_t size) {
    return GetWindowsDirectoryA(buffer, size);
}

std::uint16_t userInterfaceLanguage() { return GetUserDefaultUILanguage(); }

const char* nextChar(const char* text) { return CharNextA(text); }

void sleepMilliseconds(std::uint32_t milliseconds) { Sleep(milliseconds); }

}  // namespace platform
