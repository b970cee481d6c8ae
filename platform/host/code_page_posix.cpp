#include <iconv.h>

#include "platform/host/code_page.h"

namespace host {

namespace {

// glibc's "CP932" is Microsoft's table (0x5C is the backslash, 0x8160 the
// fullwidth tilde), the one Windows and Wine use.
bool convert(const char* to, const char* from, std::string_view input, std::string* output) {
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) return false;
    std::string result(input.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char* out = result.data();
    std::size_t outLeft = result.size();
    const std::size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
    const bool complete = converted != static_cast<std::size_t>(-1) &&
                          iconv(converter, nullptr, nullptr, &out, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(converter);
    if (!complete || inLeft != 0) return false;
    result.resize(result.size() - outLeft);
    *output = std::move(result);
    return true;
}

const char* iconvName(CodePage codePage) { return codePage == CodePage::Japanese ? "CP932" : "CP1252"; }

}  // namespace

bool fromUtf8(CodePage codePage, std::string_view utf8, std::string* text) {
    return convert(iconvName(codePage), "UTF-8", utf8, text);
}

bool toUtf8(CodePage codePage, std::string_view text, std::string* utf8) {
    return convert("UTF-8", iconvName(codePage), text, utf8);
}

}  // namespace host
