#include "tests/support/ini_builder.h"

#include <stdexcept>

#include "settings/value_codec.h"

std::string encodeValue(const std::string& plain) {
    std::string encoded(plain.size() * 2 + 3, '\0');
    if (codeValue('+', plain.c_str(), encoded.data(), static_cast<int>(encoded.size())) != 0) {
        throw std::runtime_error("cannot encode a value of " + std::to_string(plain.size()) + " bytes");
    }
    encoded.resize(plain.size() * 2 + 2);
    return encoded;
}

std::string encodeWithWrongCheck(const std::string& plain) {
    std::string encoded = encodeValue(plain);
    const std::string alphabet = CODEC_ALPHABET;
    encoded.back() = alphabet[(alphabet.find(encoded.back()) + 1) % alphabet.size()];
    return encoded;
}

std::string buildIni(const std::vector<IniLine>& lines) {
    std::vector<std::string> sections;
    for (const IniLine& line : lines) {
        bool seen = false;
        for (const std::string& section : sections) seen = seen || section == line.section;
        if (!seen) sections.push_back(line.section);
    }
    std::string text;
    for (const std::string& section : sections) {
        text += "[" + section + "]\r\n";
        for (const IniLine& line : lines) {
            if (line.section != section) continue;
            text += line.key + "=" + (line.storePlain ? line.value : encodeValue(line.value)) + "\r\n";
        }
    }
    return text;
}
