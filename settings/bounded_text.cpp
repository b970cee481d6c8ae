#include "settings/bounded_text.h"

#include <cstring>

bool copyText(char* destination, std::size_t capacity, const char* source) {
    if (capacity == 0) return source[0] == '\0';
    std::size_t length = 0;
    while (length + 1 < capacity && source[length] != '\0') {
        destination[length] = source[length];
        ++length;
    }
    destination[length] = '\0';
    return source[length] == '\0';
}

bool appendText(char* destination, std::size_t capacity, const char* source) {
    std::size_t used = strnlen(destination, capacity);
    if (used >= capacity) return source[0] == '\0';
    return copyText(destination + used, capacity - used, source);
}
