#include "tools/tlvkit/json_text.h"

#include <cstdio>

namespace tlvkit {

std::string jsonString(std::string_view utf8) {
    std::string text = "\"";
    for (const char character : utf8) {
        switch (character) {
            case '"': text += "\\\""; break;
            case '\\': text += "\\\\"; break;
            case '\n': text += "\\n"; break;
            case '\r': text += "\\r"; break;
            case '\t': text += "\\t"; break;
            default:
                if (static_cast<unsigned char>(character) < 0x20) {
                    char escape[7];
                    std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(character));
                    text += escape;
                } else {
                    text += character;
                }
        }
    }
    return text + "\"";
}

}  // namespace tlvkit
