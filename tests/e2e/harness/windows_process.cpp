#include "tests/e2e/harness/windows_process.h"

#include <stdexcept>

#include "tests/e2e/harness/box_peek.h"
#include "tests/e2e/harness/e2e_setup.h"
#include "tests/e2e/harness/wine_prefix.h"

namespace e2e {

WindowsProcess WindowsProcess::start(const std::string& program, const std::string& commandLine,
                                     const UiLanguage& language, const std::filesystem::path& workingDirectory) {
    return WindowsProcess(WinePrefix::shared().start(std::string(TOOLS_FOLDER) + "\\" + LAUNCHER_PROGRAM,
                                                     {program, hexOf(commandLine)}, language, workingDirectory,
                                                     true));
}

std::optional<std::uint32_t> WindowsProcess::waitForExit(int timeoutMs) {
    const std::optional<int> launcherExit = launcher_.waitForExit(timeoutMs);
    if (!launcherExit) return std::nullopt;
    const std::string& output = launcher_.output();
    const std::size_t found = output.find("exit=");
    if (*launcherExit != 0 || found == std::string::npos) {
        throw std::runtime_error("the launcher ended with " + std::to_string(*launcherExit) +
                                 " without the program's exit code (killed, or the program did not start)");
    }
    return static_cast<std::uint32_t>(std::stoul(output.substr(found + 5)));
}

std::string commandLineOf(const std::string& program, const std::vector<std::string>& args) {
    std::string line = "\"" + program + "\"";
    for (const std::string& arg : args) {
        line += " ";
        line += arg.find(' ') == std::string::npos && !arg.empty() ? arg : "\"" + arg + "\"";
    }
    return line;
}

}  // namespace e2e
