#include "tests/e2e/harness/registry_access.h"

#include <stdexcept>

#include "tests/e2e/harness/applier_test.h"
#include "tests/e2e/harness/e2e_setup.h"
#include "tests/e2e/harness/wine_prefix.h"

namespace e2e {

void denyFullAccess(const std::string& key) {
    const std::string program = std::string(TOOLS_FOLDER) + "\\" + DENY_KEY_ACCESS_PROGRAM;
    WindowsProcess locker = WindowsProcess::start(program, commandLineOf(program, {key}), ENGLISH_US);
    const auto exitCode = locker.waitForExit(EXIT_TIMEOUT_MS);
    if (exitCode != std::optional<std::uint32_t>(0)) {
        throw std::runtime_error("deny_key_access.exe could not lock " + key +
                                 (exitCode ? " (exit code " + std::to_string(*exitCode) + ")" : " in time"));
    }
}

}  // namespace e2e
