// A Windows program of the tests, started in the shared prefix through
// launcher.exe: with its command line exactly as given and with its whole
// 32-bit exit code (Wine hands Linux only the low byte, so a crash,
// 0xC0000005, would look like exit code 5). Killing it ends the program too.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/harness/child_process.h"
#include "tests/e2e/harness/ui_language.h"

namespace e2e {

class WindowsProcess {
public:
    // `program` is a Windows path; `commandLine` the whole command line the
    // program receives, its own name first.
    static WindowsProcess start(const std::string& program, const std::string& commandLine,
                                const UiLanguage& language, const std::filesystem::path& workingDirectory = {});

    // Waits at most timeoutMs; the program's exit code, or nothing while it
    // runs. Throws std::runtime_error when the launcher could not run it.
    std::optional<std::uint32_t> waitForExit(int timeoutMs);
    bool hasExited() { return waitForExit(0).has_value(); }
    void kill() { launcher_.kill(); }

private:
    explicit WindowsProcess(ChildProcess launcher) : launcher_(std::move(launcher)) {}
    ChildProcess launcher_;
};

// A command line of a program and its arguments; an argument with a blank is
// put in double quotes.
std::string commandLineOf(const std::string& program, const std::vector<std::string>& args);

}  // namespace e2e
