#include "settings/value_codec.h"

#include <cstddef>
#include <cstring>

const char CODEC_ALPHABET[17] = "K3$pQ8*wZ%m2^tR6";

namespace {

constexpr int ALPHABET_SIZE = 16;

int alphabetIndex(char character) {
    for (int position = 0; position < ALPHABET_SIZE; ++position) {
        if (CODEC_ALPHABET[position] == character) return position;
    }
    return -1;
}

// Weighted sum 1*c0 + 2*c1 + ... of the first `count` bytes, modulo 16.
// Reduced as it goes so that no length can overflow it.
int weightedSumMod16(const char* bytes, std::size_t count) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned weight = static_cast<unsigned>((i + 1) % ALPHABET_SIZE);
        sum = (sum + weight * static_cast<unsigned char>(bytes[i])) % ALPHABET_SIZE;
    }
    return static_cast<int>(sum);
}

std::int32_t encode(const char* input, char* output, std::int32_t capacity) {
    const std::size_t length = std::strlen(input);
    const int prefix = weightedSumMod16(input, length);
    if (static_cast<long long>(capacity) < 2 * static_cast<long long>(length) + 3) return -1;

    std::size_t written = 0;
    output[written++] = CODEC_ALPHABET[prefix];
    for (std::size_t i = 0; i < length; ++i) {
        // The working alphabet of byte i is the alphabet turned by prefix + i places.
        const std::size_t turn = (static_cast<std::size_t>(prefix) + i) % ALPHABET_SIZE;
        const unsigned byte = static_cast<unsigned char>(input[i]);
        output[written++] = CODEC_ALPHABET[(byte / 16 + turn) % ALPHABET_SIZE];
        output[written++] = CODEC_ALPHABET[(byte % 16 + turn) % ALPHABET_SIZE];
    }
    output[written] = CODEC_ALPHABET[weightedSumMod16(output, written)];
    output[written + 1] = '\0';
    return 0;
}

// Place of `character` in the working alphabet of byte j; -1 when it is not
// an alphabet character (such a character is not rejected: the check
// character alone guards the pairs).
int workingIndex(char character, int prefix, std::size_t j) {
    const int index = alphabetIndex(character);
    if (index < 0) return -1;
    const int turn = static_cast<int>((static_cast<std::size_t>(prefix) + j) % ALPHABET_SIZE);
    return ((index - turn) % ALPHABET_SIZE + ALPHABET_SIZE) % ALPHABET_SIZE;
}

std::int32_t decode(const char* input, char* output, std::int32_t capacity) {
    const std::size_t length = std::strlen(input);
    if (length < 2) return -1;
    const int prefix = alphabetIndex(input[0]);
    if (prefix < 0) return -1;
    if (alphabetIndex(input[length - 1]) != weightedSumMod16(input, length - 1)) return -1;

    // Pairs follow the prefix while both of their characters are present; in
    // an even-length text the check character is left over.
    std::size_t j = 0;
    for (const char* pair = input + 1; pair[0] != '\0' && pair[1] != '\0'; pair += 2, ++j) {
        if (static_cast<long long>(capacity) - static_cast<long long>(j) <= 1) return -1;
        const int high = workingIndex(pair[0], prefix, j);
        const int low = workingIndex(pair[1], prefix, j);
        output[j] = static_cast<char>(static_cast<unsigned char>((16 * high + low) & 0xFF));
    }
    if (static_cast<long long>(capacity) - static_cast<long long>(j) < 1) return -1;
    output[j] = '\0';
    return 0;
}

}  // namespace

std::int32_t codeValue(char direction, const char* input, char* output, std::int32_t capacity) {
    return direction == '+' ? encode(input, output, capacity) : decode(input, output, capacity);
}
