// The texts the applier is expected to show, as the bytes a message box in
// the given language holds: code page 932 for Japanese, ASCII for English.
#pragma once

#include <string>
#include <vector>

#include "tests/e2e/harness/ui_language.h"

namespace e2e {

// Message `id` of the applier's string table in `language`, each "%s" (and
// the "% s" of English message 15) replaced by the next argument's bytes.
std::string expectedMessage(const UiLanguage& language, int id, const std::vector<std::string>& args = {});

// A UTF-8 text as the applier holds it in `language`'s code page (only
// Japanese texts differ from their UTF-8 form).
std::string inCodePage(const UiLanguage& language, const std::string& utf8);

// The code page 932 bytes of a UTF-8 text, in any language.
std::string cp932(const std::string& utf8);

}  // namespace e2e
