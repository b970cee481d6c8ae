// The INI lookup table that the test double's profile model is tested with
// (tests/platform/profile_cases.h) must give the same answers from the real
// GetPrivateProfileStringA; otherwise the unit tests prove nothing about
// Windows.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/harness/applier_test.h"
#include "tests/e2e/harness/e2e_setup.h"

namespace e2e {
namespace {

class ProfileProbeTest : public ApplierTest {};

TEST_F(ProfileProbeTest, TheRealProfileCallsAgreeWithTheModelsTable) {
    for (const UiLanguage& language : {ENGLISH_US, JAPANESE}) {
        SCOPED_TRACE(language.name);
        const std::string program = std::string(TOOLS_FOLDER) + "\\" + PROFILE_PROBE_PROGRAM;
        WindowsProcess probe = WindowsProcess::start(program, commandLineOf(program, {}), language);
        const auto exitCode = probe.waitForExit(EXIT_TIMEOUT_MS);
        ASSERT_TRUE(exitCode.has_value()) << "profile_probe.exe did not end";
        EXPECT_EQ(*exitCode, 0u) << "a lookup case differs from GetPrivateProfileStringA (run profile_probe.exe "
                                    "under Wine to see which)";
    }
}

}  // namespace
}  // namespace e2e
