// Copies into fixed-width text fields. Each write is bounded by the field's
// width (which counts the NUL), always terminates, and tells whether the whole
// text fitted so that callers can refuse a cut path instead of using it.
#pragma once

#include <cstddef>

// Copies at most capacity - 1 bytes of `source` and a NUL; true when nothing was cut.
bool copyText(char* destination, std::size_t capacity, const char* source);

// Appends `source` after the text already in `destination`, bounded the same way.
bool appendText(char* destination, std::size_t capacity, const char* source);

template <std::size_t N>
bool copyText(char (&destination)[N], const char* source) {
    return copyText(destination, N, source);
}

template <std::size_t N>
bool appendText(char (&destination)[N], const char* source) {
    return appendText(destination, N, source);
}
