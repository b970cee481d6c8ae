// build: a package from a manifest, read back by the applier's own loader;
// every malformed manifest refused before anything is written.
#include <gtest/gtest.h>

#include <memory>

#include "actions/stages.h"
#include "platform/host/host_machine.h"
#include "settings/load_settings.h"
#include "tests/support/cp932.h"
#include "tests/tools/tool_fixture.h"

namespace fs = std::filesystem;

namespace tools_test {
namespace {

class Build : public ToolTest {
protected:
    // The package's description as the applier reads it in `language`.
    std::unique_ptr<PatchContext> loadDescription(const std::string& package, std::uint16_t language) {
        host::HostMachine machine;
        machine.modulePath = (path(package) / "tlvpatch.exe").u8string();
        machine.windowsDirectory = path("windows").u8string();
        machine.uiLanguage = language;
        host::setMachine(machine);
        auto context = std::make_unique<PatchContext>();
        loadPatchDescription(*context);
        return context;
    }

    void TearDown() override {
        host::setMachine({});
        ToolTest::TearDown();
    }
};

TEST_F(Build, WritesAPackageThatTheAppliersLoaderReadsAsTheManifestSays) {
    writeSamplePackageSources();
    const CommandResult built = run({"build", "manifest.ini", "package"});
    ASSERT_EQ(built.exitCode, 0) << built.err;
    EXPECT_EQ(built.err, "");

    const auto japanese = loadDescription("package", host::LANGUAGE_JAPANESE);
    EXPECT_STREQ(japanese->target, "0");
    EXPECT_EQ(japanese->moduleType, 0);
    EXPECT_EQ(japanese->moduleName, toCp932("テスト修正パッチ"));
    EXPECT_EQ(japanese->title, toCp932("テスト表示タイトル"));
    EXPECT_STREQ(japanese->version, "65");
    EXPECT_STREQ(japanese->versionDisp, "V6.5");
    EXPECT_EQ(japanese->ptNo, 3);
    ASSERT_EQ(japanese->files.size(), 2u);
    EXPECT_STREQ(japanese->files[0].mode, "1");
    EXPECT_STREQ(japanese->files[0].sourceName, "tolva.exe");
    EXPECT_STREQ(japanese->files[0].destPath, "bin\\tolva.exe");
    EXPECT_STREQ(japanese->files[1].mode, "0");
    EXPECT_EQ(japanese->files[1].sourceName, toCp932("説明書.txt"));
    // "表" is 0x95 0x5C: its second byte must not have been taken for a separator.
    EXPECT_EQ(japanese->files[1].destPath, toCp932("文書\\表.txt"));
    ASSERT_EQ(japanese->registries.size(), 1u);
    EXPECT_STREQ(japanese->registries[0].action, "0");
    EXPECT_STREQ(japanese->registries[0].rootName, "HKEY_LOCAL_MACHINE");
    EXPECT_STREQ(japanese->registries[0].subKey, "SOFTWARE\\Tolva");
    EXPECT_STREQ(japanese->registries[0].valueName, "Command");

    const auto english = loadDescription("package", host::LANGUAGE_ENGLISH_US);
    EXPECT_STREQ(english->moduleName, "Test Patch 7");
    EXPECT_STREQ(english->title, "Test Patch Title");

    // The files under SET\x86 (named in UTF-8 on this host), and the applier.
    EXPECT_EQ(read("package/SET/x86/説明書.txt"), std::optional<std::string>("読んでください\r\n"));
    EXPECT_EQ(read("package/tlvpatch.exe"), read("tlvpatch.exe"));
}

TEST_F(Build, StoresModeOneFilesRaisedByOneSoThatTheAppliersShiftCopyRestoresThem) {
    writeSamplePackageSources();
    ASSERT_EQ(run({"build", "manifest.ini", "package"}).exitCode, 0);
    const std::string original = allByteValues(2500);
    const std::optional<std::string> stored = read("package/SET/x86/tolva.exe");
    ASSERT_TRUE(stored.has_value());
    ASSERT_EQ(stored->size(), original.size());
    EXPECT_EQ(static_cast<unsigned char>((*stored)[0]), 0x01);
    EXPECT_EQ(static_cast<unsigned char>((*stored)[255]), 0x00);

    host::setMachine({});
    fs::create_directories(path("installed"));
    ASSERT_EQ(shiftCopyFile('-', path("package/SET/x86/tolva.exe").c_str(), path("installed/tolva.exe").c_str()), 0);
    EXPECT_EQ(read("installed/tolva.exe"), std::optional<std::string>(original));
}

TEST_F(Build, GivesByteIdenticalPackagesForTheSameManifest) {
    writeSamplePackageSources();
    ASSERT_EQ(run({"build", "manifest.ini", "first"}).exitCode, 0);
    ASSERT_EQ(run({"build", "manifest.ini", "second"}).exitCode, 0);
    const auto first = tree("first");
    EXPECT_EQ(first.size(), 4u);
    EXPECT_EQ(first, tree("second"));
}

TEST_F(Build, FillsEachPlatformFolderFromItsOwnSource) {
    std::string manifest = replaceLine(sampleManifest(), sample_line::FILE1,
                                       "file = 1, payload/{platform}/tolva.exe, tolva.exe, bin\\tolva.exe");
    manifest = replaceLine(manifest, sample_line::PACKAGE_SPARE, "platforms = x86, x64");
    writeSamplePackageSources(manifest);
    write("payload/x86/tolva.exe", "32-bit");
    write("payload/x64/tolva.exe", "64-bit");
    const CommandResult built = run({"build", "manifest.ini", "package"});
    ASSERT_EQ(built.exitCode, 0) << built.err;
    // Every byte raised by one.
    EXPECT_EQ(read("package/SET/x86/tolva.exe"), std::optional<std::string>("43.cju"));
    EXPECT_EQ(read("package/SET/x64/tolva.exe"), std::optional<std::string>("75.cju"));
    EXPECT_EQ(read("package/SET/x64/説明書.txt"), read("payload/説明書.txt"));
}

TEST_F(Build, ReplacesAnExistingPackageOnlyWhenAskedAndOnlyAPackage) {
    writeSamplePackageSources();
    write("elsewhere/notes.txt", "keep me");
    const CommandResult notEmpty = run({"build", "manifest.ini", "elsewhere"});
    EXPECT_EQ(notEmpty.exitCode, 1);
    EXPECT_NE(notEmpty.err.find("is not empty: give --replace"), std::string::npos) << notEmpty.err;
    const CommandResult notAPackage = run({"build", "--replace", "manifest.ini", "elsewhere"});
    EXPECT_EQ(notAPackage.exitCode, 1);
    EXPECT_NE(notAPackage.err.find("holds no tlvIni.ini"), std::string::npos) << notAPackage.err;
    EXPECT_EQ(read("elsewhere/notes.txt"), std::optional<std::string>("keep me"));

    ASSERT_EQ(run({"build", "manifest.ini", "package"}).exitCode, 0);
    write("package/stale.txt", "from an older build");
    EXPECT_EQ(run({"build", "manifest.ini", "package"}).exitCode, 1);
    ASSERT_EQ(run({"build", "--replace", "manifest.ini", "package"}).exitCode, 0);
    EXPECT_FALSE(fs::exists(path("package/stale.txt")));
    EXPECT_EQ(tree("package").size(), 4u);
}

// ---------------------------------------------------------------------------

struct Malformed {
    const char* name;
    int line;                 // the sample's line to change; 0: none
    std::string replacement;  // its new text
    std::string message;      // what stderr must hold
    int problems = 1;         // how many lines it takes
};

void PrintTo(const Malformed& row, std::ostream* out) { *out << row.name; }

std::vector<Malformed> malformedManifests() {
    using namespace sample_line;
    const std::string longPath(245, 'd');
    return {
        {"ValueTooLongForItsField", MODULE_NM_E, "MODULE_NM_E = " + std::string(260, 'x'),
         "manifest.ini:7: [INSTALL] MODULE_NM_E: the value is 260 bytes in code page 932, more than the 259 its "
         "field holds"},
        // 130 characters: 390 bytes of UTF-8 but 260 of code page 932, which is what counts.
        {"JapaneseValueTooLong", MODULE_NM, "MODULE_NM = " + [] { std::string s; for (int i = 0; i < 130; ++i) s += "あ"; return s; }(),
         "manifest.ini:5: [INSTALL] MODULE_NM: the value is 260 bytes in code page 932, more than the 259"},
        {"VersionLongerThanARecordHolds", VERSION, "VERSION = " + std::string(255, '6'),
         "manifest.ini:9: [INSTALL] VERSION: the version is 255 bytes in code page 932, more than the 254 that an "
         "installation record can hold"},
        {"EmptyListField", FILE1, "file = 1, , tolva.exe, bin\\tolva.exe",
         "manifest.ini:14: [FILES] file: its 2nd field (source) is empty: the applier drops empty fields and would "
         "shift the rest"},
        {"CommaInsideLastFileField", FILE1, "file = 1, payload/tolva.exe, tolva.exe, bin\\tolva,new.exe",
         "manifest.ini:14: [FILES] file: has 5 fields, not 4 (mode, source, name in the package, destination): no "
         "field can hold a comma"},
        {"CommaInsideLastRegistryField", REGISTRY1, "registry = 0, HKEY_LOCAL_MACHINE, SOFTWARE\\Tolva, Command, a,b",
         "manifest.ini:18: [REGISTRY] registry: has 6 fields, not 5"},
        {"ModeOtherThanZeroAndOne", FILE1, "file = 2, payload/tolva.exe, tolva.exe, bin\\tolva.exe",
         "manifest.ini:14: [FILES] file: mode \"2\": use 0 (copied as it is) or 1"},
        {"TargetOutsideZeroToThree", TARGET, "TARGET = 4",
         "manifest.ini:3: [INSTALL] TARGET: \"4\" is not a target: use 0"},
        {"TargetWithMoreThanOneCharacter", TARGET, "TARGET = 01", "manifest.ini:3: [INSTALL] TARGET: \"01\" is not a target"},
        {"ModuleTypeOtherThanZeroAndOne", MODULE_TYPE, "MODULE_TYPE = 2",
         "manifest.ini:4: [INSTALL] MODULE_TYPE: \"2\": use 0 for a patch or 1 for a service pack"},
        {"LevelThatReadsAsAnotherNumber", PTNO, "PTNO = 3a",
         "manifest.ini:11: [INSTALL] PTNO: \"3a\" is not a whole number as the applier reads one (such as 3); it "
         "would read it as 3"},
        {"MissingSourceFile", FILE1, "file = 1, payload/missing.exe, tolva.exe, bin\\tolva.exe",
         "manifest.ini:14: [FILES] file: source \"payload/missing.exe\""},
        {"SourcePathTooLong", PACKAGE_SPARE, "run_from = C:\\" + longPath,
         "manifest.ini:14: [FILES] file: the source path C:\\" + longPath + "\\SET\\x86\\tolva.exe is 266 bytes in "
         "code page 932, more than the 259 characters of a Windows path", 2},
        {"CompletedDestinationTooLong", PACKAGE_SPARE, "install_dir = C:\\" + longPath,
         "manifest.ini:14: [FILES] file: the completed destination C:\\" + longPath + "\\bin\\tolva.exe is 262 bytes",
         2},
        {"UnknownRegistryRoot", REGISTRY1, "registry = 0, HKLM, SOFTWARE\\Tolva, Command, -",
         "manifest.ini:18: [REGISTRY] registry: root \"HKLM\": use HKEY_CLASSES_ROOT"},
        {"CharacterOutsideCodePage932", TITLE_NM, "TITLE_NM = パッチ \xF0\x9F\x98\x80",
         "manifest.ini:6: [INSTALL] TITLE_NM: holds a character that code page 932 cannot store"},
        {"EmptyValue", TITLE_NM_E, "TITLE_NM_E =", "manifest.ini:8: [INSTALL] TITLE_NM_E: empty"},
        {"MissingTarget", TARGET, "", "manifest.ini: [INSTALL] TARGET: missing"},
        {"MissingLevelOfItsType", PTNO, "SPNO651 = 2", "manifest.ini: [INSTALL] PTNO: missing"},
        {"CountWrittenByHand", 12, "FILES = 2", "manifest.ini:12: [INSTALL] FILES: is written by tlvkit"},
        {"UnknownKey", 12, "PT_NO = 3", "manifest.ini:12: [INSTALL] PT_NO: unknown key"},
        {"NameWithSlash", FILE1, "file = 1, payload/tolva.exe, bin/tolva.exe, bin\\tolva.exe",
         "manifest.ini:14: [FILES] file: name in the package \"bin/tolva.exe\" uses '/'"},
        {"DestinationOutsideTheInstallation", FILE1, "file = 1, payload/tolva.exe, tolva.exe, ..\\tolva.exe",
         "manifest.ini:14: [FILES] file: destination \"..\\tolva.exe\" has a '..' part"},
        {"SameNameForTwoFiles", FILE2, "file = 0, payload/説明書.txt, TOLVA.EXE, readme.txt",
         "manifest.ini:15: [FILES] file: SET\\x86\\TOLVA.EXE is already taken by line 14"},
        {"UnknownSection", 12, "[OPTIONS]", "manifest.ini:12: unknown section [OPTIONS]"},
        {"NoApplier", 21, "", "manifest.ini: applier: no applier executable: give --applier FILE"},
    };
}

class RefusedManifest : public Build, public ::testing::WithParamInterface<Malformed> {};

TEST_P(RefusedManifest, IsRefusedWithItsMessageAndNothingIsWritten) {
    const Malformed& row = GetParam();
    std::string manifest = sampleManifest();
    if (row.line > 0) manifest = replaceLine(manifest, row.line, row.replacement);
    writeSamplePackageSources(manifest);

    const CommandResult result = run({"build", "manifest.ini", "package"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("tlvkit build: " + row.message), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("tlvkit build: nothing written (" + std::to_string(row.problems) + " problem(s))\n"),
              std::string::npos)
        << result.err;
    EXPECT_FALSE(fs::exists(path("package")));
    EXPECT_FALSE(fs::exists(path("package.tlvkit-partial")));
}

INSTANTIATE_TEST_SUITE_P(Cases, RefusedManifest, ::testing::ValuesIn(malformedManifests()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Build, ReportsEveryProblemOfAManifestAtOnce) {
    std::string manifest = replaceLine(sampleManifest(), sample_line::TARGET, "TARGET = 9");
    manifest = replaceLine(manifest, sample_line::FILE2, "file = 0, payload/none.txt, a.txt, b.txt");
    writeSamplePackageSources(manifest);
    const CommandResult result = run({"build", "manifest.ini", "package"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("manifest.ini:3: [INSTALL] TARGET"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("manifest.ini:15: [FILES] file: source"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("nothing written (2 problem(s))"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace tools_test
