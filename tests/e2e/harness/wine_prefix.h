// The one Wine prefix of a test binary run: created with "wineboot -i" on
// first use, with its own wineserver kept alive for the whole run, and
// removed at the end of the run. The tests' Windows programs are copied into
// it (C:\e2e-tools), so that every path a program sees lies on drive C.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/harness/child_process.h"
#include "tests/e2e/harness/ui_language.h"

namespace e2e {

inline constexpr const char* TOOLS_FOLDER = "C:\\e2e-tools";

class WinePrefix {
public:
    // The run's prefix; created on the first call. Throws std::runtime_error
    // when Wine cannot set it up.
    static WinePrefix& shared();

    const std::filesystem::path& root() const { return root_; }
    // Linux path of a path on drive C ("C:\a\b" or "c:/a/b").
    std::filesystem::path unixPath(const std::string& windowsPath) const;
    // Linux path of the Windows directory (C:\windows).
    std::filesystem::path windowsDirectory() const { return root_ / "drive_c" / "windows"; }

    // Starts a Windows program (path as Windows sees it) in this prefix, with
    // the locale of `language`. Its standard output is captured when asked.
    ChildProcess start(const std::string& windowsProgram, const std::vector<std::string>& args,
                       const UiLanguage& language, const std::filesystem::path& workingDirectory = {},
                       bool captureStdout = false) const;

    // Runs a Wine command-line tool to its end, e.g. {"reg", "add", ...}.
    // Throws when it runs longer than timeoutMs. Its exit code and output.
    std::pair<int, std::string> runTool(const std::vector<std::string>& args, int timeoutMs = 60000) const;

    // Ends every process of the prefix and removes it (kept when
    // TOLVA_E2E_KEEP_PREFIX is set). Called once, after the last test.
    static void destroyShared();

    WinePrefix(const WinePrefix&) = delete;
    WinePrefix& operator=(const WinePrefix&) = delete;

private:
    explicit WinePrefix(std::filesystem::path root) : root_(std::move(root)) {}
    void boot();
    void installTools() const;
    void shutDown() const;
    LaunchOptions wineLaunch(std::vector<std::string> args, const UiLanguage& language) const;

    std::filesystem::path root_;
};

}  // namespace e2e
