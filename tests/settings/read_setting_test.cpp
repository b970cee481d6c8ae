// Reading one encoded value, the executable's folder and the existence test,
// over the test double.
#include "settings/read_setting.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "settings/value_codec.h"
#include "tests/support/fake_platform.h"
#include "tests/support/ini_builder.h"

namespace {

constexpr char INI[] = "C:\\package\\values.ini";

class ReadSettingTest : public ::testing::Test {
protected:
    void SetUp() override { fake::reset(); }

    // Reads KEY of section S from INI into a field of `capacity` bytes that
    // starts full of sentinel bytes.
    static std::pair<int, std::string> read(const char* key, const char* defaultValue, int capacity) {
        std::string field(static_cast<std::size_t>(capacity) + 4, '#');
        const int result = readSetting("S", key, defaultValue, field.data(), capacity, INI);
        EXPECT_EQ(field.substr(static_cast<std::size_t>(capacity)), "####") << "wrote past the field";
        return {result, std::string(field.c_str())};
    }
};

TEST_F(ReadSettingTest, DecodesAStoredValueOrFallsBackToTheDefault) {
    const std::string cut = encodeValue(std::string(600, 'v'));  // 1202 characters, read as its first 1023
    char scratch[1024];
    ASSERT_EQ(codeValue('-', cut.substr(0, 1023).c_str(), scratch, sizeof scratch), -1);
    const std::string fits254 = std::string(254, 'f');
    fake::writeFile(INI, buildIni({
                             {"S", "PLAIN", "value"},
                             {"S", "EMPTY_TEXT", ""},
                             {"S", "EMPTY", "", true},
                             {"S", "BAD_CHECK", encodeWithWrongCheck("value"), true},
                             {"S", "NOT_ENCODED", "value", true},
                             {"S", "ONE_CHAR", "K", true},
                             {"S", "FITS", fits254},
                             {"S", "TOO_LONG", std::string(255, 'x')},
                             {"S", "CUT", cut, true},
                             {"S", "MAX", std::string(510, 'm')},
                             {"OTHER", "ELSEWHERE", "value"},
                         }));
    const struct {
        const char* key;
        const char* defaultValue;
        int capacity;
        int result;
        std::string text;
    } cases[] = {
        {"PLAIN", "def", 255, 0, "value"},
        {"plain", "def", 255, 0, "value"},  // key names compare case-insensitively
        {"EMPTY_TEXT", "def", 255, 0, ""},  // the encoding of "" is a value, not a miss
        {"MISSING", "def", 255, -1, "def"},
        {"ELSEWHERE", "def", 255, -1, "def"},  // other sections are not read
        {"EMPTY", "x86", 260, -1, "x86"},
        {"BAD_CHECK", "0", 260, -1, "0"},
        {"NOT_ENCODED", "", 260, -1, ""},
        {"ONE_CHAR", "def", 260, -1, "def"},
        {"FITS", "def", 255, 0, fits254},
        {"TOO_LONG", "def", 255, -1, "def"},
        {"TOO_LONG", "def", 256, 0, std::string(255, 'x')},
        {"CUT", "def", 1024, -1, "def"},
        {"MAX", "def", 1024, 0, std::string(510, 'm')},
        {"PLAIN", "a long default", 5, -1, "a lo"},  // the default is bounded too
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " capacity " + std::to_string(c.capacity));
        const auto [result, text] = read(c.key, c.defaultValue, c.capacity);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(text, c.text);
    }
}

TEST_F(ReadSettingTest, AMissingFileGivesTheDefault) {
    EXPECT_EQ(read("PLAIN", "x86", 260), std::make_pair(-1, std::string("x86")));
}

TEST_F(ReadSettingTest, ModuleDirIsTheExecutablesFolderWithoutTrailingBackslash) {
    const struct {
        std::uint16_t language;
        std::string modulePath;
        std::string expected;
    } cases[] = {
        {1033, "C:\\package\\applier.exe", "C:\\package"},
        {1033, "C:\\a\\b\\c\\applier.exe", "C:\\a\\b\\c"},
        {1033, "C:\\applier.exe", "C:"},
        {1033, "applier.exe", ""},
        // "C:\pkg\ソソ.exe": ソ is 0x83 0x5C in code page 932; its trail byte is no backslash.
        {1041, "C:\\pkg\\\x83\x5C\x83\x5C.exe", "C:\\pkg"},
        // "C:\表\a.exe": 表 is 0x95 0x5C; the folder keeps the whole character.
        {1041, "C:\\\x95\x5C\\a.exe", "C:\\\x95\x5C"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.modulePath);
        fake::reset();
        fake::setUiLanguage(c.language);
        fake::setModulePath(c.modulePath);
        char output[260];
        std::memset(output, '#', sizeof output);
        EXPECT_EQ(getModuleDir(output, sizeof output), 0);
        EXPECT_EQ(std::string(output), c.expected);
    }
}

TEST_F(ReadSettingTest, ModuleDirFailsWithTwoWhenThePathCannotBeObtained) {
    fake::setModulePath("");
    char output[260] = "stale";
    EXPECT_EQ(getModuleDir(output, sizeof output), 2);
    EXPECT_EQ(std::string(output), "");
}

TEST_F(ReadSettingTest, ModuleDirRefusesAPathCutToItsBuffer) {
    // Cut at 259 bytes, the last backslash would be inside the folder name's
    // parent: a wrong folder, never to be used.
    const std::string longFolder = "C:\\top\\" + std::string(200, 'd') + "\\" + std::string(100, 'e');
    fake::setModulePath(longFolder + "\\applier.exe");
    char output[260];
    EXPECT_EQ(getModuleDir(output, sizeof output), 2);
    EXPECT_EQ(std::string(output), "");
}

TEST_F(ReadSettingTest, FileExistsForFilesAndFolders) {
    fake::writeFile("C:\\package\\tlvIni.ini", "");
    fake::makeDirectory("C:\\Tolva\\bin");
    EXPECT_TRUE(fileExists("C:\\package\\tlvIni.ini"));
    EXPECT_TRUE(fileExists("C:\\Tolva\\bin"));
    EXPECT_FALSE(fileExists("C:\\package\\missing.ini"));
    EXPECT_FALSE(fileExists("C:\\nowhere\\tlvIni.ini"));
}

}  // namespace
