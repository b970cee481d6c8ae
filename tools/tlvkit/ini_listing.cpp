#include "tools/tlvkit/ini_listing.h"

#include <set>

#include "platform/profile_text.h"
#include "tools/tlvkit/key_rules.h"

namespace tlvkit {

namespace {

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string upper(std::string text) {
    for (char& character : text) {
        if (character >= 'a' && character <= 'z') character = static_cast<char>(character - 'a' + 'A');
    }
    return text;
}

}  // namespace

std::vector<IniEntry> listIniEntries(const std::string& content) {
    std::vector<IniEntry> entries;
    std::set<std::string> sectionsSeen;  // upper-cased names
    std::set<std::string> keysSeen;      // of the current section
    std::string section;
    bool sectionRead = false;
    int lineNumber = 0;
    std::size_t begin = 0;
    while (begin < content.size()) {
        const std::size_t newline = content.find('\n', begin);
        const std::size_t end = newline == std::string::npos ? content.size() : newline;
        std::string line = content.substr(begin, end - begin);
        begin = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        line = trimmed(line);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[' && line.find(']') != std::string::npos) {
            section = trimmed(line.substr(1, line.find(']') - 1));
            sectionRead = sectionsSeen.insert(upper(section)).second;
            keysSeen.clear();
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        IniEntry entry{lineNumber, section, trimmed(line.substr(0, equals)), "", false};
        entry.read = sectionRead && keysSeen.insert(upper(entry.key)).second;
        // The value the applier gets is the profile model's; a hidden entry
        // is shown as it stands.
        if (!entry.read || !findProfileValue(content, section.c_str(), entry.key.c_str(), &entry.value)) {
            entry.value = trimmed(line.substr(equals + 1));
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace tlvkit
