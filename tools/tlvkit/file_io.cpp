#include "tools/tlvkit/file_io.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace tlvkit {

fs::path pathOf(const std::string& utf8) { return fs::u8path(utf8); }

std::string textOf(const fs::path& path) { return path.u8string(); }

std::optional<std::string> readFileBytes(const fs::path& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

void writeFileBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + textOf(path));
}

void replaceFileBytes(const fs::path& path, const std::string& bytes) {
    fs::path temporary = path;
    temporary += ".tlvkit-new";
    writeFileBytes(temporary, bytes);
    std::error_code error;
    fs::rename(temporary, path, error);
    if (error) {
        fs::remove(temporary, error);
        throw std::runtime_error("cannot replace " + textOf(path));
    }
}

}  // namespace tlvkit
