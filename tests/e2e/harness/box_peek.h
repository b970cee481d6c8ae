// Reading the message boxes that a Windows program shows, through boxpeek.exe
// run in the same prefix and locale.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/e2e/harness/ui_language.h"

namespace e2e {

enum class BoxButton { None, Ok, Cancel };

struct BoxReport {
    bool found = false;
    std::uint64_t hwnd = 0;
    std::string caption;  // bytes in the ANSI code page of the language
    std::string text;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    // Wine makes only a system-modal box topmost; MB_TOPMOST alone leaves no trace.
    bool topmost = false;
    bool icon = false;
    std::string buttons;  // e.g. "ok" or "ok,cancel"
    bool closed = false;  // the button was pressed and the box went away
    std::string rawOutput;
};

struct BoxPeek {
    UiLanguage language = ENGLISH_US;       // the one the program runs in
    BoxButton press = BoxButton::None;
    int timeoutMs = 20000;                  // how long to wait for a box
    std::vector<std::uint64_t> ignored;     // boxes already seen, e.g. another copy's
    std::uint64_t only = 0;                 // this box alone (0: any)
};

// Waits for a box as told, reports it and presses the button asked for.
// Throws std::runtime_error when boxpeek itself fails.
BoxReport peekBox(const BoxPeek& request);

// Everything known of a box, its texts as hex, for failure messages.
std::string describe(const BoxReport& box);

// The bytes of a text as hex, e.g. "8370" for the CP932 bytes of "パ".
std::string hexOf(const std::string& bytes);

}  // namespace e2e
