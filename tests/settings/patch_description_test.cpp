// Reading the patch description beside the executable: keys, defaults, the
// two lists and every way a description is refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/load_settings.h"
#include "tests/support/cp932.h"
#include "tests/support/fake_platform.h"
#include "tests/support/ini_builder.h"

namespace {

constexpr char DESCRIPTION[] = "C:\\package\\tlvIni.ini";

IniLine install(const std::string& key, const std::string& value) { return {"INSTALL", key, value}; }
IniLine installPlain(const std::string& key, const std::string& value) {
    return {"INSTALL", key, value, true};
}

class PatchDescriptionTest : public ::testing::Test {
protected:
    void SetUp() override { fake::reset(); }

    static void writeDescription(const std::vector<IniLine>& lines) {
        fake::writeFile(DESCRIPTION, buildIni(lines));
    }

    // Runs the loader and returns the code it raised (0 when none).
    int load() {
        try {
            loadPatchDescription(context);
        } catch (ResultCode code) {
            return code;
        }
        return 0;
    }

    PatchContext context{};
};

TEST_F(PatchDescriptionTest, ReadsEveryKeyOfAFullDescription) {
    writeDescription({
        install("TARGET", "1"),
        install("MODULE_TYPE", "1"),
        install("MODULE_NM_E", "Service Pack 2"),
        install("TITLE_NM_E", "Caption"),
        install("VERSION", "65"),
        install("VERSION_DISP", "V6.5"),
        install("SPNO651", "2"),
        install("PTNO", "4"),
        install("FILES", "2"),
        install("FILE1", "0,a.dll,bin\\a.dll"),
        install("FILE2", "1,b.exe,b.exe"),
        install("REGISTRIES", "1"),
        install("REGISTRY1", "0,HKEY_LOCAL_MACHINE,SOFTWARE\\Tolva,Path,C:\\Tolva"),
    });
    ASSERT_EQ(load(), 0);
    EXPECT_STREQ(context.moduleDir, "C:\\package");
    EXPECT_STREQ(context.descriptionPath, DESCRIPTION);
    EXPECT_STREQ(context.target, "1");
    EXPECT_EQ(context.moduleType, 1);
    EXPECT_STREQ(context.moduleName, "Service Pack 2");
    EXPECT_STREQ(context.title, "Caption");
    EXPECT_STREQ(context.version, "65");
    EXPECT_STREQ(context.versionDisp, "V6.5");
    EXPECT_EQ(context.spNo, 2);
    EXPECT_EQ(context.ptNo, 4);
    EXPECT_EQ(context.fileCount, 2);
    ASSERT_EQ(context.files.size(), 2u);
    EXPECT_STREQ(context.files[0].mode, "0");
    EXPECT_STREQ(context.files[0].sourceName, "a.dll");
    EXPECT_STREQ(context.files[0].destPath, "bin\\a.dll");
    EXPECT_STREQ(context.files[1].mode, "1");
    EXPECT_STREQ(context.files[1].sourceName, "b.exe");
    EXPECT_STREQ(context.files[1].destPath, "b.exe");
    EXPECT_EQ(context.registryCount, 1);
    ASSERT_EQ(context.registries.size(), 1u);
    EXPECT_STREQ(context.registries[0].action, "0");
    EXPECT_STREQ(context.registries[0].rootName, "HKEY_LOCAL_MACHINE");
    EXPECT_STREQ(context.registries[0].subKey, "SOFTWARE\\Tolva");
    EXPECT_STREQ(context.registries[0].valueName, "Path");
    EXPECT_STREQ(context.registries[0].data, "C:\\Tolva");
}

TEST_F(PatchDescriptionTest, TheInterfaceLanguageChoosesTheNameKeys) {
    const std::string japaneseName = toCp932("修正パッチ7");
    const std::string japaneseTitle = toCp932("キャプション");
    const struct {
        std::uint16_t language;
        bool withTitles;
        std::string moduleName;
        std::string title;
    } cases[] = {
        {1041, true, japaneseName, japaneseTitle},
        {1033, true, "Patch 7", "Caption"},
        {2057, true, "", ""},  // English (UK): neither pair is read
        {1031, true, "", ""},
        {1041, false, japaneseName, japaneseName},  // no caption: the name is the caption
        {1033, false, "Patch 7", "Patch 7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.language) + (c.withTitles ? " with titles" : " without titles"));
        fake::reset();
        fake::setUiLanguage(c.language);
        std::vector<IniLine> lines = {install("TARGET", "0"), install("MODULE_NM", japaneseName),
                                      install("MODULE_NM_E", "Patch 7")};
        if (c.withTitles) {
            lines.push_back(install("TITLE_NM", japaneseTitle));
            lines.push_back(install("TITLE_NM_E", "Caption"));
        }
        writeDescription(lines);
        context = PatchContext{};
        ASSERT_EQ(load(), 0);
        EXPECT_EQ(std::string(context.moduleName), c.moduleName);
        EXPECT_EQ(std::string(context.title), c.title);
    }
}

TEST_F(PatchDescriptionTest, UnreadableValuesReadAsTheirDefaults) {
    writeDescription({
        install("TARGET", "0"),
        installPlain("MODULE_TYPE", "1"),  // not encoded
        install("MODULE_NM_E", ""),        // the encoding of the empty text
        installPlain("VERSION", encodeWithWrongCheck("65")),
        install("VERSION_DISP", std::string(260, 'v')),  // does not fit its field
        install("SPNO651", " 12abc"),
        install("PTNO", "-1"),
        install("FILES", "letters"),
        install("REGISTRIES", "99999999999x"),
    });
    // REGISTRIES saturates to 2147483647 and REGISTRY1 is missing.
    EXPECT_EQ(load(), 2);
    EXPECT_EQ(context.moduleType, 0);
    EXPECT_STREQ(context.moduleName, "");
    EXPECT_STREQ(context.version, "");
    EXPECT_STREQ(context.versionDisp, "");
    EXPECT_EQ(context.spNo, 12);
    EXPECT_EQ(context.ptNo, -1);
    EXPECT_EQ(context.fileCount, 0);
    EXPECT_EQ(context.registryCount, 2147483647);
}

TEST_F(PatchDescriptionTest, ADescriptionWithoutListsLoadsWithBothListsEmpty) {
    writeDescription({install("TARGET", "0")});
    ASSERT_EQ(load(), 0);
    EXPECT_EQ(context.fileCount, 0);
    EXPECT_EQ(context.registryCount, 0);
    EXPECT_TRUE(context.files.empty());
    EXPECT_TRUE(context.registries.empty());
}

TEST_F(PatchDescriptionTest, TheCountDecidesHowManyListKeysAreRead) {
    const struct {
        std::string files;
        int result;
        std::size_t entries;
    } cases[] = {
        {"2", 0, 2},        // FILE3 is present but not read
        {"3", 0, 3},
        {"4", 2, 3},        // FILE4 is missing
        {"0", 0, 0},
        {"-1", 0, 0},
        {"-2147483648", 0, 0},
        {"letters", 0, 0},  // reads as 0
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("FILES " + c.files);
        fake::reset();
        writeDescription({install("TARGET", "0"), install("FILES", c.files), install("FILE1", "0,a,a"),
                          install("FILE2", "0,b,b"), install("FILE3", "0,c,c")});
        context = PatchContext{};
        EXPECT_EQ(load(), c.result);
        EXPECT_EQ(context.files.size(), c.entries);
    }
}

TEST_F(PatchDescriptionTest, AMissingFileLineFailsAndKeepsTheEntriesBeforeIt) {
    writeDescription({install("TARGET", "0"), install("FILES", "3"), install("FILE1", "0,a.dll,a.dll"),
                      install("FILE3", "0,c.dll,c.dll"), install("REGISTRIES", "1"),
                      install("REGISTRY1", "0,HKEY_USERS,k,v,d")});
    EXPECT_EQ(load(), 2);
    ASSERT_EQ(context.files.size(), 1u);
    EXPECT_STREQ(context.files[0].sourceName, "a.dll");
    EXPECT_EQ(context.registryCount, 0);  // not reached
    EXPECT_TRUE(context.registries.empty());
}

TEST_F(PatchDescriptionTest, FileLinesAreSplitAtCommas) {
    const struct {
        std::string line;
        const char* mode;
        const char* sourceName;
        const char* destPath;
    } cases[] = {
        {"0,a.dll,bin\\a.dll", "0", "a.dll", "bin\\a.dll"},
        {"0,,a.dll,bin\\a.dll", "0", "a.dll", "bin\\a.dll"},  // the empty field vanishes
        {"1, a.dll, bin\\a.dll", "1", " a.dll", " bin\\a.dll"},
        {"0,a.dll,a.dll,ignored", "0", "a.dll", "a.dll"},
        {",0,a.dll,a.dll", "0", "a.dll", "a.dll"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        fake::reset();
        writeDescription({install("TARGET", "0"), install("FILES", "1"), install("FILE1", c.line)});
        context = PatchContext{};
        ASSERT_EQ(load(), 0);
        ASSERT_EQ(context.files.size(), 1u);
        EXPECT_STREQ(context.files[0].mode, c.mode);
        EXPECT_STREQ(context.files[0].sourceName, c.sourceName);
        EXPECT_STREQ(context.files[0].destPath, c.destPath);
    }
}

TEST_F(PatchDescriptionTest, MalformedFileLinesFailTheLoad) {
    const std::string longest = "0,a.dll," + std::string(251, 'd');  // 259 bytes
    const struct {
        const char* name;
        IniLine line;
        int result;
    } cases[] = {
        {"259 bytes", install("FILE1", longest), 0},
        {"260 bytes", install("FILE1", longest + "d"), 2},
        {"empty", install("FILE1", ""), 2},
        {"stored empty", installPlain("FILE1", ""), 2},
        {"bad check", installPlain("FILE1", encodeWithWrongCheck("0,a,b")), 2},
        {"two fields", install("FILE1", "0,a.dll"), 2},
        {"two fields after a vanished one", install("FILE1", "0,,a.dll,,"), 2},
        {"commas only", install("FILE1", ",,,"), 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fake::reset();
        writeDescription({install("TARGET", "0"), install("FILES", "1"), c.line});
        context = PatchContext{};
        EXPECT_EQ(load(), c.result);
        EXPECT_EQ(context.files.size(), c.result == 0 ? 1u : 0u);
    }
}

TEST_F(PatchDescriptionTest, RegistryLinesFillFiveFields) {
    const std::string longSubKey = "SOFTWARE\\" + std::string(400, 'k');
    const struct {
        std::string line;
        const char* action;
        const char* rootName;
        std::string subKey;
        const char* valueName;
        const char* data;
    } cases[] = {
        {"0,HKEY_CURRENT_USER,Software\\Tolva,Name,data", "0", "HKEY_CURRENT_USER", "Software\\Tolva", "Name", "data"},
        {"1,,HKEY_USERS,,k,v,,d,extra", "1", "HKEY_USERS", "k", "v", "d"},
        {"0,HKEY_CLASSES_ROOT, k, v, d", "0", "HKEY_CLASSES_ROOT", " k", " v", " d"},
        {"0,HKEY_LOCAL_MACHINE," + longSubKey + ",v,d", "0", "HKEY_LOCAL_MACHINE", longSubKey, "v", "d"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        fake::reset();
        writeDescription({install("TARGET", "0"), install("REGISTRIES", "1"), install("REGISTRY1", c.line)});
        context = PatchContext{};
        ASSERT_EQ(load(), 0);
        ASSERT_EQ(context.registries.size(), 1u);
        const RegistryEntry& entry = context.registries[0];
        EXPECT_STREQ(entry.action, c.action);
        EXPECT_STREQ(entry.rootName, c.rootName);
        EXPECT_EQ(std::string(entry.subKey), c.subKey);
        EXPECT_STREQ(entry.valueName, c.valueName);
        EXPECT_STREQ(entry.data, c.data);
    }
}

TEST_F(PatchDescriptionTest, MalformedRegistryLinesFailTheLoad) {
    const std::string fits = std::string(254, 'x');
    const std::string tooLong = std::string(255, 'x');
    const struct {
        const char* name;
        IniLine line;
        int result;
    } cases[] = {
        {"254-character action", install("REGISTRY1", fits + ",HKEY_USERS,k,v,d"), 0},
        {"254-character root name", install("REGISTRY1", "0," + fits + ",k,v,d"), 0},
        {"254-character value name", install("REGISTRY1", "0,HKEY_USERS,k," + fits + ",d"), 0},
        {"255-character action", install("REGISTRY1", tooLong + ",HKEY_USERS,k,v,d"), 2},
        {"255-character root name", install("REGISTRY1", "0," + tooLong + ",k,v,d"), 2},
        {"255-character value name", install("REGISTRY1", "0,HKEY_USERS,k," + tooLong + ",d"), 2},
        {"four fields", install("REGISTRY1", "0,HKEY_USERS,k,v"), 2},
        {"four fields after vanished ones", install("REGISTRY1", "0,,HKEY_USERS,,k,,v,,"), 2},
        {"empty", install("REGISTRY1", ""), 2},
        {"bad check", installPlain("REGISTRY1", encodeWithWrongCheck("0,HKEY_USERS,k,v,d")), 2},
        {"longer than 510 bytes", install("REGISTRY1", "0,HKEY_USERS,k,v," + std::string(600, 'd')), 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fake::reset();
        writeDescription({install("TARGET", "0"), install("REGISTRIES", "1"), c.line});
        context = PatchContext{};
        EXPECT_EQ(load(), c.result);
        EXPECT_EQ(context.registries.size(), c.result == 0 ? 1u : 0u);
    }
}

TEST_F(PatchDescriptionTest, AMissingRegistryLineKeepsTheEntriesBeforeIt) {
    writeDescription({install("TARGET", "0"), install("FILES", "1"), install("FILE1", "0,a,a"),
                      install("REGISTRIES", "3"), install("REGISTRY1", "0,HKEY_USERS,k,v,d"),
                      install("REGISTRY3", "0,HKEY_USERS,k,w,d")});
    EXPECT_EQ(load(), 2);
    EXPECT_EQ(context.files.size(), 1u);
    EXPECT_EQ(context.registryCount, 3);
    ASSERT_EQ(context.registries.size(), 1u);
    EXPECT_STREQ(context.registries[0].valueName, "v");
}

TEST_F(PatchDescriptionTest, AMissingDescriptionFailsBeforeAnyKeyIsRead) {
    fake::writeFile("C:\\package\\other.ini", buildIni({install("TARGET", "0")}));
    EXPECT_EQ(load(), 2);
    EXPECT_STREQ(context.moduleDir, "C:\\package");
    EXPECT_STREQ(context.descriptionPath, DESCRIPTION);
    EXPECT_STREQ(context.moduleName, "");
    EXPECT_STREQ(context.target, "");
}

TEST_F(PatchDescriptionTest, AnExecutablePathThatCannotBeObtainedFails) {
    writeDescription({install("TARGET", "0")});
    fake::setModulePath("");
    EXPECT_EQ(load(), 2);
    EXPECT_STREQ(context.target, "");
}

TEST_F(PatchDescriptionTest, TheDescriptionPathMustFitItsField) {
    // moduleDir, a backslash and "tlvIni.ini" (11 more) within 259 characters.
    const auto folderOf = [](std::size_t length) {
        std::string folder = "C:";
        while (folder.size() < length) {
            const std::size_t part = std::min<std::size_t>(60, length - folder.size() - 1);
            folder += "\\" + std::string(part, 'p');
        }
        return folder;
    };
    const struct {
        std::size_t moduleDirLength;
        int result;
    } cases[] = {{248, 0}, {249, 2}, {258, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.moduleDirLength);
        fake::reset();
        const std::string folder = folderOf(c.moduleDirLength);
        ASSERT_EQ(folder.size(), c.moduleDirLength);
        fake::setModulePath(folder + "\\a.exe");
        fake::writeFile(folder + "\\tlvIni.ini", buildIni({install("TARGET", "0")}));
        // What a cut description path would name: it must never be read.
        const std::string cutPath = (folder + "\\tlvIni.ini").substr(0, 259);
        if (cutPath.size() > folder.size() + 1) fake::writeFile(cutPath, buildIni({install("TARGET", "0")}));
        context = PatchContext{};
        EXPECT_EQ(load(), c.result);
        EXPECT_EQ(std::string(context.target), c.result == 0 ? "0" : "");
    }
}

TEST_F(PatchDescriptionTest, LoadSettingsReturnsTheDescriptionsCode) {
    EXPECT_EQ(loadSettings(context), 2);  // no description at all
}

}  // namespace
