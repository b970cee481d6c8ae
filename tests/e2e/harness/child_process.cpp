#include "tests/e2e/harness/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace e2e {

namespace {

std::vector<std::string> childEnvironment(const LaunchOptions& options) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        bool replaced = false;
        for (const auto& removed : options.unsetEnvironment) replaced = replaced || removed == name;
        for (const auto& [setName, value] : options.setEnvironment) replaced = replaced || setName == name;
        if (!replaced) result.push_back(text);
    }
    for (const auto& [name, value] : options.setEnvironment) result.push_back(name + "=" + value);
    return result;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (auto& text : texts) result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

// Runs in the forked child: only async-signal-safe calls until exec.
[[noreturn]] void becomeProgram(const LaunchOptions& options, int stdoutWriteFd, char** argv, char** envp) {
    const int nullFd = open("/dev/null", O_RDWR);
    dup2(nullFd, STDIN_FILENO);
    dup2(stdoutWriteFd >= 0 ? stdoutWriteFd : nullFd, STDOUT_FILENO);
    const int stderrFd =
        options.stderrFile.empty() ? nullFd : open(options.stderrFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    dup2(stderrFd >= 0 ? stderrFd : nullFd, STDERR_FILENO);
    if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0) _exit(126);
    execve(argv[0], argv, envp);
    _exit(127);
}

int exitCodeOf(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

}  // namespace

ChildProcess ChildProcess::start(const LaunchOptions& options) {
    if (options.argv.empty()) throw std::runtime_error("no program to start");
    std::vector<std::string> arguments = options.argv;
    std::vector<std::string> environment = childEnvironment(options);
    std::vector<char*> argv = pointers(arguments);
    std::vector<char*> envp = pointers(environment);

    int pipeFds[2] = {-1, -1};
    if (options.captureStdout && pipe2(pipeFds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error(std::string("fork failed: ") + std::strerror(errno));
    if (pid == 0) becomeProgram(options, pipeFds[1], argv.data(), envp.data());
    if (pipeFds[1] >= 0) close(pipeFds[1]);
    return ChildProcess(pid, pipeFds[0]);
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(other.pid_), stdoutFd_(other.stdoutFd_), output_(std::move(other.output_)), exitCode_(other.exitCode_) {
    other.pid_ = -1;
    other.stdoutFd_ = -1;
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        kill();
        closeOutput();
        pid_ = other.pid_;
        stdoutFd_ = other.stdoutFd_;
        output_ = std::move(other.output_);
        exitCode_ = other.exitCode_;
        other.pid_ = -1;
        other.stdoutFd_ = -1;
    }
    return *this;
}

ChildProcess::~ChildProcess() {
    kill();
    closeOutput();
}

bool ChildProcess::readAvailableOutput(int waitMs) {
    if (stdoutFd_ < 0) {
        if (waitMs > 0) usleep(static_cast<useconds_t>(waitMs) * 1000);
        return false;
    }
    pollfd descriptor{stdoutFd_, POLLIN, 0};
    if (poll(&descriptor, 1, waitMs) <= 0) return false;
    char buffer[4096];
    const ssize_t count = read(stdoutFd_, buffer, sizeof buffer);
    if (count > 0) {
        output_.append(buffer, static_cast<std::size_t>(count));
        return true;
    }
    closeOutput();  // every writer has gone
    return false;
}

void ChildProcess::closeOutput() {
    if (stdoutFd_ >= 0) close(stdoutFd_);
    stdoutFd_ = -1;
}

std::optional<int> ChildProcess::waitForExit(int timeoutMs) {
    if (exitCode_ || pid_ < 0) return exitCode_;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int status = 0;
        const pid_t ended = waitpid(pid_, &status, WNOHANG);
        if (ended == pid_) {
            exitCode_ = exitCodeOf(status);
            // What the program wrote before it ended is still in the pipe. A
            // process it left behind may hold the pipe open, so stop once
            // nothing more comes.
            while (readAvailableOutput(500)) {
            }
            closeOutput();
            return exitCode_;
        }
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        readAvailableOutput(20);
    }
}

void ChildProcess::kill() {
    if (pid_ < 0 || exitCode_) return;
    // The process alone: Wine's own services that it may have started must
    // live on for the programs that follow.
    ::kill(pid_, SIGKILL);
    int status = 0;
    if (waitpid(pid_, &status, 0) == pid_) exitCode_ = exitCodeOf(status);
    closeOutput();
}

std::pair<int, std::string> runToEnd(const LaunchOptions& options, int timeoutMs) {
    ChildProcess process = ChildProcess::start(options);
    const std::optional<int> exitCode = process.waitForExit(timeoutMs);
    if (!exitCode) {
        process.kill();
        throw std::runtime_error(options.argv[0] + " still ran after " + std::to_string(timeoutMs) + " ms");
    }
    return {*exitCode, process.output()};
}

}  // namespace e2e
