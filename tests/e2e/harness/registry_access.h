// Registry faults for the end-to-end tests, made with deny_key_access.exe in
// the shared prefix.
#pragma once

#include <string>

namespace e2e {

// Locks `key` (e.g. "HKEY_LOCAL_MACHINE\Software\Vendor", which must exist)
// down in the 32-bit view: afterwards it can be opened for reading only, and
// opening it with full access fails with access denied. Wine keeps a key's
// security in its wineserver alone, which lives as long as the test run.
// Throws std::runtime_error when the key cannot be locked.
void denyFullAccess(const std::string& key);

}  // namespace e2e
