// What the Windows benchmarks share: a wall clock, files of given content and
// size, and the "key=value" lines that scripts/bench.sh reads.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// Seconds since an arbitrary start, from the performance counter.
double now();

// Writes `size` bytes that repeat nowhere (seeded), in 1 MiB blocks, raised
// by one when `raised` (the package's stored form of a mode "1" file).
// Throws std::runtime_error when the file cannot be written.
void writePseudoRandomFile(const std::string& path, std::uint64_t size, std::uint32_t seed, bool raised);

// Reads the whole file once, so that every timed copy starts from the cache.
void readThrough(const std::string& path);

// Creates every folder of `path` that is missing.
void createFolders(const std::string& path);

// Prints "key=value" on its own line.
void report(const std::string& key, double value);

// The middle value (the mean of the two middle ones for an even count).
double median(std::vector<double> values);

}  // namespace bench
