#include "tools/tlvkit/stored_text.h"

#include <cstdio>

#include "platform/host/code_page.h"

namespace tlvkit {

namespace {

bool isLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

bool isControl(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

void appendEscaped(std::string& text, std::string_view bytes) {
    for (const char byte : bytes) {
        char escape[5];
        std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(static_cast<unsigned char>(byte)));
        text += escape;
    }
}

}  // namespace

std::optional<std::string> storedFromUtf8(std::string_view utf8) {
    std::string stored;
    if (!host::cp932FromUtf8(utf8, &stored)) return std::nullopt;
    return stored;
}

std::optional<std::string> utf8FromStored(std::string_view stored) {
    std::string utf8;
    if (!host::utf8FromCp932(stored, &utf8)) return std::nullopt;
    return utf8;
}

std::string displayText(std::string_view stored) {
    std::string text;
    std::size_t i = 0;
    while (i < stored.size()) {
        const auto byte = static_cast<unsigned char>(stored[i]);
        const std::size_t length = isLeadByte(byte) && i + 1 < stored.size() ? 2 : 1;
        const std::string_view character = stored.substr(i, length);
        std::string utf8;
        if (length == 1 && isControl(byte)) {
            appendEscaped(text, character);
        } else if (host::utf8FromCp932(character, &utf8)) {
            text += utf8;
        } else {
            appendEscaped(text, character);
        }
        i += length;
    }
    return text;
}

}  // namespace tlvkit
