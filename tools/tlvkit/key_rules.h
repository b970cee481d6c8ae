// What the applier reads from its two INI files, key by key: the width of the
// field a value is decoded into and the default it reads as otherwise.
#pragma once

#include <cstddef>
#include <string>

namespace tlvkit {

constexpr char DESCRIPTION_SECTION[] = "INSTALL";
constexpr char RECORD_SECTION[] = "LICENSE";
constexpr char DESCRIPTION_FILE_NAME[] = "tlvIni.ini";
constexpr char APPLIER_FILE_NAME[] = "tlvpatch.exe";

enum class ValueKind { Text, Number, FileLine, RegistryLine };

struct KeyRule {
    const char* section;
    const char* key;  // "FILE" and "REGISTRY" stand for FILE<n> and REGISTRY<n>
    std::size_t capacity;
    const char* defaultValue;
    ValueKind kind;
    bool required;  // missing, empty or unreadable, the applier refuses the file (code 2)
};

// The rule for a key of a section (names compare without ASCII case, as the
// profile calls compare them); nullptr for a key the applier does not read.
const KeyRule* findKeyRule(const std::string& section, const std::string& key);

bool sameName(const std::string& left, const std::string& right);

}  // namespace tlvkit
