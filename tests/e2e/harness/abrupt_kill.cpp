#include "tests/e2e/harness/abrupt_kill.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>
#include <vector>

namespace e2e {

namespace {

bool sameWithoutCase(const std::string& left, const std::string& right) {
    if (left.size() != right.size()) return false;
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(left[i])) != std::tolower(static_cast<unsigned char>(right[i]))) {
            return false;
        }
    }
    return true;
}

// The first argument of a process's command line; "" when it cannot be read.
std::string firstArgument(const std::filesystem::path& processFolder) {
    std::ifstream in(processFolder / "cmdline", std::ios::binary);
    std::string first;
    std::getline(in, first, '\0');
    return first;
}

std::vector<pid_t> processesRunning(const std::string& windowsProgram) {
    std::vector<pid_t> found;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ignored)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
        struct stat info {};
        if (stat(entry.path().c_str(), &info) != 0 || info.st_uid != geteuid()) continue;
        if (sameWithoutCase(firstArgument(entry.path()), windowsProgram)) found.push_back(std::stoi(name));
    }
    return found;
}

bool hasGone(pid_t pid) {
    if (kill(pid, 0) != 0) return errno == ESRCH;
    // A zombie has gone for our purpose: it runs nothing and holds no file.
    std::ifstream status("/proc/" + std::to_string(pid) + "/stat");
    std::string pidText, command, state;
    status >> pidText >> command >> state;
    return state == "Z";
}

}  // namespace

int killProgramAbruptly(const std::string& windowsProgram, int timeoutMs) {
    const std::vector<pid_t> running = processesRunning(windowsProgram);
    for (pid_t pid : running) kill(pid, SIGKILL);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (pid_t pid : running) {
        while (!hasGone(pid)) {
            if (std::chrono::steady_clock::now() >= deadline) {
                throw std::runtime_error(windowsProgram + " (pid " + std::to_string(pid) + ") outlived SIGKILL");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    return static_cast<int>(running.size());
}

}  // namespace e2e
