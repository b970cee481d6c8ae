// encode and decode: one value through the applier's codec, UTF-8 on the
// terminal, code page 932 in the value.
#include <gtest/gtest.h>

#include "settings/value_codec.h"
#include "tests/support/cp932.h"
#include "tests/tools/tool_fixture.h"

namespace tools_test {
namespace {

class CodecCommands : public ToolTest {};

TEST_F(CodecCommands, EncodeStoresTheCodePage932BytesAndDecodeGivesTheTypedTextBack) {
    for (const std::string text : {"65", "テスト修正パッチ", "C:\\Program Files\\文書\\表.txt", "ｶﾅ and ASCII", ""}) {
        const CommandResult encoded = run({"encode", text});
        ASSERT_EQ(encoded.exitCode, 0) << text << ": " << encoded.err;
        ASSERT_FALSE(encoded.out.empty());
        const std::string value = encoded.out.substr(0, encoded.out.size() - 1);

        // What the applier reads from the value: the text's code page 932 bytes.
        std::vector<char> decoded(value.size() + 1);
        ASSERT_EQ(codeValue('-', value.c_str(), decoded.data(), static_cast<std::int32_t>(decoded.size())), 0);
        EXPECT_EQ(std::string(decoded.data()), toCp932(text)) << text;

        const CommandResult back = run({"decode", value});
        EXPECT_EQ(back.exitCode, 0) << back.err;
        EXPECT_EQ(back.out, text + "\n");
    }
}

TEST_F(CodecCommands, EncodeRefusesWhatTheApplierCouldNotRead) {
    const CommandResult emoji = run({"encode", "patch \xF0\x9F\x98\x80"});
    EXPECT_EQ(emoji.exitCode, 1);
    EXPECT_EQ(emoji.out, "");
    EXPECT_EQ(emoji.err, "tlvkit encode: the text holds a character that code page 932 cannot store\n");

    // 511 bytes encode to 1024 characters, one more than the applier reads.
    EXPECT_EQ(run({"encode", std::string(510, 'a')}).exitCode, 0);
    const CommandResult tooLong = run({"encode", std::string(511, 'a')});
    EXPECT_EQ(tooLong.exitCode, 1);
    EXPECT_NE(tooLong.err.find("encodes to 1024 characters; the applier reads at most 1023"), std::string::npos)
        << tooLong.err;
}

struct BrokenValue {
    const char* name;
    std::string value;
    std::string reason;
};

TEST_F(CodecCommands, DecodeSaysWhyAValueFails) {
    const std::string good = run({"encode", "65"}).out.substr(0, 6);  // "65": six characters
    std::string wrongCheck = good;
    wrongCheck.back() = wrongCheck.back() == 'K' ? '3' : 'K';
    const std::vector<BrokenValue> cases = {
        {"empty-ish", "K", "too short: 1 character(s), a value has at least 2"},
        {"prefix", "x" + good.substr(1), "prefix 'x' is not in the codec alphabet"},
        {"check", wrongCheck, std::string("check character '") + wrongCheck.back() + "' is wrong (expected '" +
                                  good.back() + "')"},
    };
    for (const BrokenValue& broken : cases) {
        const CommandResult result = run({"decode", broken.value});
        EXPECT_EQ(result.exitCode, 1) << broken.name;
        EXPECT_EQ(result.out, "") << broken.name;
        EXPECT_EQ(result.err, "tlvkit decode: \"" + broken.value + "\" does not decode: " + broken.reason + "\n")
            << broken.name;
    }
}

TEST_F(CodecCommands, DecodeShowsBytesThatAreNoTextAsEscapes) {
    // A lone lead byte of code page 932 and a line break.
    const std::string bytes = std::string("ab\n") + "\x83";
    std::vector<char> encoded(bytes.size() * 2 + 3);
    ASSERT_EQ(codeValue('+', bytes.c_str(), encoded.data(), static_cast<std::int32_t>(encoded.size())), 0);
    const CommandResult result = run({"decode", encoded.data()});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "ab\\x0A\\x83\n");
}

}  // namespace
}  // namespace tools_test
