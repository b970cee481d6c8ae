// The user interface languages the end-to-end tests run the applier in.
// Wine takes the interface language and the ANSI code page of a process from
// its locale variables, so each language is a Linux locale (which must be
// generated on the machine; scripts/run-e2e.sh sees to that).
#pragma once

#include <ostream>

namespace e2e {

struct UiLanguage {
    const char* name;    // for test names and messages
    const char* locale;  // LANG and LC_ALL of the Wine process
    bool japanese;       // 1041: Japanese texts, code page 932
};

inline constexpr UiLanguage JAPANESE{"Japanese", "ja_JP.UTF-8", true};   // 1041, code page 932
inline constexpr UiLanguage ENGLISH_US{"EnglishUS", "en_US.UTF-8", false};  // 1033, code page 1252
inline constexpr UiLanguage ENGLISH_UK{"EnglishUK", "en_GB.UTF-8", false};  // 2057, code page 1252

inline std::ostream& operator<<(std::ostream& out, const UiLanguage& language) { return out << language.name; }

}  // namespace e2e
