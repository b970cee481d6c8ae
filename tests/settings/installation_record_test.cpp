// Reading the installation record chosen by the patch's target, and the
// completion of every file destination.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/fixed_texts.h"
#include "settings/load_settings.h"
#include "tests/support/cp932.h"
#include "tests/support/fake_platform.h"
#include "tests/support/ini_builder.h"

namespace {

IniLine install(const std::string& key, const std::string& value) { return {"INSTALL", key, value}; }
IniLine license(const std::string& key, const std::string& value) { return {"LICENSE", key, value}; }

std::vector<IniLine> fullRecord() {
    return {license("VERSION", "65"),    license("PLATFORM", "x64"),
            license("SPNO651", "2"),     license("PTNO", "5"),
            license("VORN_INST", ENHANCED_NOT_INSTALLED_MARKER), license("DIR", "C:\\Tolva")};
}

// A folder name of exactly `length` characters below C:, in parts a host
// file system accepts.
std::string folderOfLength(std::size_t length) {
    std::string folder = "C:";
    while (folder.size() < length) {
        const std::size_t part = std::min<std::size_t>(60, length - folder.size() - 1);
        folder += "\\" + std::string(part, 'w');
    }
    return folder;
}

class InstallationRecordTest : public ::testing::Test {
protected:
    void SetUp() override { fake::reset(); }

    static void writeDescription(const std::string& target, const std::vector<std::string>& fileLines = {}) {
        std::vector<IniLine> lines = {install("TARGET", target), install("VERSION_DISP", "V6.5"),
                                      install("FILES", std::to_string(fileLines.size()))};
        for (std::size_t i = 0; i < fileLines.size(); ++i) {
            lines.push_back(install("FILE" + std::to_string(i + 1), fileLines[i]));
        }
        fake::writeFile("C:\\package\\tlvIni.ini", buildIni(lines));
    }

    static void writeRecord(const std::string& fileName, const std::vector<IniLine>& lines) {
        fake::writeFile("C:\\Windows\\" + fileName, buildIni(lines));
    }

    PatchContext context{};
};

TEST_F(InstallationRecordTest, ReadsEveryKeyOfTheRecord) {
    writeDescription("0");
    writeRecord("Tolva.ini", fullRecord());
    ASSERT_EQ(loadSettings(context), 0);
    EXPECT_STREQ(context.productIniPath, "C:\\Windows\\Tolva.ini");
    EXPECT_STREQ(context.productName, "HARBORSTONE");
    EXPECT_STREQ(context.installedVersion, "65");
    EXPECT_STREQ(context.platform, "x64");
    EXPECT_EQ(context.installedSpNo, 2);
    EXPECT_EQ(context.installedPtNo, 5);
    EXPECT_STREQ(context.editionMarker, ENHANCED_NOT_INSTALLED_MARKER);
    EXPECT_STREQ(context.installDir, "C:\\Tolva");
}

TEST_F(InstallationRecordTest, TheTargetsFirstCharacterChoosesTheRecordAndTheProductName) {
    const struct {
        std::string target;
        std::uint16_t language;
        const char* recordName;
        std::string productName;
    } cases[] = {
        {"0", 1033, "Tolva.ini", "HARBORSTONE"},
        {"1", 1041, "Tolva.ini", "HARBORSTONE"},
        {"1xyz", 1033, "Tolva.ini", "HARBORSTONE"},
        {"2", 1033, "VornCreator.ini", INSTALLER_CREATOR_NAME},  // Japanese on every system
        {"2", 1041, "VornCreator.ini", INSTALLER_CREATOR_NAME},
        {"3", 1033, "VornLogMng.ini", "VornLogMng"},
        {"3", 1041, "VornLogMng.ini", toCp932("ログ情報管理ソフト")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target + " under " + std::to_string(c.language));
        fake::reset();
        fake::setUiLanguage(c.language);
        writeDescription(c.target);
        writeRecord(c.recordName, fullRecord());
        context = PatchContext{};
        ASSERT_EQ(loadSettings(context), 0);
        EXPECT_EQ(std::string(context.productIniPath), std::string("C:\\Windows\\") + c.recordName);
        EXPECT_EQ(std::string(context.productName), c.productName);
    }
}

TEST_F(InstallationRecordTest, AnUnknownTargetFailsBeforeAnyRecordIsLookedFor) {
    for (const std::string target : {"4", "", "a0", " 0", "/"}) {
        SCOPED_TRACE("target \"" + target + "\"");
        fake::reset();
        writeDescription(target);
        writeRecord("Tolva.ini", fullRecord());
        context = PatchContext{};
        EXPECT_EQ(loadSettings(context), 2);
        EXPECT_STREQ(context.productIniPath, "C:\\Windows\\");
        EXPECT_STREQ(context.productName, "");
        EXPECT_STREQ(context.installedVersion, "");
    }
}

TEST_F(InstallationRecordTest, AMissingTargetKeyFailsTheSameWay) {
    fake::writeFile("C:\\package\\tlvIni.ini", buildIni({install("MODULE_TYPE", "0")}));
    writeRecord("Tolva.ini", fullRecord());
    EXPECT_EQ(loadSettings(context), 2);
    EXPECT_STREQ(context.productName, "");
}

TEST_F(InstallationRecordTest, AMissingRecordFailsWithEightAndNamesTheProduct) {
    writeDescription("2");
    writeRecord("Tolva.ini", fullRecord());  // another product's record
    EXPECT_EQ(loadSettings(context), 8);
    EXPECT_STREQ(context.productIniPath, "C:\\Windows\\VornCreator.ini");
    EXPECT_STREQ(context.productName, INSTALLER_CREATOR_NAME);
    EXPECT_STREQ(context.versionDisp, "V6.5");
    EXPECT_STREQ(context.installedVersion, "");
}

TEST_F(InstallationRecordTest, MissingOptionalKeysReadAsTheirDefaults) {
    writeDescription("0");
    writeRecord("Tolva.ini", {license("VERSION", "65"), license("DIR", "C:\\Tolva")});
    ASSERT_EQ(loadSettings(context), 0);
    EXPECT_STREQ(context.platform, "x86");
    EXPECT_EQ(context.installedSpNo, 0);
    EXPECT_EQ(context.installedPtNo, 0);
    EXPECT_STREQ(context.editionMarker, "");
}

TEST_F(InstallationRecordTest, UnreadableOptionalKeysReadAsTheirDefaults) {
    writeDescription("0");
    writeRecord("Tolva.ini", {license("VERSION", "65"), {"LICENSE", "PLATFORM", encodeWithWrongCheck("x64"), true},
                              {"LICENSE", "SPNO651", "", true}, {"LICENSE", "PTNO", encodeWithWrongCheck("7"), true},
                              license("VORN_INST", std::string(260, 'v')), license("DIR", "C:\\Tolva")});
    ASSERT_EQ(loadSettings(context), 0);
    EXPECT_STREQ(context.platform, "x86");
    EXPECT_EQ(context.installedSpNo, 0);
    EXPECT_EQ(context.installedPtNo, 0);
    EXPECT_STREQ(context.editionMarker, "");
}

TEST_F(InstallationRecordTest, VersionMustBeThereAndFitItsShorterField) {
    const struct {
        const char* name;
        std::vector<IniLine> version;
        int result;
    } cases[] = {
        {"254 characters", {license("VERSION", std::string(254, '6'))}, 0},
        {"255 characters", {license("VERSION", std::string(255, '6'))}, 2},
        {"missing", {}, 2},
        {"encoding of the empty text", {license("VERSION", "")}, 2},
        {"bad check", {{"LICENSE", "VERSION", encodeWithWrongCheck("65"), true}}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fake::reset();
        writeDescription("0");
        std::vector<IniLine> record = c.version;
        record.push_back(license("PLATFORM", "x64"));
        record.push_back(license("DIR", "C:\\Tolva"));
        writeRecord("Tolva.ini", record);
        context = PatchContext{};
        EXPECT_EQ(loadSettings(context), c.result);
        EXPECT_STREQ(context.productName, "HARBORSTONE");
        // A refused VERSION stops the load before PLATFORM is read.
        EXPECT_STREQ(context.platform, c.result == 0 ? "x64" : "");
    }
}

TEST_F(InstallationRecordTest, AnUnreadableDirFailsAfterTheOtherKeysAndLeavesDestinationsAlone) {
    for (const IniLine& dir : {IniLine{"LICENSE", "DIR", encodeWithWrongCheck("C:\\Tolva"), true},
                               license("DIR", ""), IniLine{"LICENSE", "OTHER", "x"}}) {
        SCOPED_TRACE(dir.value);
        fake::reset();
        writeDescription("0", {"0,a.dll,bin\\a.dll"});
        std::vector<IniLine> record = fullRecord();
        record.back() = dir;
        writeRecord("Tolva.ini", record);
        context = PatchContext{};
        EXPECT_EQ(loadSettings(context), 2);
        EXPECT_STREQ(context.installedVersion, "65");
        EXPECT_STREQ(context.editionMarker, ENHANCED_NOT_INSTALLED_MARKER);
        EXPECT_STREQ(context.installDir, "");
        ASSERT_EQ(context.files.size(), 1u);
        EXPECT_STREQ(context.files[0].destPath, "bin\\a.dll");
    }
}

TEST_F(InstallationRecordTest, DestinationsBecomePathsInTheInstallationDirectory) {
    const struct {
        std::string installDir;
        std::vector<std::string> lines;
        std::vector<std::string> destinations;
    } cases[] = {
        {"C:\\Tolva", {"0,a.dll,a.dll", "1,b.exe,bin\\sub\\b.exe"}, {"C:\\Tolva\\a.dll", "C:\\Tolva\\bin\\sub\\b.exe"}},
        {"C:\\Tolva\\", {"0,a.dll,a.dll"}, {"C:\\Tolva\\\\a.dll"}},  // used as it stands
        {"C:\\Tolva", {"0,a.dll, a.dll"}, {"C:\\Tolva\\ a.dll"}},
        {"C:\\Tolva", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.installDir);
        fake::reset();
        writeDescription("1", c.lines);
        std::vector<IniLine> record = fullRecord();
        record.back() = license("DIR", c.installDir);
        writeRecord("Tolva.ini", record);
        context = PatchContext{};
        ASSERT_EQ(loadSettings(context), 0);
        std::vector<std::string> destinations;
        for (const FileEntry& entry : context.files) destinations.emplace_back(entry.destPath);
        EXPECT_EQ(destinations, c.destinations);
    }
}

TEST_F(InstallationRecordTest, ACompletedDestinationLongerThanItsFieldFailsAndChangesNone) {
    const std::string installDir = "C:\\" + std::string(200, 'i');  // 203 characters
    const struct {
        std::size_t destinationLength;  // with the backslash: 204 + this
        int result;
    } cases[] = {{55, 0}, {56, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.destinationLength);
        fake::reset();
        const std::string longDestination(c.destinationLength, 'd');
        writeDescription("0", {"0,a.dll,a.dll", "0,b.dll," + longDestination});
        std::vector<IniLine> record = fullRecord();
        record.back() = license("DIR", installDir);
        writeRecord("Tolva.ini", record);
        context = PatchContext{};
        EXPECT_EQ(loadSettings(context), c.result);
        ASSERT_EQ(context.files.size(), 2u);
        if (c.result == 0) {
            EXPECT_EQ(std::string(context.files[1].destPath), installDir + "\\" + longDestination);
            EXPECT_EQ(std::string(context.files[1].destPath).size(), 259u);
        } else {
            EXPECT_STREQ(context.files[0].destPath, "a.dll");
            EXPECT_EQ(std::string(context.files[1].destPath), longDestination);
        }
    }
}

TEST_F(InstallationRecordTest, AWindowsDirectoryTooLongForTheRecordPathFails) {
    const struct {
        std::size_t windowsDirLength;
        int result;
        bool folderKept;  // productIniPath holds the folder and its backslash
    } cases[] = {
        {249, 0, true},   // 249 + 1 + "Tolva.ini" = 259
        {250, 2, true},   // the record's name no longer fits
        {258, 2, true},   // only the backslash fits
        {259, 2, false},  // not even the backslash
        {300, 2, false},  // longer than the buffer: the call gives only the size it needs
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.windowsDirLength);
        fake::reset();
        const std::string windowsDir = folderOfLength(c.windowsDirLength);
        ASSERT_EQ(windowsDir.size(), c.windowsDirLength);
        fake::setWindowsDirectory(windowsDir);
        writeDescription("0");
        const std::string recordPath = windowsDir + "\\Tolva.ini";
        fake::writeFile(recordPath, buildIni(fullRecord()));
        // The file a cut record path would name: never read.
        const std::string cutPath = recordPath.substr(0, 259);
        if (cutPath.size() > windowsDir.size() + 1) fake::writeFile(cutPath, buildIni(fullRecord()));
        context = PatchContext{};
        EXPECT_EQ(loadSettings(context), c.result);
        if (c.result == 0) {
            EXPECT_EQ(std::string(context.productIniPath), recordPath);
        } else {
            EXPECT_EQ(std::string(context.productIniPath), c.folderKept ? windowsDir + "\\" : "");
            EXPECT_STREQ(context.installedVersion, "");
        }
    }
}

}  // namespace
