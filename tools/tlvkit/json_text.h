#pragma once

#include <string>
#include <string_view>

namespace tlvkit {

// A JSON string literal of a UTF-8 text, quotes included.
std::string jsonString(std::string_view utf8);

}  // namespace tlvkit
