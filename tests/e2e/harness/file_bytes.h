// Whole files as byte strings, for the files a test lays out and checks.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace e2e {

// Writes `bytes`, creating the folders on the way.
void writeBytes(const std::filesystem::path& file, const std::string& bytes);
// The file's bytes; nothing when it does not exist.
std::optional<std::string> readBytes(const std::filesystem::path& file);

// The package's stored form of a mode "1" file: every byte raised by one.
std::string raisedByOne(std::string bytes);

// "" when equal; otherwise the sizes and the first byte that differs, short
// enough for a failure message about a large file.
std::string byteDifference(const std::string& actual, const std::string& expected);

// Every byte value from 0x00 to 0xFF, repeated to `size` bytes.
std::string allByteValues(std::size_t size);

}  // namespace e2e
