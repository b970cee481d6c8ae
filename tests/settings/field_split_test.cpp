#include "settings/field_split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> split(const char* line, std::size_t maxFields) {
    std::vector<std::string_view> fields(maxFields + 1, std::string_view("untouched"));
    const std::size_t count = splitFields(line, fields.data(), maxFields);
    EXPECT_LE(count, maxFields);
    EXPECT_EQ(fields[maxFields], "untouched");  // never writes past maxFields
    return std::vector<std::string>(fields.begin(), fields.begin() + static_cast<std::ptrdiff_t>(count));
}

TEST(FieldSplitTest, SplitsAtCommasWithoutEverGivingAnEmptyField) {
    using Fields = std::vector<std::string>;
    const struct {
        const char* line;
        std::size_t maxFields;
        Fields expected;
    } cases[] = {
        {"0,a.dll,bin\\a.dll", 3, {"0", "a.dll", "bin\\a.dll"}},
        {"0,,a.dll,b.dll", 3, {"0", "a.dll", "b.dll"}},  // the empty field vanishes
        {",,0,a,b", 3, {"0", "a", "b"}},                 // leading commas skipped
        {"0, a, b", 3, {"0", " a", " b"}},               // blanks belong to the fields
        {"0,a,b,c", 3, {"0", "a", "b"}},                 // a fourth field is ignored
        {"0,a,b,", 3, {"0", "a", "b"}},
        {"0,a", 3, {"0", "a"}},
        {"0,a,,,", 3, {"0", "a"}},
        {"", 3, {}},
        {",,,", 3, {}},
        {"  ", 3, {"  "}},
        {"0,a,b", 0, {}},
        {"0,HKEY_LOCAL_MACHINE,SOFTWARE\\Tolva,Path,x,tail", 5,
         {"0", "HKEY_LOCAL_MACHINE", "SOFTWARE\\Tolva", "Path", "x"}},
        {"0,,HKEY_USERS,,k,,v,,d", 5, {"0", "HKEY_USERS", "k", "v", "d"}},
        {"\x83\x5C,a,b", 3, {"\x83\x5C", "a", "b"}},  // double-byte text passes as bytes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(split(c.line, c.maxFields), c.expected);
    }
}

}  // namespace
