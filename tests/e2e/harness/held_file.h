// A file held open without sharing by another Windows program
// (file_holder.exe), as a running program holds the files it uses: no other
// process can open, copy over, move onto or delete it until it is released.
#pragma once

#include <optional>
#include <string>

#include "tests/e2e/harness/windows_process.h"

namespace e2e {

enum class HoldAccess { Read, ReadWrite };

class HeldFile {
public:
    // Starts the holder and returns once it holds `windowsPath` (which must
    // exist). Throws std::runtime_error when the file cannot be held.
    static HeldFile hold(const std::string& windowsPath, HoldAccess access);

    HeldFile(HeldFile&& other) noexcept;
    HeldFile& operator=(HeldFile&&) = delete;
    ~HeldFile();

    // Tells the holder to let go and waits until it has ended. True when it
    // held the file the whole time and let go when told.
    bool release();

private:
    HeldFile(WindowsProcess holder, std::string stopFile)
        : holder_(std::move(holder)), stopFile_(std::move(stopFile)) {}

    std::optional<WindowsProcess> holder_;  // nothing once released
    std::string stopFile_;                    // Windows path
};

}  // namespace e2e
