#include "tools/tlvkit/manifest.h"

#include "tools/tlvkit/key_rules.h"

namespace tlvkit {

namespace {

constexpr char UTF8_BYTE_ORDER_MARK[] = "\xEF\xBB\xBF";

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

Manifest parseManifest(const std::string& path, const std::string& text, std::vector<ManifestError>& errors) {
    Manifest manifest;
    manifest.path = path;
    std::vector<ManifestLine>* section = nullptr;
    bool inUnknownSection = false;
    std::size_t begin = text.compare(0, 3, UTF8_BYTE_ORDER_MARK) == 0 ? 3 : 0;
    int number = 0;
    while (begin < text.size()) {
        const std::size_t newline = text.find('\n', begin);
        const std::size_t end = newline == std::string::npos ? text.size() : newline;
        std::string line = text.substr(begin, end - begin);
        begin = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        line = trimmed(line);
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;

        if (line.front() == '[' && line.back() == ']') {
            const std::string name = trimmed(line.substr(1, line.size() - 2));
            inUnknownSection = false;
            if (sameName(name, "INSTALL")) {
                section = &manifest.install;
            } else if (sameName(name, "FILES")) {
                section = &manifest.files;
            } else if (sameName(name, "REGISTRY")) {
                section = &manifest.registries;
            } else if (sameName(name, "PACKAGE")) {
                section = &manifest.package;
            } else {
                section = nullptr;
                inUnknownSection = true;
                errors.push_back({number, "unknown section [" + name + "]: the sections are [INSTALL], [FILES], "
                                          "[REGISTRY] and [PACKAGE]"});
            }
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            errors.push_back({number, "expected \"[SECTION]\" or \"key = value\""});
            continue;
        }
        const std::string key = trimmed(line.substr(0, equals));
        if (key.empty()) {
            errors.push_back({number, "a key is missing before '='"});
            continue;
        }
        if (section == nullptr) {
            if (!inUnknownSection) errors.push_back({number, key + ": outside any section"});
            continue;
        }
        section->push_back({number, key, trimmed(line.substr(equals + 1))});
    }
    return manifest;
}

std::vector<std::string> splitManifestFields(const std::string& value) {
    std::vector<std::string> fields;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t comma = value.find(',', begin);
        fields.push_back(trimmed(value.substr(begin, comma == std::string::npos ? std::string::npos : comma - begin)));
        if (comma == std::string::npos) break;
        begin = comma + 1;
    }
    return fields;
}

}  // namespace tlvkit
