#include "tests/e2e/harness/held_file.h"

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "tests/e2e/harness/applier_test.h"
#include "tests/e2e/harness/e2e_setup.h"
#include "tests/e2e/harness/file_bytes.h"
#include "tests/e2e/harness/wine_prefix.h"

namespace e2e {

namespace {

constexpr const char* SIGNAL_FOLDER = "C:\\held-files";
// A safety net only: a test that died must not leave the file held for long.
constexpr int HOLD_AT_MOST_MS = 600000;

}  // namespace

HeldFile HeldFile::hold(const std::string& windowsPath, HoldAccess access) {
    static int holdersStarted = 0;
    const std::string signalBase = std::string(SIGNAL_FOLDER) + "\\" + std::to_string(++holdersStarted);
    const std::string readyFile = signalBase + ".ready";
    const std::string stopFile = signalBase + ".stop";
    WinePrefix& prefix = WinePrefix::shared();
    std::filesystem::create_directories(prefix.unixPath(SIGNAL_FOLDER));

    const std::string program = std::string(TOOLS_FOLDER) + "\\" + FILE_HOLDER_PROGRAM;
    WindowsProcess holder = WindowsProcess::start(
        program,
        commandLineOf(program, {"--path", windowsPath, "--ready-file", readyFile, "--stop-file", stopFile, "--access",
                                access == HoldAccess::Read ? "read" : "write", "--timeout",
                                std::to_string(HOLD_AT_MOST_MS)}),
        ENGLISH_US);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(BOX_TIMEOUT_MS);
    while (!std::filesystem::exists(prefix.unixPath(readyFile))) {
        if (const auto exitCode = holder.waitForExit(0)) {
            throw std::runtime_error("file_holder.exe could not hold " + windowsPath + " (exit code " +
                                     std::to_string(*exitCode) + ")");
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            throw std::runtime_error("file_holder.exe did not hold " + windowsPath + " in time");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return HeldFile(std::move(holder), stopFile);
}

HeldFile::HeldFile(HeldFile&& other) noexcept
    : holder_(std::move(other.holder_)), stopFile_(std::move(other.stopFile_)) {
    other.holder_.reset();
}

bool HeldFile::release() {
    if (!holder_) return false;
    WindowsProcess holder = std::move(*holder_);
    holder_.reset();
    writeBytes(WinePrefix::shared().unixPath(stopFile_), "");
    try {
        const auto exitCode = holder.waitForExit(EXIT_TIMEOUT_MS);
        return exitCode == std::optional<std::uint32_t>(0);
    } catch (const std::exception&) {
        return false;
    }
}

HeldFile::~HeldFile() {
    try {
        release();
    } catch (...) {
        // The holder goes with its launcher in any case.
    }
}

}  // namespace e2e
