// launcher: starts a Windows program with an exact command line and reports
// its whole 32-bit exit code.
//
//   launcher.exe PROGRAM COMMAND_LINE_HEX
//
// Started from Linux, Wine rebuilds a program's command line from argv (it
// quotes what holds blanks) and the Linux exit status keeps only the low
// byte of the exit code, so a crash (0xC0000005) would read as 5. Here the
// command line is given byte for byte (as hex) and the exit code is printed
// whole, as "exit=N" (decimal) on standard output.
//
// The program runs in a job that ends with the launcher: when a test kills
// the launcher, the program goes too.
// Exit code: 0 the program ran and ended, 2 bad command line, 3 the program
// could not be started.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool fromHex(const char* hex, std::string& bytes) {
    bytes.clear();
    for (; hex[0] != 0; hex += 2) {
        if (hex[1] == 0) return false;
        const char pair[3] = {hex[0], hex[1], 0};
        char* end = nullptr;
        const long value = std::strtol(pair, &end, 16);
        if (*end != 0) return false;
        bytes += static_cast<char>(value);
    }
    return true;
}

HANDLE jobEndingWithThisProcess() {
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    if (job == nullptr) return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    return job;
}

}  // namespace

int main(int argc, char** argv) {
    std::string commandLine;
    if (argc != 3 || !fromHex(argv[2], commandLine)) {
        std::fprintf(stderr, "usage: launcher PROGRAM COMMAND_LINE_HEX\n");
        return 2;
    }
    std::vector<char> writableLine(commandLine.begin(), commandLine.end());
    writableLine.push_back(0);

    HANDLE job = jobEndingWithThisProcess();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(argv[1], writableLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "cannot start %s: error %lu\n", argv[1], GetLastError());
        return 3;
    }
    if (job != nullptr) AssignProcessToJobObject(job, process.hProcess);
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);

    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    std::printf("exit=%lu\n", static_cast<unsigned long>(exitCode));
    std::fflush(stdout);
    return 0;
}
