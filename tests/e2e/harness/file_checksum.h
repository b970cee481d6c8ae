// Checksums of whole files, so that a test can say of every file a run
// touches whether it holds exactly what it held before or exactly its new
// content, also for files far too large to show in a failure message.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace e2e {

using Checksum = std::uint64_t;

// 64-bit FNV-1a: any difference in content or length changes it, short of a
// deliberate collision.
Checksum checksumOf(const std::string& bytes);
// Nothing when the file does not exist or cannot be read.
std::optional<Checksum> fileChecksum(const std::filesystem::path& file);

// The checksums of a set of files, by a name for messages; nothing for a
// file that is not there.
using FileChecksums = std::map<std::string, std::optional<Checksum>>;
FileChecksums checksumsOf(const std::map<std::string, std::filesystem::path>& files);

// One line per file, "name: 16 hex digits" or "name: missing", so that a
// failed comparison names the files that differ.
std::string describe(const FileChecksums& checksums);

}  // namespace e2e
