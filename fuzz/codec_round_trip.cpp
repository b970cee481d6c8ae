// The codec both ways on any text of up to 510 bytes without NUL: encoding
// into exactly 2n + 3 bytes and decoding into exactly n + 1 gives the text
// back; one byte less fails either way. Every buffer is a heap block of
// exactly its capacity, so AddressSanitizer stops any write past it.
//
// Input: the text, up to its first NUL; each pair of bytes after that NUL
// picks one more capacity to try in each direction (16 at most).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "settings/value_codec.h"

namespace {

constexpr std::size_t LONGEST_TEXT = 510;
constexpr std::size_t MOST_PICKS = 16;

struct Buffer {
    explicit Buffer(std::size_t capacity) : bytes(new char[capacity]), size(capacity) {
        std::memset(bytes.get(), '#', size);
    }
    std::unique_ptr<char[]> bytes;
    std::size_t size;
};

int encodeInto(const std::string& text, Buffer& buffer) {
    return codeValue('+', text.c_str(), buffer.bytes.get(), static_cast<std::int32_t>(buffer.size));
}

int decodeInto(const std::string& encoded, Buffer& buffer) {
    return codeValue('-', encoded.c_str(), buffer.bytes.get(), static_cast<std::int32_t>(buffer.size));
}

void require(bool condition) {
    if (!condition) std::abort();
}

// Capacities too small for the encoded form (2n + 3) or for the text (n + 1)
// fail: encoding at once, decoding after the first capacity - 1 bytes of the
// text, unterminated.
void smallerCapacityFails(const std::string& text, const std::string& encoded, std::size_t encodeCapacity,
                          std::size_t decodeCapacity) {
    const std::size_t n = text.size();
    if (encodeCapacity < 2 * n + 3) {
        Buffer buffer(encodeCapacity);
        require(encodeInto(text, buffer) == -1);
    }
    if (decodeCapacity < n + 1) {
        Buffer buffer(decodeCapacity);
        require(decodeInto(encoded, buffer) == -1);
        if (decodeCapacity > 0) require(std::memcmp(buffer.bytes.get(), text.data(), decodeCapacity - 1) == 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    const auto textEnd = static_cast<std::size_t>(std::find(bytes, bytes + size, '\0') - bytes);
    const std::string text(bytes, textEnd < LONGEST_TEXT ? textEnd : LONGEST_TEXT);
    const std::size_t n = text.size();

    Buffer encodedBuffer(2 * n + 3);
    require(encodeInto(text, encodedBuffer) == 0);
    const std::string encoded(encodedBuffer.bytes.get(), strnlen(encodedBuffer.bytes.get(), encodedBuffer.size));
    require(encoded.size() == 2 * n + 2);
    require(encoded.find_first_not_of(CODEC_ALPHABET) == std::string::npos);

    Buffer decoded(n + 1);
    require(decodeInto(encoded, decoded) == 0);
    require(std::memcmp(decoded.bytes.get(), text.c_str(), n + 1) == 0);

    smallerCapacityFails(text, encoded, 2 * n + 2, n);
    smallerCapacityFails(text, encoded, 0, 0);
    const std::size_t picksEnd = std::min(size, textEnd + 1 + 2 * MOST_PICKS);
    for (std::size_t at = textEnd + 1; at + 1 < picksEnd; at += 2) {
        const std::size_t pick = static_cast<std::uint8_t>(bytes[at]) * 256u + static_cast<std::uint8_t>(bytes[at + 1]);
        smallerCapacityFails(text, encoded, pick % (2 * n + 3), pick % (n + 1));
    }
    return 0;
}
