#include "settings/read_setting.h"

#include "platform/platform.h"

std::int32_t getModuleDir(char* output, std::int32_t capacity) {
    try {
        if (capacity <= 0) return 2;
        const auto size = static_cast<std::uint32_t>(capacity);
        const std::uint32_t length = platform::moduleFileName(output, size);
        // A path cut to the buffer would name some parent folder: treat it as
        // not obtained, and leave no partial path behind.
        if (length == 0 || length >= size) {
            output[0] = '\0';
            return 2;
        }
        output[length] = '\0';

        // Whole characters only: the trail byte of a double-byte character may
        // be 0x5C and must not be taken for a backslash.
        char* lastBackslash = nullptr;
        for (char* cursor = output; *cursor != '\0';) {
            if (*cursor == '\\') lastBackslash = cursor;
            char* next = output + (platform::nextChar(cursor) - output);
            if (next <= cursor) break;
            cursor = next;
        }
        if (lastBackslash != nullptr) {
            *lastBackslash = '\0';
        } else {
            output[0] = '\0';
        }
        return 0;
    } catch (...) {
        return 2;
    }
}
