// The portable INI model: lookups held to the table that the real
// GetPrivateProfileStringA also runs (profile_cases.h), and writes that keep
// the file as it was around the one line they touch.
#include "platform/profile_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/platform/profile_cases.h"

namespace {

constexpr char GUARD = '#';

TEST(ProfileTextTest, LooksUpEveryCaseAsWindowsDoes) {
    for (const ProfileLookupCase& c : PROFILE_LOOKUP_CASES) {
        SCOPED_TRACE(c.name);
        // Bytes past the buffer show a write beyond `size`.
        std::vector<char> buffer(c.size + 8, GUARD);
        const std::uint32_t count = copyProfileString(c.content != nullptr ? c.content : "", c.section, c.key,
                                                      c.defaultValue, buffer.data(), c.size);
        EXPECT_EQ(count, c.expectedCount);
        EXPECT_EQ(std::string(buffer.data()), c.expected);
        EXPECT_EQ(std::string(buffer.begin() + c.size, buffer.end()), std::string(8, GUARD));
    }
}

TEST(ProfileTextTest, ABufferOfNoBytesIsLeftAlone) {
    char buffer[4] = {GUARD, GUARD, GUARD, GUARD};
    EXPECT_EQ(copyProfileString("[S]\r\nK=v\r\n", "S", "K", "def", buffer, 0), 0u);
    EXPECT_EQ(std::string(buffer, 4), std::string(4, GUARD));
}

TEST(ProfileTextTest, FindingTellsAnEmptyValueFromAMissingOne) {
    const struct {
        const char* content;
        bool found;
        const char* value;
    } cases[] = {
        {"[S]\r\nK=\r\n", true, ""},
        {"[S]\r\nK=\"\"\r\n", true, ""},
        {"[S]\r\nK=  \"a b\"  \r\n", true, "a b"},
        {"[S]\r\nK\r\n", false, ""},
        {"[S]\r\n", false, ""},
        {"", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        std::string value = "untouched";
        EXPECT_EQ(findProfileValue(c.content, "S", "K", &value), c.found);
        EXPECT_EQ(value, c.found ? c.value : "untouched");
    }
}

// Each write of key K in section S, then the value read back as the next
// reader sees it.
TEST(ProfileTextTest, WritesOneLineAndKeepsEveryOtherByte) {
    const struct {
        const char* name;
        std::string content;
        const char* value;
        std::string expected;
        const char* readBack;
    } cases[] = {
        {"an empty file gets the section", "", "v", "[S]\r\nK=v\r\n", "v"},
        {"the entry changes in place", "; kept\r\n[S]\r\nA=1\r\nK = old \r\nB=2\r\n", "v",
         "; kept\r\n[S]\r\nA=1\r\nK=v\r\nB=2\r\n", "v"},
        {"LF line ends stay", "[S]\nK=old\nB=2\n", "v", "[S]\nK=v\nB=2\n", "v"},
        {"names compare without case; the key is written as given", "[s]\r\nk=old\r\n", "v", "[s]\r\nK=v\r\n",
         "v"},
        {"only the first of equal keys changes", "[S]\r\nK=1\r\nK=2\r\n", "v", "[S]\r\nK=v\r\nK=2\r\n", "v"},
        {"a new key follows the section's last entry", "[S]\r\nA=1\r\n\r\n[T]\r\nB=2\r\n", "v",
         "[S]\r\nA=1\r\nK=v\r\n\r\n[T]\r\nB=2\r\n", "v"},
        {"a new key in a section of no entries", "[S]\r\n[T]\r\nB=2\r\n", "v", "[S]\r\nK=v\r\n[T]\r\nB=2\r\n",
         "v"},
        {"a new key after a last line without line end", "[S]\r\nA=1", "v", "[S]\r\nA=1\r\nK=v\r\n", "v"},
        {"a new key after a header without line end", "[S]", "v", "[S]\r\nK=v\r\n", "v"},
        {"a new key goes into the first of repeated sections", "[S]\r\nA=1\r\n[T]\r\n[S]\r\nK=old\r\n", "v",
         "[S]\r\nA=1\r\nK=v\r\n[T]\r\n[S]\r\nK=old\r\n", "v"},
        {"a commented key is not the key", "[S]\r\n;K=old\r\n", "v", "[S]\r\n;K=old\r\nK=v\r\n", "v"},
        {"the same key of another section is not the key", "[T]\r\nK=1\r\n", "v",
         "[T]\r\nK=1\r\n[S]\r\nK=v\r\n", "v"},
        {"a new section after a last line without line end", "[T]\r\nA=1", "v", "[T]\r\nA=1\r\n[S]\r\nK=v\r\n",
         "v"},
        {"the value is written as given", "[S]\r\nK=old\r\n", "  \"q\"  ", "[S]\r\nK=  \"q\"  \r\n", "q"},
        {"an empty value", "[S]\r\nK=old\r\n", "", "[S]\r\nK=\r\n", ""},
        {"an encoded value", "[S]\r\nK=old\r\n", "K3$pQ8*wZ%m2^tR6", "[S]\r\nK=K3$pQ8*wZ%m2^tR6\r\n",
         "K3$pQ8*wZ%m2^tR6"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string written = withProfileValue(c.content, "S", "K", c.value);
        EXPECT_EQ(written, c.expected);
        std::string value;
        ASSERT_TRUE(findProfileValue(written, "S", "K", &value));
        EXPECT_EQ(value, c.readBack);
    }
}

TEST(ProfileTextTest, WritingTheSameValueAgainChangesNothing) {
    const std::string once = withProfileValue("[T]\r\nA=1\r\n", "S", "K", "v");
    EXPECT_EQ(withProfileValue(once, "S", "K", "v"), once);
    EXPECT_EQ(withProfileValue(once, "s", "k", "v"), "[T]\r\nA=1\r\n[S]\r\nk=v\r\n");
}

}  // namespace
