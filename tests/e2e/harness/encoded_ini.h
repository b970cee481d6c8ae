// INI files as the applier reads and writes them: every value stored through
// the product line's value codec.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

using IniValues = std::vector<std::pair<std::string, std::string>>;  // key, plain value

// The codec's encoding of `plain`; throws std::runtime_error when it cannot.
std::string encodeValue(const std::string& plain);

// Writes one section holding every key in the order given, each value
// encoded; lines end with CR LF.
void writeEncodedIni(const std::filesystem::path& file, const std::string& section, const IniValues& values);

// The decoded value of a key (keys and sections compare case-insensitively,
// as the profile calls do); nothing when the file, section or key is missing
// or the value does not decode.
std::optional<std::string> readDecodedValue(const std::filesystem::path& file, const std::string& section,
                                            const std::string& key);

// Replaces the value of a key, or adds the key at the end.
IniValues with(IniValues values, const std::string& key, const std::string& value);
// Removes a key.
IniValues without(IniValues values, const std::string& key);

}  // namespace e2e
