#include "app/message_format.h"

#include <cstring>
#include <string>

#include "platform/platform.h"

namespace {

std::string expand(const char* format, std::initializer_list<const char*> arguments) {
    std::string text;
    const char* const* nextArgument = arguments.begin();
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') {
            text += *p;
            continue;
        }
        const char* conversion = p + 1;
        while (*conversion == ' ') ++conversion;
        if (*conversion == 's') {
            if (nextArgument != arguments.end()) {
                if (*nextArgument != nullptr) text += *nextArgument;
                ++nextArgument;
            }
            p = conversion;
        } else if (p[1] == '%') {
            text += '%';
            ++p;
        } else {
            text += '%';
        }
    }
    return text;
}

// Length of the longest prefix of `text` that ends at a character boundary
// and leaves room for the NUL.
std::size_t fittingLength(const char* text, std::size_t capacity) {
    std::size_t fits = 0;
    const char* p = text;
    while (*p != '\0') {
        const char* next = platform::nextChar(p);
        if (next == p) break;
        std::size_t end = static_cast<std::size_t>(next - text);
        if (end + 1 > capacity) break;
        fits = end;
        p = next;
    }
    return fits;
}

}  // namespace

bool formatMessage(char* buffer, std::size_t capacity, const char* format,
                   std::initializer_list<const char*> arguments) {
    if (capacity == 0) return false;
    const std::string text = expand(format, arguments);
    const std::size_t length = fittingLength(text.c_str(), capacity);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return length == text.size();
}
