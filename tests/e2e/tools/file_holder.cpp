// file_holder: keeps a file open without sharing, as another program that
// has the file in use would, until it is told to let go.
//
//   file_holder.exe --path FILE --ready-file READY --stop-file STOP [--access read|write] [--timeout MS]
//
// Opens the existing FILE with share mode 0 (for reading, or for reading and
// writing), then creates READY so that the caller knows the file is held.
// Closes FILE and ends once STOP exists; after MS milliseconds (default
// 300000) it gives up waiting, so that a test that died leaves nothing behind.
// Exit code: 0 released when told, 2 bad command line, 3 FILE could not be
// opened, 4 READY could not be created, 5 STOP did not appear in time.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Options {
    std::string path;
    std::string readyFile;
    std::string stopFile;
    DWORD access = GENERIC_READ | GENERIC_WRITE;
    DWORD timeoutMs = 300000;
};

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "--path") {
            options.path = value;
        } else if (name == "--ready-file") {
            options.readyFile = value;
        } else if (name == "--stop-file") {
            options.stopFile = value;
        } else if (name == "--access") {
            if (value == "read") options.access = GENERIC_READ;
            else if (value == "write") options.access = GENERIC_READ | GENERIC_WRITE;
            else return false;
        } else if (name == "--timeout") {
            options.timeoutMs = static_cast<DWORD>(std::strtoul(value.c_str(), nullptr, 10));
        } else {
            return false;
        }
    }
    return argc % 2 == 1 && !options.path.empty() && !options.readyFile.empty() && !options.stopFile.empty();
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool createEmptyFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: file_holder --path FILE --ready-file READY --stop-file STOP [--access read|write] "
                     "[--timeout MS]\n");
        return 2;
    }
    HANDLE held = CreateFileA(options.path.c_str(), options.access, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (held == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "cannot open %s: error %lu\n", options.path.c_str(), GetLastError());
        return 3;
    }
    if (!createEmptyFile(options.readyFile)) {
        CloseHandle(held);
        return 4;
    }
    const DWORD start = GetTickCount();
    int exitCode = 0;
    while (!exists(options.stopFile)) {
        if (GetTickCount() - start >= options.timeoutMs) {
            exitCode = 5;
            break;
        }
        Sleep(20);
    }
    CloseHandle(held);
    return exitCode;
}
