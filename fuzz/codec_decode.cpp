// Decoding any text with every capacity from 1 to 1100: the decoder never
// writes outside its capacity, and its result and bytes match a plain model
// of the format (prefix, pairs through the turning alphabet, check character
// over all but the last). The output of each capacity is the tail of one
// heap block, so a write past it stops the run at once; a write before it
// shows in the block's untouched head.
//
// Input: the text to decode, up to its first NUL.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "settings/value_codec.h"

namespace {

constexpr std::size_t LARGEST_CAPACITY = 1100;
constexpr char FILL = '#';

void require(bool condition) {
    if (!condition) std::abort();
}

int indexOf(char character) {
    const char* found = std::strchr(CODEC_ALPHABET, character);
    return character != '\0' && found != nullptr ? static_cast<int>(found - CODEC_ALPHABET) : -1;
}

struct Model {
    bool checkPasses = false;
    std::string bytes;  // every decoded byte, NULs included, without the terminator
};

Model model(const std::string& text) {
    Model result;
    const std::size_t length = text.size();
    if (length < 2 || indexOf(text[0]) < 0) return result;
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i + 1 < length; ++i) sum += (i + 1) * static_cast<unsigned char>(text[i]);
    if (indexOf(text[length - 1]) != static_cast<int>(sum % 16)) return result;
    result.checkPasses = true;

    const int prefix = indexOf(text[0]);
    // Pairs follow the prefix while both characters are there: an even length
    // leaves the check character over, an odd one decodes it as a low half.
    for (std::size_t j = 0; 2 * j + 2 < length; ++j) {
        const auto half = [&](char character) {
            const int index = indexOf(character);
            return index < 0 ? -1 : ((index - prefix - static_cast<int>(j % 16)) % 16 + 32) % 16;
        };
        const int high = half(text[2 * j + 1]);
        const int low = half(text[2 * j + 2]);
        result.bytes += static_cast<char>(static_cast<unsigned char>((16 * high + low) & 0xFF));
    }
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    const std::string text(bytes, std::find(bytes, bytes + size, '\0'));
    const Model expected = model(text);
    const std::size_t needed = expected.bytes.size() + 1;

    const std::unique_ptr<char[]> block(new char[LARGEST_CAPACITY]);
    char* const blockEnd = block.get() + LARGEST_CAPACITY;
    static const std::string fill(LARGEST_CAPACITY, FILL);
    const auto untouched = [](const char* from, const char* to) {
        return std::memcmp(from, fill.data(), static_cast<std::size_t>(to - from)) == 0;
    };
    for (std::size_t capacity = 1; capacity <= LARGEST_CAPACITY; ++capacity) {
        char* const output = blockEnd - capacity;
        std::memset(block.get(), FILL, LARGEST_CAPACITY);
        const int result = codeValue('-', text.c_str(), output, static_cast<std::int32_t>(capacity));

        require(untouched(block.get(), output));
        if (!expected.checkPasses) {
            require(result == -1);
            require(untouched(output, blockEnd));
        } else if (needed <= capacity) {
            require(result == 0);
            require(std::memcmp(output, expected.bytes.c_str(), needed) == 0);
            require(untouched(output + needed, blockEnd));
        } else {
            require(result == -1);
            require(std::memcmp(output, expected.bytes.data(), capacity - 1) == 0);
            require(untouched(output + capacity - 1, blockEnd));
        }
    }
    return 0;
}
