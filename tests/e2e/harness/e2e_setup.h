// Where the end-to-end tests find Wine and the Windows programs they run.
//
//   TOLVA_E2E_BIN_DIR     folder holding tlvpatch.exe and the helpers of WINDOWS_PROGRAMS
//                         (default: the Windows build folder given to CMake)
//   TOLVA_E2E_WINE        Wine's 64-bit loader (default /usr/lib/wine/wine64, else wine64 on PATH)
//   TOLVA_E2E_WINESERVER  its wineserver (default: beside the loader, else on PATH)
//   TOLVA_E2E_KEEP_PREFIX set: the Wine prefix is kept after the run, for a look inside
//   TOLVA_E2E_REQUIRE     set: a missing piece fails the tests instead of skipping them
//   DISPLAY               an X server for the message boxes (scripts/run-e2e.sh starts Xvfb)
#pragma once

#include <filesystem>
#include <string>

namespace e2e {

struct E2eSetup {
    std::string wineLoader;
    std::string wineserver;
    std::filesystem::path binDir;
};

// What is missing to run the tests (a sentence for GTEST_SKIP), or "" when
// everything is there.
const std::string& missingPrerequisite();

// Valid once missingPrerequisite() is empty.
const E2eSetup& e2eSetup();

inline constexpr const char* APPLIER_PROGRAM = "tlvpatch.exe";
inline constexpr const char* BOXPEEK_PROGRAM = "boxpeek.exe";
inline constexpr const char* FAKE_PRODUCT_PROGRAM = "fake_product.exe";
inline constexpr const char* LAUNCHER_PROGRAM = "launcher.exe";
inline constexpr const char* FILE_HOLDER_PROGRAM = "file_holder.exe";
inline constexpr const char* DENY_KEY_ACCESS_PROGRAM = "deny_key_access.exe";
inline constexpr const char* PROFILE_PROBE_PROGRAM = "profile_probe.exe";
inline constexpr const char* const WINDOWS_PROGRAMS[] = {APPLIER_PROGRAM,     BOXPEEK_PROGRAM,
                                                         FAKE_PRODUCT_PROGRAM, LAUNCHER_PROGRAM,
                                                         FILE_HOLDER_PROGRAM, DENY_KEY_ACCESS_PROGRAM,
                                                         PROFILE_PROBE_PROGRAM};

}  // namespace e2e
