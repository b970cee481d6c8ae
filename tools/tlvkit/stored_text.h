// The texts of the INI files are code page 932 bytes; the terminal, the
// manifest and this host's file names are UTF-8. These convert between them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tlvkit {

// The code page 932 bytes of a UTF-8 text; nothing when a character has no
// code there (or the text is not valid UTF-8).
std::optional<std::string> storedFromUtf8(std::string_view utf8);

// The UTF-8 text of code page 932 bytes; nothing when they are not valid
// code page 932.
std::optional<std::string> utf8FromStored(std::string_view stored);

// Stored bytes for a terminal line: UTF-8, with every byte that code page 932
// cannot read and every control character written as \xNN.
std::string displayText(std::string_view stored);

}  // namespace tlvkit
