#pragma once

#include <string>

// The code page 932 bytes of a UTF-8 text, for expected Japanese texts.
std::string toCp932(const std::string& utf8);
