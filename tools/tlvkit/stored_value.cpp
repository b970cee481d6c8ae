#include "tools/tlvkit/stored_value.h"

#include <cstring>
#include <vector>

#include "settings/value_codec.h"

namespace tlvkit {

namespace {

std::string quotedCharacter(char character) { return std::string("'") + character + "'"; }

// Which last character would make the codec accept the value: the codec is
// asked with each character of its alphabet in turn.
char expectedCheckCharacter(const std::string& stored) {
    std::string candidate = stored;
    std::vector<char> output(stored.size() + 1);
    for (const char* alphabet = CODEC_ALPHABET; *alphabet != '\0'; ++alphabet) {
        candidate.back() = *alphabet;
        if (codeValue('-', candidate.c_str(), output.data(), static_cast<std::int32_t>(output.size())) == 0) {
            return *alphabet;
        }
    }
    return '\0';
}

std::string checkFailure(const std::string& stored) {
    if (stored.size() < 2) {
        return "too short: " + std::to_string(stored.size()) + " character(s), a value has at least 2";
    }
    if (std::strchr(CODEC_ALPHABET, stored.front()) == nullptr || stored.front() == '\0') {
        return "prefix " + quotedCharacter(stored.front()) + " is not in the codec alphabet";
    }
    const char expected = expectedCheckCharacter(stored);
    return "check character " + quotedCharacter(stored.back()) + " is wrong (expected " +
           quotedCharacter(expected) + ")";
}

}  // namespace

DecodedValue decodeStored(const std::string& storedValue, std::size_t capacity) {
    DecodedValue result;
    if (storedValue.empty()) {
        result.reason = "empty";
        return result;
    }
    const bool cut = storedValue.size() > STORED_VALUE_LIMIT;
    const std::string stored = cut ? storedValue.substr(0, STORED_VALUE_LIMIT) : storedValue;
    const std::string cutNote = cut ? " (longer than " + std::to_string(STORED_VALUE_LIMIT) +
                                          " characters, so the applier reads only the first " +
                                          std::to_string(STORED_VALUE_LIMIT) + ")"
                                    : "";

    // Room for any text the value can hold: the checks alone decide here.
    std::vector<char> output(stored.size() + 1);
    if (codeValue('-', stored.c_str(), output.data(), static_cast<std::int32_t>(output.size())) != 0) {
        result.reason = checkFailure(stored) + cutNote;
        return result;
    }
    const std::string text = output.data();
    if (text.size() + 1 > capacity) {
        result.reason = "decodes to " + std::to_string(text.size()) + " bytes, more than the " +
                        std::to_string(capacity - 1) + " its field holds";
        return result;
    }
    result.ok = true;
    result.text = text;
    return result;
}

std::string encodeText(const std::string& text) {
    std::vector<char> output(text.size() * 2 + 3);
    codeValue('+', text.c_str(), output.data(), static_cast<std::int32_t>(output.size()));
    return output.data();
}

}  // namespace tlvkit
