// Conversions between UTF-8, the text of this host's terminals and file
// names, and the Windows ANSI code pages that the applier's texts are in:
// 932 (Japanese), in which the product line stores its texts, and 1252
// (Western European), the ANSI code page of an English Windows.
#pragma once

#include <string>
#include <string_view>

namespace host {

enum class CodePage : unsigned { Japanese = 932, WesternEuropean = 1252 };

// False when the text holds a character that the other side has no code for
// (or is not valid in its own encoding); the output is then unspecified.
bool fromUtf8(CodePage codePage, std::string_view utf8, std::string* text);
bool toUtf8(CodePage codePage, std::string_view text, std::string* utf8);

inline bool cp932FromUtf8(std::string_view utf8, std::string* cp932) {
    return fromUtf8(CodePage::Japanese, utf8, cp932);
}
inline bool utf8FromCp932(std::string_view cp932, std::string* utf8) {
    return toUtf8(CodePage::Japanese, cp932, utf8);
}

}  // namespace host
