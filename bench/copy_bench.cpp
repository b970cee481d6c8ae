// copy_bench: the byte-shift copy's throughput against CopyFileA and against
// the bare loop it is built on (ReadFile of 1024 bytes, shift, WriteFile),
// on the same file in the same run.
//
//   copy_bench.exe FOLDER SIZE_MIB [ROUNDS]
//
// Writes FOLDER\source.bin of SIZE_MIB MiB, reads it once so that every copy
// starts from the cache, then times each way ROUNDS times (default 3), the
// ways taking turns, each copy to a destination that does not exist yet and
// is removed right after. The fastest round of each way counts. Prints "key=value" lines:
//   size_mib, and for each way <way>_seconds and <way>_mib_per_s
// with the ways bare_loop, bare_loop_flushed (the same, then
// FlushFileBuffers, as the shift copy flushes its file before moving it into
// place), shift_copy and copy_file_a.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "actions/stages.h"
#include "bench/win_bench_support.h"

namespace {

constexpr DWORD BLOCK_SIZE = 1024;

// What the shift copy does at its core, and nothing more.
bool bareLoop(const std::string& source, const std::string& destination, bool flush) {
    HANDLE in = CreateFileA(source.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE out =
        CreateFileA(destination.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    bool ok = in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE;
    unsigned char block[BLOCK_SIZE];
    while (ok) {
        DWORD read = 0;
        if (!ReadFile(in, block, BLOCK_SIZE, &read, nullptr)) ok = false;
        if (!ok || read == 0) break;
        for (DWORD i = 0; i < read; ++i) block[i] = static_cast<unsigned char>(block[i] - 1);
        DWORD written = 0;
        ok = WriteFile(out, block, read, &written, nullptr) && written == read;
    }
    if (ok && flush) ok = FlushFileBuffers(out) != FALSE;
    if (in != INVALID_HANDLE_VALUE) CloseHandle(in);
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    return ok;
}

struct Way {
    const char* name;
    std::function<bool(const std::string& source, const std::string& destination)> copy;
    double fastest = std::numeric_limits<double>::max();
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: copy_bench FOLDER SIZE_MIB [ROUNDS]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const double sizeMib = std::strtod(argv[2], nullptr);
    const int rounds = argc == 4 ? std::atoi(argv[3]) : 3;
    const std::string source = folder + "\\source.bin";
    try {
        bench::createFolders(folder);
        bench::writePseudoRandomFile(source, static_cast<std::uint64_t>(sizeMib * 1024 * 1024), 1, false);
        bench::readThrough(source);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 3;
    }

    std::vector<Way> ways = {
        {"bare_loop", [](const std::string& s, const std::string& d) { return bareLoop(s, d, false); }},
        {"bare_loop_flushed", [](const std::string& s, const std::string& d) { return bareLoop(s, d, true); }},
        {"shift_copy",
         [](const std::string& s, const std::string& d) { return shiftCopyFile('-', s.c_str(), d.c_str()) == 0; }},
        {"copy_file_a",
         [](const std::string& s, const std::string& d) { return CopyFileA(s.c_str(), d.c_str(), FALSE) != FALSE; }},
    };
    for (int round = 0; round < rounds; ++round) {
        for (Way& way : ways) {
            const std::string destination = folder + "\\out-" + way.name + ".bin";
            const double start = bench::now();
            if (!way.copy(source, destination)) {
                std::fprintf(stderr, "%s failed\n", way.name);
                return 4;
            }
            const double seconds = bench::now() - start;
            if (seconds < way.fastest) way.fastest = seconds;
            // Removed at once, so that its pages are not written back while
            // the next way is timed.
            DeleteFileA(destination.c_str());
        }
    }
    bench::report("size_mib", sizeMib);
    for (const Way& way : ways) {
        bench::report(std::string(way.name) + "_seconds", way.fastest);
        bench::report(std::string(way.name) + "_mib_per_s", sizeMib / way.fastest);
    }
    DeleteFileA(source.c_str());
    return 0;
}
