// Registry values of the shared prefix, set and read with Wine's reg.exe in
// the 32-bit view (/reg:32), the view that the 32-bit applier works in.
#pragma once

#include <optional>
#include <string>

namespace e2e {

// Creates the key when needed and sets a REG_SZ value. `key` is a full path
// such as "HKEY_LOCAL_MACHINE\Software\Vendor".
void setRegistryString(const std::string& key, const std::string& valueName, const std::string& data);
// The data of a REG_SZ value; nothing when the key or the value is missing.
std::optional<std::string> registryString(const std::string& key, const std::string& valueName);

}  // namespace e2e
