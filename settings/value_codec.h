// The value codec: every INI value of the patch description and of the
// installation record is stored in this encoding.
//
// A text of n bytes encodes to 2n + 2 characters of CODEC_ALPHABET: a prefix
// chosen by a weighted checksum of the text, two characters per byte through
// an alphabet that turns by one place after every byte, and a check character
// over everything before it.
#pragma once

#include <cstdint>

extern const char CODEC_ALPHABET[17];  // "K3$pQ8*wZ%m2^tR6"

// direction '+' encodes `input` into `output`; any other direction decodes.
// `capacity` is the size of `output` in bytes. Returns 0, or -1 when the
// result does not fit or (decoding) the text fails its checks.
std::int32_t codeValue(char direction, const char* input, char* output, std::int32_t capacity);
