// The value codec: the exact encoded form, round trips, and every check and
// capacity bound of the decoder.
#include "settings/value_codec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "settings/fixed_texts.h"

namespace {

const std::string ALPHABET = "K3$pQ8*wZ%m2^tR6";

int indexIn(char character) {
    const auto position = ALPHABET.find(character);
    return position == std::string::npos ? -1 : static_cast<int>(position);
}

// `body` followed by its check character: the alphabet at the weighted sum of
// the body's bytes modulo 16. Builds hand-made encoded texts whose check passes.
std::string withCheck(const std::string& body) {
    unsigned long sum = 0;
    for (std::size_t i = 0; i < body.size(); ++i) sum += (i + 1) * static_cast<unsigned char>(body[i]);
    return body + ALPHABET[sum % 16];
}

std::string encode(const std::string& plain, int capacity, int* result = nullptr) {
    std::string buffer(static_cast<std::size_t>(capacity > 0 ? capacity : 0) + 16, '#');
    const int r = codeValue('+', plain.c_str(), buffer.data(), capacity);
    if (result != nullptr) *result = r;
    return r == 0 ? std::string(buffer.c_str()) : std::string();
}

struct Decoded {
    int result;
    std::string buffer;  // the whole output buffer, sentinel bytes included
    std::string text() const { return std::string(buffer.c_str()); }
};

// Decodes into a buffer of `capacity` bytes followed by sentinel bytes, so a
// write past the capacity shows.
Decoded decode(const std::string& encoded, int capacity, char direction = '-') {
    Decoded decoded{0, std::string(static_cast<std::size_t>(capacity) + 8, '#')};
    decoded.result = codeValue(direction, encoded.c_str(), decoded.buffer.data(), capacity);
    return decoded;
}

TEST(ValueCodecTest, AlphabetIsTheFixedSixteenCharacters) {
    EXPECT_EQ(std::string(CODEC_ALPHABET), ALPHABET);
    EXPECT_EQ(std::strlen(CODEC_ALPHABET), 16u);
}

TEST(ValueCodecTest, EncodesTwelveAsTheWorkedExample) {
    // Weighted sum 1*0x31 + 2*0x32 = 149, so k = 5. "1": nibbles 3, 1 turned by
    // 5 -> positions 8, 6; "2": nibbles 3, 2 turned by 6 -> 9, 8.
    const std::string body = {ALPHABET[5], ALPHABET[8], ALPHABET[6], ALPHABET[9], ALPHABET[8]};
    EXPECT_EQ(body, "8Z*%Z");
    // Check: 1*'8' + 2*'Z' + 3*'*' + 4*'%' + 5*'Z' = 960, 960 mod 16 = 0 -> 'K'.
    EXPECT_EQ(encode("12", 64), "8Z*%ZK");
    EXPECT_EQ(withCheck(body), "8Z*%ZK");
}

TEST(ValueCodecTest, EncodingNeedsRoomForTheWholeFormAndItsTerminator) {
    int result = -2;
    EXPECT_EQ(encode("12", 7, &result), "8Z*%ZK");
    EXPECT_EQ(result, 0);
    encode("12", 6, &result);
    EXPECT_EQ(result, -1);
    encode("", 3, &result);
    EXPECT_EQ(result, 0);
    encode("", 2, &result);
    EXPECT_EQ(result, -1);
    encode("", 0, &result);
    EXPECT_EQ(result, -1);
    encode("", -5, &result);
    EXPECT_EQ(result, -1);
}

TEST(ValueCodecTest, DecodingNeedsRoomForEveryByteAndTheTerminator) {
    const Decoded fits = decode("8Z*%ZK", 3);
    EXPECT_EQ(fits.result, 0);
    EXPECT_EQ(fits.text(), "12");

    // One byte short: the bytes that fitted are there, no terminator, and
    // nothing is written past the capacity.
    const Decoded tooSmall = decode("8Z*%ZK", 2);
    EXPECT_EQ(tooSmall.result, -1);
    EXPECT_EQ(tooSmall.buffer[0], '1');
    EXPECT_EQ(tooSmall.buffer.substr(1), std::string(9, '#'));
}

TEST(ValueCodecTest, EmptyTextEncodesToTwoCharactersAndDecodesToEmpty) {
    // Prefix: position 0 ('K'); check: 'K' = 75, 75 mod 16 = 11 -> '2'.
    EXPECT_EQ(encode("", 3), "K2");
    const Decoded decoded = decode("K2", 255);
    EXPECT_EQ(decoded.result, 0);
    EXPECT_EQ(decoded.buffer[0], '\0');
}

TEST(ValueCodecTest, RoundTripsEveryLengthUpTo510WithHighBytes) {
    for (std::size_t length = 0; length <= 510; ++length) {
        SCOPED_TRACE(length);
        std::string plain;
        for (std::size_t i = 0; i < length; ++i) {
            plain += static_cast<char>((i * 37 + length * 11) % 255 + 1);  // 1..255
        }
        const int capacity = static_cast<int>(2 * length + 3);
        int result = -2;
        const std::string encoded = encode(plain, capacity, &result);
        ASSERT_EQ(result, 0);
        ASSERT_EQ(encoded.size(), 2 * length + 2);
        ASSERT_EQ(encoded.find_first_not_of(ALPHABET), std::string::npos);
        encode(plain, capacity - 1, &result);
        ASSERT_EQ(result, -1);

        const Decoded decoded = decode(encoded, static_cast<int>(length + 1));
        ASSERT_EQ(decoded.result, 0);
        ASSERT_EQ(decoded.text(), plain);
        if (length > 0) {
            ASSERT_EQ(decode(encoded, static_cast<int>(length)).result, -1);
        }
    }
}

TEST(ValueCodecTest, EveryByteValueRoundTrips) {
    std::string plain;
    for (int byte = 1; byte <= 255; ++byte) plain += static_cast<char>(byte);
    const Decoded decoded = decode(encode(plain, 1024), 1024);
    EXPECT_EQ(decoded.result, 0);
    EXPECT_EQ(decoded.text(), plain);
}

TEST(ValueCodecTest, JapaneseTextSurvivesByteForByte) {
    for (const char* text : {INSTALLER_CREATOR_NAME, ENHANCED_NOT_INSTALLED_MARKER, LOG_MANAGER_LOGIN_TITLE}) {
        const Decoded decoded = decode(encode(text, 1024), 260);
        EXPECT_EQ(decoded.result, 0);
        EXPECT_EQ(decoded.text(), text);
    }
}

TEST(ValueCodecTest, AnyDirectionButPlusDecodes) {
    for (char direction : {'-', 'x', '\0'}) {
        const Decoded decoded = decode("8Z*%ZK", 16, direction);
        EXPECT_EQ(decoded.result, 0) << direction;
        EXPECT_EQ(decoded.text(), "12");
    }
}

TEST(ValueCodecTest, DecoderRefusesTextsThatFailTheirChecksAndLeavesOutputUntouched) {
    const std::string valid = "8Z*%ZK";
    struct Case {
        const char* name;
        std::string encoded;
    };
    const Case cases[] = {
        {"empty", ""},
        {"one alphabet character", "K"},
        {"one other character", "A"},
        {"first character outside the alphabet", "AZ*%ZK"},
        {"first character a blank", " Z*%ZK"},
        {"first character outside the alphabet, check passing", withCheck("AZ*%Z")},
        {"last character another alphabet character", "8Z*%Z3"},
        {"last character outside the alphabet", "8Z*%ZA"},
        {"a pair character changed", "8Z*%QK"},
        {"two characters swapped", "8Z%*ZK"},
        {"empty text with a wrong check", "KK"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Decoded decoded = decode(c.encoded, 255);
        EXPECT_EQ(decoded.result, -1);
        EXPECT_EQ(decoded.buffer, std::string(255 + 8, '#'));
    }
    for (char other : ALPHABET) {
        if (other == valid.back()) continue;
        EXPECT_EQ(decode(valid.substr(0, 5) + other, 255).result, -1) << other;
    }
}

TEST(ValueCodecTest, SixteenthCharacterHasNoWeightInTheCheck) {
    const std::string plain = "ABCDEFGH";  // 8 bytes: the 16th character is the high half of the 8th
    std::string encoded = encode(plain, 64);
    ASSERT_EQ(encoded.size(), 18u);
    const int original = indexIn(encoded[15]);
    encoded[15] = ALPHABET[(original + 3) % 16];

    const Decoded decoded = decode(encoded, 64);
    ASSERT_EQ(decoded.result, 0);
    const std::string text = decoded.text();
    ASSERT_EQ(text.size(), 8u);
    EXPECT_EQ(text.substr(0, 7), plain.substr(0, 7));
    const unsigned char changed = static_cast<unsigned char>(text[7]);
    const unsigned char before = static_cast<unsigned char>(plain[7]);
    EXPECT_NE(changed >> 4, before >> 4);
    EXPECT_EQ((changed >> 4), ((before >> 4) + 3) % 16);
    EXPECT_EQ(changed & 0x0F, before & 0x0F);
}

TEST(ValueCodecTest, PairCharactersOutsideTheAlphabetReadAsMinusOne) {
    const struct {
        const char* name;
        std::string body;
        unsigned char expected;
    } cases[] = {
        // k = 0, byte 0: both halves -1 -> 16 * -1 - 1 = -17 -> 0xEF.
        {"both halves outside", "KAA", 0xEF},
        // High half -1, low half '3' (index 1): -16 + 1 -> 0xF1.
        {"high half outside", "KA3", 0xF1},
        // High half '3' (1), low half outside: 16 - 1 -> 0x0F.
        {"low half outside", "K3A", 0x0F},
        // k = 5 ('8'): the outside character stays -1, not turned.
        {"outside with a turned alphabet", "8~~", 0xEF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Decoded decoded = decode(withCheck(c.body), 16);
        ASSERT_EQ(decoded.result, 0);
        ASSERT_EQ(decoded.text().size(), 1u);
        EXPECT_EQ(static_cast<unsigned char>(decoded.text()[0]), c.expected);
    }
}

TEST(ValueCodecTest, OddLengthDecodesTheCheckCharacterAsTheLastLowHalf) {
    // "K3" + check: 75 + 2*51 = 177, 177 mod 16 = 1 -> '3'. One pair: ('3', '3')
    // with k = 0 -> 0x11; then the terminator ends the pairs.
    const std::string encoded = withCheck("K3");
    ASSERT_EQ(encoded, "K33");
    const Decoded decoded = decode(encoded, 16);
    EXPECT_EQ(decoded.result, 0);
    EXPECT_EQ(decoded.text(), "\x11");

    // A longer odd text: prefix '8' (k = 5), one full pair, then a pair with the check.
    const std::string longer = withCheck("8Z*%");
    const Decoded two = decode(longer, 16);
    ASSERT_EQ(two.result, 0);
    ASSERT_EQ(two.text().size(), 2u);
    EXPECT_EQ(two.text()[0], '1');
    const int lowHalf = ((indexIn(longer[4]) - 5 - 1) % 16 + 16) % 16;
    EXPECT_EQ(static_cast<unsigned char>(two.text()[1]), 16 * 3 + lowHalf);
}

TEST(ValueCodecTest, AByteOfZeroEndsTheDecodedText) {
    // k = 0: ('K','K') is byte 0; ('$','$') at j = 1 is (2-1)*16 + (2-1) = 0x11.
    const Decoded decoded = decode(withCheck("KKK$$"), 16);
    EXPECT_EQ(decoded.result, 0);
    EXPECT_EQ(decoded.text(), "");
    EXPECT_EQ(decoded.buffer.substr(0, 3), std::string("\0\x11\0", 3));
}

}  // namespace
