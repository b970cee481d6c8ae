#pragma once

#include <cstdint>

// Reads a decimal number as every number of the INI files is read: leading
// blanks, an optional sign, the digits up to the first other character. No
// digits read as 0; values past the 32-bit range read as the nearest limit.
std::int32_t readNumber(const char* text);
