#include "settings/number_text.h"

#include <limits>

namespace {

bool isBlank(char character) {
    // Space, tab and the line-break characters (LF, VT, FF, CR).
    return character == ' ' || character == '\t' || character == '\n' || character == '\v' ||
           character == '\f' || character == '\r';
}

}  // namespace

std::int32_t readNumber(const char* text) {
    while (isBlank(*text)) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    // Magnitude in 64 bits, held at one past the 32-bit limit once it passes it,
    // so that any number of digits saturates instead of overflowing.
    const long long limit = negative ? -static_cast<long long>(std::numeric_limits<std::int32_t>::min())
                                     : std::numeric_limits<std::int32_t>::max();
    long long magnitude = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > limit) magnitude = limit;
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}
