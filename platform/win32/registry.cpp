#include <windows.h>

#include "platform/platform.h"

namespace {

HKEY rootKey(platform::RegistryRoot root) {
    switch (root) {
        case platform::RegistryRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
        case platform::RegistryRoot::CurrentUser: return HKEY_CURRENT_USER;
        case platform::RegistryRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
        case platform::RegistryRoot::Users: return HKEY_USERS;
    }
    return nullptr;
}

HKEY toWin32(platform::RegistryKey key) { return static_cast<HKEY>(key); }

}  // namespace

namespace platform {

RegistryKey openRegistryKey(RegistryRoot root, const char* subKey) {
    const HKEY parent = rootKey(root);
    if (parent == nullptr) return nullptr;
    // The shipped program is 32-bit and so sees the 32-bit view; asking for it
    // explicitly makes the 64-bit test build see the same keys.
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, subKey, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) return nullptr;
    return key;
}

bool queryRegistryValue(RegistryKey key, const char* valueName, std::uint32_t* type,
                        unsigned char* data, std::uint32_t* size) {
    DWORD valueType = 0;
    DWORD byteCount = *size;
    if (RegQueryValueExA(toWin32(key), valueName, nullptr, &valueType, data, &byteCount) != ERROR_SUCCESS) return false;
    if (type != nullptr) *type = valueType;
    *size = byteCount;
    return true;
}

bool setRegistryValue(RegistryKey key, const char* valueName, std::uint32_t type,
                      const unsigned char* data, std::uint32_t size) {
    return RegSetValueExA(toWin32(key), valueName, 0, type, data, size) == ERROR_SUCCESS;
}

void closeRegistryKey(RegistryKey key) {
    if (key != nullptr) RegCloseKey(toWin32(key));
}

}  // namespace platform
