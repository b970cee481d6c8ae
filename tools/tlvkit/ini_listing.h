// Every entry of an INI file with its line number, and whether the profile
// calls would ever read it: only the first section of a name is searched and
// the first of equal keys in it wins.
#pragma once

#include <string>
#include <vector>

namespace tlvkit {

struct IniEntry {
    int line;  // from 1
    std::string section;
    std::string key;
    std::string value;  // as the profile calls read it: trimmed, outer quotes removed
    bool read;          // false: an earlier section or key of the same name hides it
};

std::vector<IniEntry> listIniEntries(const std::string& content);

}  // namespace tlvkit
