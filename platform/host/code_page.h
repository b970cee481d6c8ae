// Conversions between UTF-8, the text of this host's terminals and file
// names, and code page 932, the Japanese ANSI code page in which the product
// line stores its texts.
#pragma once

#include <string>
#include <string_view>

namespace host {

// False when the text holds a character that the other side has no code for
// (or is not valid in its own encoding); the output is then unspecified.
bool cp932FromUtf8(std::string_view utf8, std::string* cp932);
bool utf8FromCp932(std::string_view cp932, std::string* utf8);

}  // namespace host
