// Reading one stored (encoded) value as the applier's settings reader does,
// and telling why a value fails: the codec itself only says that it failed.
#pragma once

#include <cstddef>
#include <string>

namespace tlvkit {

// The settings reader takes at most this many characters of a stored value.
constexpr std::size_t STORED_VALUE_LIMIT = 1023;

struct DecodedValue {
    bool ok = false;
    std::string text;    // the decoded bytes, when ok
    std::string reason;  // why not, when not ok: one phrase
};

// Decodes `stored` into a field of `capacity` bytes (its NUL counted), as the
// settings reader would: an empty value, one that fails the codec's checks
// and one that does not fit the field all fail.
DecodedValue decodeStored(const std::string& stored, std::size_t capacity);

// The codec's encoding of `text` (code page 932 bytes).
std::string encodeText(const std::string& text);

}  // namespace tlvkit
