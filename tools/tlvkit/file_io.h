// Whole files, by UTF-8 host path.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tlvkit {

std::filesystem::path pathOf(const std::string& utf8);
std::string textOf(const std::filesystem::path& path);  // UTF-8

std::optional<std::string> readFileBytes(const std::filesystem::path& path);
// Writes through a temporary file beside it, renamed into place, so that a
// failed write leaves the former file; throws std::runtime_error on failure.
void replaceFileBytes(const std::filesystem::path& path, const std::string& bytes);
// Writes a new file; throws std::runtime_error on failure.
void writeFileBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace tlvkit
