#include "bench/win_bench_support.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace bench {

double now() {
    static const double ticksPerSecond = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / ticksPerSecond;
}

void writePseudoRandomFile(const std::string& path, std::uint64_t size, std::uint32_t seed, bool raised) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + path);
    std::vector<unsigned char> block(1 << 20);
    std::uint32_t state = seed;
    for (std::uint64_t left = size; left > 0;) {
        const DWORD count = static_cast<DWORD>(std::min<std::uint64_t>(left, block.size()));
        for (DWORD i = 0; i < count; ++i) {
            state = state * 1664525u + 1013904223u;
            block[i] = static_cast<unsigned char>((state >> 24) + (raised ? 1 : 0));
        }
        DWORD written = 0;
        if (!WriteFile(file, block.data(), count, &written, nullptr) || written != count) {
            CloseHandle(file);
            throw std::runtime_error("cannot write " + path);
        }
        left -= count;
    }
    CloseHandle(file);
}

void readThrough(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot read " + path);
    std::vector<unsigned char> block(1 << 20);
    DWORD read = 0;
    while (ReadFile(file, block.data(), static_cast<DWORD>(block.size()), &read, nullptr) && read > 0) {
    }
    CloseHandle(file);
}

void createFolders(const std::string& path) {
    for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    }
    CreateDirectoryA(path.c_str(), nullptr);
}

void report(const std::string& key, double value) {
    std::printf("%s=%.6f\n", key.c_str(), value);
    std::fflush(stdout);
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace bench
