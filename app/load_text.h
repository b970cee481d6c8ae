#pragma once

// Capacity given to the string loader: 1019 bytes of text and the NUL.
constexpr int LOAD_TEXT_CAPACITY = 1020;

// Message `id` in the interface language, in one process-wide buffer that the
// next call overwrites: copy or format the text before loading another.
const char* loadText(unsigned id);
