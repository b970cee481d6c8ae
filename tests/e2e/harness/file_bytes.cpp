#include "tests/e2e/harness/file_bytes.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace e2e {

void writeBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::optional<std::string> readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string raisedByOne(std::string bytes) {
    for (char& byte : bytes) byte = static_cast<char>(static_cast<unsigned char>(byte) + 1);
    return bytes;
}

std::string byteDifference(const std::string& actual, const std::string& expected) {
    if (actual == expected) return "";
    std::size_t offset = 0;
    while (offset < actual.size() && offset < expected.size() && actual[offset] == expected[offset]) ++offset;
    char text[160];
    std::snprintf(text, sizeof text, "%zu bytes, expected %zu; first difference at offset %zu", actual.size(),
                  expected.size(), offset);
    std::string result = text;
    if (offset < actual.size() && offset < expected.size()) {
        std::snprintf(text, sizeof text, ": 0x%02X, expected 0x%02X", static_cast<unsigned char>(actual[offset]),
                      static_cast<unsigned char>(expected[offset]));
        result += text;
    }
    return result;
}

std::string allByteValues(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i % 256);
    return bytes;
}

}  // namespace e2e
