#include "tests/e2e/harness/expected_messages.h"

#include <stdexcept>

#include "resources/message_texts.h"
#include "tests/support/cp932.h"

namespace e2e {

namespace {

const char* messageFormat(int id, bool japanese) {
    switch (id) {
#define TOLVA_MESSAGE_CASE(id) \
    case id:                   \
        return japanese ? MESSAGE_JA_##id : MESSAGE_EN_##id;
        MESSAGE_IDS(TOLVA_MESSAGE_CASE)
#undef TOLVA_MESSAGE_CASE
    }
    throw std::invalid_argument("no message " + std::to_string(id));
}

}  // namespace

std::string cp932(const std::string& utf8) { return toCp932(utf8); }

std::string inCodePage(const UiLanguage& language, const std::string& utf8) {
    return language.japanese ? toCp932(utf8) : utf8;
}

std::string expectedMessage(const UiLanguage& language, int id, const std::vector<std::string>& args) {
    // '%' is never the second byte of a code page 932 character, so the
    // placeholders can be found in the converted bytes.
    const std::string format = inCodePage(language, messageFormat(id, language.japanese));
    std::string text;
    std::size_t nextArg = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const bool plain = format.compare(i, 2, "%s") == 0;
        const bool blankFlag = format.compare(i, 3, "% s") == 0;
        if (!plain && !blankFlag) {
            text += format[i];
            continue;
        }
        if (nextArg >= args.size()) throw std::invalid_argument("too few arguments for message " + std::to_string(id));
        text += args[nextArg++];
        i += blankFlag ? 2 : 1;
    }
    if (nextArg != args.size()) throw std::invalid_argument("too many arguments for message " + std::to_string(id));
    return text;
}

}  // namespace e2e
