#include <windows.h>

#include "platform/platform.h"

namespace platform {

std::uint32_t readProfileString(const char* section, const char* key, const char* defaultValue,
                                char* buffer, std::uint32_t size, const char* path) {
    return GetPrivateProfileStringA(section, key, defaultValue, buffer, size, path);
}

bool writeProfileString(const char* section, const char* key, const char* value, const char* path) {
    return WritePrivateProfileStringA(section, key, value, path) != FALSE;
}

}  // namespace platform
