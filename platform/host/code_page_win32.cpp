#include <windows.h>

#include "platform/host/code_page.h"

namespace host {

namespace {

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
    // An ANSI code page must not substitute a look-alike for a missing character;
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

bool fromUtf8(CodePage codePage, std::string_view utf8, std::string* text) {
    std::wstring wide;
    return toWide(CP_UTF8, utf8, &wide) && fromWide(static_cast<UINT>(codePage), wide, text);
}

bool toUtf8(CodePage codePage, std::string_view text, std::string* utf8) {
    std::wstring wide;
    return toWide(static_cast<UINT>(codePage), text, &wide) && fromWide(CP_UTF8, wide, utf8);
}

}  // namespace host
