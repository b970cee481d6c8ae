// A Linux child process with a chosen environment, working folder and
// optional capture of its standard output; killed and reaped when its owner
// goes, so that no test leaves a process behind.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

struct LaunchOptions {
    std::vector<std::string> argv;  // argv[0]: path of the program
    std::vector<std::pair<std::string, std::string>> setEnvironment;
    std::vector<std::string> unsetEnvironment;  // names removed from the inherited environment
    std::string workingDirectory;               // empty: the caller's
    std::string stderrFile;                     // appended to; empty: discarded
    bool captureStdout = false;                 // otherwise discarded
};

class ChildProcess {
public:
    // Throws std::runtime_error when the process cannot be started.
    static ChildProcess start(const LaunchOptions& options);

    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    // Waits at most timeoutMs for the end of the process. Its exit code
    // (128 + signal when a signal ended it), or nothing while it still runs.
    std::optional<int> waitForExit(int timeoutMs);
    bool hasExited() { return waitForExit(0).has_value(); }
    // Ends it with SIGKILL and reaps it; nothing when it has already ended.
    void kill();
    // Standard output read so far (all of it once the process has ended).
    const std::string& output() const { return output_; }

private:
    explicit ChildProcess(pid_t pid, int stdoutFd) : pid_(pid), stdoutFd_(stdoutFd) {}
    // Reads what has arrived within waitMs; true when something was read.
    bool readAvailableOutput(int waitMs);
    void closeOutput();

    pid_t pid_ = -1;
    int stdoutFd_ = -1;
    std::string output_;
    std::optional<int> exitCode_;
};

// Runs to its end; throws std::runtime_error when it outlives timeoutMs
// (after killing it). The exit code and the captured output.
std::pair<int, std::string> runToEnd(const LaunchOptions& options, int timeoutMs);

}  // namespace e2e
