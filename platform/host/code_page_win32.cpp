#include <windows.h>

#include "platform/host/code_page.h"

namespace host {

namespace {

constexpr UINT JAPANESE_CODE_PAGE = 932;

bool toWide(UINT codePage, std::string_view text, std::wstring* wide) {
    wide->clear();
    if (text.empty()) return true;
    const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(),
                                           static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return false;
    wide->resize(static_cast<std::size_t>(length));
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                               wide->data(), length) == length;
}

bool fromWide(UINT codePage, const std::wstring& wide, std::string* text) {
    text->clear();
    if (wide.empty()) return true;
    // Code page 932 must not substitute a look-alike for a missing character;
    // UTF-8 takes neither flag nor default-character argument.
    const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultArgument = codePage == CP_UTF8 ? nullptr : &usedDefault;
    const int length = WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                           nullptr, usedDefaultArgument);
    if (length <= 0 || usedDefault) return false;
    text->resize(static_cast<std::size_t>(length));
    return WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), text->data(), length,
                               nullptr, usedDefaultArgument) == length &&
           !usedDefault;
}

}  // namespace

bool cp932FromUtf8(std::string_view utf8, std::string* cp932) {
    std::wstring wide;
    return toWide(CP_UTF8, utf8, &wide) && fromWide(JAPANESE_CODE_PAGE, wide, cp932);
}

bool utf8FromCp932(std::string_view cp932, std::string* utf8) {
    std::wstring wide;
    return toWide(JAPANESE_CODE_PAGE, cp932, &wide) && fromWide(CP_UTF8, wide, utf8);
}

}  // namespace host
