#pragma once

#include <cstddef>
#include <initializer_list>

// Size of the message and confirmation buffers: 254 bytes of text and the NUL.
constexpr std::size_t MESSAGE_BUFFER_SIZE = 255;

// Formats a message text whose placeholders are "%s" (the blank flag, "% s",
// formats the same) with `arguments` in order; "%%" gives "%". The result is
// cut to fit `capacity` at a character boundary of the ANSI code page, so a
// double-byte character is never split, and nothing is written past it.
// Returns true when nothing had to be cut.
bool formatMessage(char* buffer, std::size_t capacity, const char* format,
                   std::initializer_list<const char*> arguments);
