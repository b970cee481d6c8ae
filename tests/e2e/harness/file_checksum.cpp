#include "tests/e2e/harness/file_checksum.h"

#include <cstdio>
#include <fstream>
#include <vector>

namespace e2e {

namespace {

constexpr Checksum FNV_OFFSET_BASIS = 0xcbf29ce484222325ull;
constexpr Checksum FNV_PRIME = 0x100000001b3ull;

Checksum extend(Checksum checksum, const char* bytes, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        checksum ^= static_cast<unsigned char>(bytes[i]);
        checksum *= FNV_PRIME;
    }
    return checksum;
}

}  // namespace

Checksum checksumOf(const std::string& bytes) { return extend(FNV_OFFSET_BASIS, bytes.data(), bytes.size()); }

std::optional<Checksum> fileChecksum(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    Checksum checksum = FNV_OFFSET_BASIS;
    std::vector<char> block(1 << 20);
    while (in) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        checksum = extend(checksum, block.data(), static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) return std::nullopt;
    return checksum;
}

FileChecksums checksumsOf(const std::map<std::string, std::filesystem::path>& files) {
    FileChecksums checksums;
    for (const auto& [name, path] : files) checksums[name] = fileChecksum(path);
    return checksums;
}

std::string describe(const FileChecksums& checksums) {
    std::string text;
    char hex[24];
    for (const auto& [name, checksum] : checksums) {
        text += name + ": ";
        if (checksum) {
            std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(*checksum));
            text += hex;
        } else {
            text += "missing";
        }
        text += "\n";
    }
    return text;
}

}  // namespace e2e
