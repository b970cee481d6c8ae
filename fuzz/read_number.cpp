// readNumber on any text: no undefined behaviour on any number of digits,
// and the value of a reference reading that counts significant digits and
// works in 64 bits, clamped to the 32-bit range.
//
// Input: the text, up to its first NUL.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "settings/number_text.h"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::int32_t reference(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && isBlank(text[at])) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    while (at < text.size() && text[at] == '0') ++at;
    const std::size_t firstSignificant = at;
    while (at < text.size() && isDigit(text[at])) ++at;
    const std::size_t significantDigits = at - firstSignificant;

    // Eleven significant digits or more lie beyond 32 bits whatever they are.
    std::int64_t value = significantDigits > 10 ? std::int64_t{1} << 40 : 0;
    for (std::size_t i = firstSignificant; significantDigits <= 10 && i < at; ++i) value = value * 10 + (text[i] - '0');
    if (negative) value = -value;
    const std::int64_t lowest = std::numeric_limits<std::int32_t>::min();
    const std::int64_t highest = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(value, lowest, highest));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    const std::string text(bytes, std::find(bytes, bytes + size, '\0'));
    if (readNumber(text.c_str()) != reference(text)) std::abort();
    return 0;
}
