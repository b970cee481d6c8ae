#include "tests/e2e/harness/encoded_ini.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "settings/value_codec.h"

namespace e2e {

namespace {

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::string encodeValue(const std::string& plain) {
    std::vector<char> encoded(plain.size() * 2 + 3);
    if (codeValue('+', plain.c_str(), encoded.data(), static_cast<std::int32_t>(encoded.size())) != 0) {
        throw std::runtime_error("the codec cannot encode \"" + plain + "\"");
    }
    return encoded.data();
}

void writeEncodedIni(const std::filesystem::path& file, const std::string& section, const IniValues& values) {
    std::string text = "[" + section + "]\r\n";
    for (const auto& [key, value] : values) text += key + "=" + encodeValue(value) + "\r\n";
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::optional<std::string> readDecodedValue(const std::filesystem::path& file, const std::string& section,
                                            const std::string& key) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string line;
    bool inSection = false;
    while (std::getline(in, line)) {
        line = trimmed(line);
        if (!line.empty() && line.front() == '[') {
            inSection = upper(line) == "[" + upper(section) + "]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inSection || equals == std::string::npos || upper(trimmed(line.substr(0, equals))) != upper(key)) {
            continue;
        }
        const std::string encoded = trimmed(line.substr(equals + 1));
        std::vector<char> decoded(encoded.size() + 2);
        if (codeValue('-', encoded.c_str(), decoded.data(), static_cast<std::int32_t>(decoded.size())) != 0) {
            return std::nullopt;
        }
        return std::string(decoded.data());
    }
    return std::nullopt;
}

IniValues with(IniValues values, const std::string& key, const std::string& value) {
    for (auto& entry : values) {
        if (entry.first == key) {
            entry.second = value;
            return values;
        }
    }
    values.emplace_back(key, value);
    return values;
}

IniValues without(IniValues values, const std::string& key) {
    values.erase(std::remove_if(values.begin(), values.end(), [&](const auto& entry) { return entry.first == key; }),
                 values.end());
    return values;
}

}  // namespace e2e
