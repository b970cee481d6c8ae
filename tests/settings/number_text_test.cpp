#include "settings/number_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(NumberTextTest, ReadsDecimalTextLikeEveryNumberOfTheIniFiles) {
    const std::string manyDigits(400, '9');
    const std::string manyNegativeDigits = "-" + std::string(400, '7');
    const struct {
        std::string text;
        std::int32_t expected;
    } cases[] = {
        {"12", 12},
        {" 12abc", 12},
        {"abc", 0},
        {"", 0},
        {"-1", -1},
        {"+7", 7},
        {"0012", 12},
        {"1 2", 1},
        {"\t\r\n\v\f 5", 5},
        {"-", 0},
        {"+", 0},
        {"+-1", 0},
        {"- 1", 0},
        {"x12", 0},
        {"99999999999", 2147483647},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-2147483649", -2147483647 - 1},
        {"-99999999999", -2147483647 - 1},
        {manyDigits, 2147483647},
        {manyNegativeDigits, -2147483647 - 1},
        {"\x83" "1", 0},  // a lead byte is no blank
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readNumber(c.text.c_str()), c.expected) << '"' << c.text << '"';
    }
}

}  // namespace
