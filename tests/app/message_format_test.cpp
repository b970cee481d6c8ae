#include "app/message_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/cp932.h"
#include "tests/support/fake_platform.h"

namespace {

struct FormatCase {
    const char* format;
    const char* first;
    const char* second;
    const char* expected;
};

class MessageFormatTest : public ::testing::Test {
protected:
    void SetUp() override { fake::reset(); }
};

TEST_F(MessageFormatTest, ReplacesPlaceholdersInOrder) {
    const FormatCase cases[] = {
        {"%s / %s", "Standard", "Professional", "Standard / Professional"},
        {"This program is % s only, %s.", "A", "B", "This program is A only, B."},
        {"100%% of %s", "x", nullptr, "100% of x"},
        {"%s and %s", "only one", nullptr, "only one and "},
        {"no placeholder", "ignored", "ignored", "no placeholder"},
        {"%d stays", "x", nullptr, "%d stays"},
        {"", "x", "y", ""},
    };
    for (const FormatCase& c : cases) {
        char buffer[MESSAGE_BUFFER_SIZE];
        EXPECT_TRUE(formatMessage(buffer, sizeof buffer, c.format, {c.first, c.second})) << c.format;
        EXPECT_STREQ(buffer, c.expected) << c.format;
    }
}

TEST_F(MessageFormatTest, CutsToTheBufferAndNeverWritesPastIt) {
    const std::string longPath(300, 'p');
    char buffer[MESSAGE_BUFFER_SIZE + 16];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_FALSE(formatMessage(buffer, MESSAGE_BUFFER_SIZE, "file (%s).", {longPath.c_str()}));
    EXPECT_EQ(std::strlen(buffer), MESSAGE_BUFFER_SIZE - 1);
    EXPECT_EQ(std::string(buffer, 6), "file (");
    for (std::size_t i = MESSAGE_BUFFER_SIZE; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], '#');
}

TEST_F(MessageFormatTest, NeverLeavesALeadByteAloneAtTheCut) {
    // 253 ASCII bytes, then a double-byte character whose second byte would
    // be the 255th: under code page 932 the whole character is dropped.
    const std::string prefix(253, 'a');
    const std::string text = prefix + toCp932("ソ") + "tail";
    char buffer[MESSAGE_BUFFER_SIZE];

    fake::setUiLanguage(1041);
    formatMessage(buffer, sizeof buffer, "%s", {text.c_str()});
    EXPECT_EQ(std::string(buffer), prefix);

    // In a single-byte code page the same byte is a character of its own.
    fake::setUiLanguage(1033);
    formatMessage(buffer, sizeof buffer, "%s", {text.c_str()});
    EXPECT_EQ(std::strlen(buffer), MESSAGE_BUFFER_SIZE - 1);
}

TEST_F(MessageFormatTest, KeepsADoubleByteCharacterThatFitsExactly) {
    const std::string prefix(252, 'a');
    const std::string text = prefix + toCp932("ソ") + "tail";
    char buffer[MESSAGE_BUFFER_SIZE];
    fake::setUiLanguage(1041);
    formatMessage(buffer, sizeof buffer, "%s", {text.c_str()});
    EXPECT_EQ(std::string(buffer), prefix + toCp932("ソ"));
}

}  // namespace
