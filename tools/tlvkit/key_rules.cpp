#include "tools/tlvkit/key_rules.h"

#include "settings/patch_context.h"

namespace tlvkit {

namespace {

// Numbers are decoded into a text of a path field's width, then read.
constexpr KeyRule RULES[] = {
    {DESCRIPTION_SECTION, "TARGET", PATH_FIELD, "", ValueKind::Text, true},
    {DESCRIPTION_SECTION, "MODULE_TYPE", PATH_FIELD, "", ValueKind::Number, false},
    {DESCRIPTION_SECTION, "MODULE_NM", PATH_FIELD, "", ValueKind::Text, false},
    {DESCRIPTION_SECTION, "TITLE_NM", PATH_FIELD, "", ValueKind::Text, false},
    {DESCRIPTION_SECTION, "MODULE_NM_E", PATH_FIELD, "", ValueKind::Text, false},
    {DESCRIPTION_SECTION, "TITLE_NM_E", PATH_FIELD, "", ValueKind::Text, false},
    {DESCRIPTION_SECTION, "VERSION", PATH_FIELD, "", ValueKind::Text, false},
    {DESCRIPTION_SECTION, "VERSION_DISP", PATH_FIELD, "", ValueKind::Text, false},
    {DESCRIPTION_SECTION, "SPNO651", PATH_FIELD, "", ValueKind::Number, false},
    {DESCRIPTION_SECTION, "PTNO", PATH_FIELD, "", ValueKind::Number, false},
    {DESCRIPTION_SECTION, "FILES", PATH_FIELD, "", ValueKind::Number, false},
    {DESCRIPTION_SECTION, "FILE", PATH_FIELD, "", ValueKind::FileLine, true},
    {DESCRIPTION_SECTION, "REGISTRIES", PATH_FIELD, "", ValueKind::Number, false},
    {DESCRIPTION_SECTION, "REGISTRY", 4096, "", ValueKind::RegistryLine, true},
    {RECORD_SECTION, "VERSION", SHORT_FIELD, "", ValueKind::Text, true},
    {RECORD_SECTION, "PLATFORM", PATH_FIELD, "x86", ValueKind::Text, false},
    {RECORD_SECTION, "SPNO651", PATH_FIELD, "", ValueKind::Number, false},
    {RECORD_SECTION, "PTNO", PATH_FIELD, "0", ValueKind::Number, false},
    {RECORD_SECTION, "VORN_INST", PATH_FIELD, "", ValueKind::Text, false},
    {RECORD_SECTION, "DIR", PATH_FIELD, "", ValueKind::Text, true},
};

char lowerAscii(char character) {
    return character >= 'A' && character <= 'Z' ? static_cast<char>(character - 'A' + 'a') : character;
}

// "FILE12" as the list key "FILE": digits without a leading zero, from 1.
bool isListKey(const std::string& key, const std::string& listName) {
    if (key.size() <= listName.size() || !sameName(key.substr(0, listName.size()), listName)) return false;
    const std::string number = key.substr(listName.size());
    if (number[0] < '1' || number[0] > '9') return false;
    for (const char digit : number) {
        if (digit < '0' || digit > '9') return false;
    }
    return true;
}

}  // namespace

bool sameName(const std::string& left, const std::string& right) {
    if (left.size() != right.size()) return false;
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (lowerAscii(left[i]) != lowerAscii(right[i])) return false;
    }
    return true;
}

const KeyRule* findKeyRule(const std::string& section, const std::string& key) {
    for (const KeyRule& rule : RULES) {
        if (!sameName(section, rule.section)) continue;
        const bool list = rule.kind == ValueKind::FileLine || rule.kind == ValueKind::RegistryLine;
        if (list ? isListKey(key, rule.key) : sameName(key, rule.key)) return &rule;
    }
    return nullptr;
}

}  // namespace tlvkit
