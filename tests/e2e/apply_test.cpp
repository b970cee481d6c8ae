// Applying a patch, end to end under Wine: files replaced plainly and through
// the byte-shift decoding, registry values quoted, the level recorded, and
// what the user sees; then the ways a run stops part-way.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "settings/fixed_texts.h"
#include "tests/e2e/harness/applier_test.h"
#include "tests/e2e/harness/expected_messages.h"
#include "tests/e2e/harness/file_bytes.h"
#include "tests/e2e/harness/sample_patch.h"
#include "tests/e2e/harness/wine_registry.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

const std::string HARBORSTONE = "HARBORSTONE";
// closeProduct waits at least 3 s, ten polls of 1 s when the product stays.
constexpr int APPLY_TIMEOUT_MS = 60000;

// A package of several files and one registry value, laid out for one test
// and checked after the run.
class ApplyTest : public ApplierTest {
protected:
    void SetUp() override {
        ApplierTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        installDir = makeInstallDir();
        registrySubKey = "Software\\TolvaE2E\\" + asIdentifier(currentTestName());
        registryKey = "HKEY_LOCAL_MACHINE\\" + registrySubKey;
    }

    // The package's files: stored plainly (mode "0") or with every byte raised
    // by one (mode "1"), and what each destination holds after a complete run.
    struct PackageFile {
        std::string source;
        std::string destination;  // below the installation folder
        bool shifted;
        std::string bytes;
    };
    static std::vector<PackageFile> packageFiles() {
        std::string plain = "new plain.dll\r\n";
        plain += '\0';
        plain += '\xff';
        return {{"plain.dll", "plain.dll", false, plain},
                {"shifted.exe", "shifted.exe", true, allByteValues(2500)},  // crosses the 1024-byte blocks
                {"new.txt", "sub\\new.txt", false, "a file the patch adds"},
                {"empty.bin", "sub\\empty.bin", true, ""}};
    }

    // Lays out the package's files in SET\<platform> and the installed files
    // they replace; decoys of the same names lie in another platform's folder.
    IniValues layOutFiles(IniValues description, const std::string& platform) {
        const std::string decoyPlatform = platform == "x86" ? "x64" : "x86";
        const std::vector<PackageFile> files = packageFiles();
        description = with(description, "FILES", std::to_string(files.size()));
        for (std::size_t i = 0; i < files.size(); ++i) {
            const PackageFile& file = files[i];
            package.writeSource(platform, file.source, file.shifted ? raisedByOne(file.bytes) : file.bytes);
            package.writeSource(decoyPlatform, file.source, "decoy from the wrong platform folder");
            description = with(description, "FILE" + std::to_string(i + 1),
                               std::string(file.shifted ? "1," : "0,") + file.source + "," + file.destination);
        }
        writeBytes(installed("plain.dll"), "old plain.dll");
        writeBytes(installed("shifted.exe"), "old shifted.exe");
        fs::create_directories(installed("sub"));
        return description;
    }

    // One value to quote: a command line without quotes.
    IniValues addRegistryValue(IniValues description) {
        setRegistryString(registryKey, "Command", "C:\\Tolva\\app.exe /run");
        description = with(description, "REGISTRIES", "1");
        return with(description, "REGISTRY1", "0,HKEY_LOCAL_MACHINE," + registrySubKey + ",Command,unused");
    }

    void expectAllFilesReplaced() {
        for (const PackageFile& file : packageFiles()) {
            const auto installedBytes = readBytes(installed(file.destination));
            ASSERT_TRUE(installedBytes.has_value()) << file.destination << " was not installed";
            EXPECT_EQ(byteDifference(*installedBytes, file.bytes), "") << file.destination;
        }
    }

    void expectNoFileReplaced() {
        EXPECT_EQ(readBytes(installed("plain.dll")), std::optional<std::string>("old plain.dll"));
        EXPECT_EQ(readBytes(installed("shifted.exe")), std::optional<std::string>("old shifted.exe"));
        EXPECT_FALSE(fs::exists(installed("sub\\new.txt")));
    }

    fs::path installed(const std::string& relative) const { return prefix().unixPath(installDir + "\\" + relative); }
    std::string recordLevel(const std::string& recordFile, const std::string& key) const {
        return readDecodedValue(windowsFile(recordFile), "LICENSE", key).value_or("<missing>");
    }

    std::string installDir;
    std::string registrySubKey;  // below HKEY_LOCAL_MACHINE
    std::string registryKey;     // the full path, as reg.exe takes it
};

// ---------------------------------------------------------------------------

struct LevelCase {
    std::string name;
    std::string moduleType;
    std::string platform;  // "" : the record has no PLATFORM, which reads as x86
    std::string levelKey;  // the key written back
    std::string newLevel;
    std::string otherKey;  // the key left alone
    std::string otherLevel;
};

void PrintTo(const LevelCase& row, std::ostream* out) { *out << row.name; }

class SilentApply : public ApplyTest, public ::testing::WithParamInterface<LevelCase> {};

TEST_P(SilentApply, ReplacesEveryFileQuotesTheValueRecordsTheLevelAndRefusesTheSamePackageAfterwards) {
    const LevelCase& row = GetParam();
    IniValues description = with(samplePatch(), "MODULE_TYPE", row.moduleType);
    description = with(description, row.levelKey, row.newLevel);
    description = addRegistryValue(layOutFiles(description, row.platform.empty() ? "x86" : row.platform));
    package.writeDescription(description);
    IniValues record = with(sampleRecord(), "DIR", installDir);
    record = row.platform.empty() ? without(record, "PLATFORM") : with(record, "PLATFORM", row.platform);
    writeInstallationRecord("Tolva.ini", record);

    EXPECT_EQ(runWithoutBox(JAPANESE, "/Silent"), 0);
    expectAllFilesReplaced();
    EXPECT_EQ(registryString(registryKey, "Command"), std::optional<std::string>("\"C:\\Tolva\\app.exe /run\""));
    EXPECT_EQ(recordLevel("Tolva.ini", row.levelKey), row.newLevel);
    EXPECT_EQ(recordLevel("Tolva.ini", row.otherKey), row.otherLevel);
    EXPECT_EQ(recordLevel("Tolva.ini", "VERSION"), "65") << "the rest of the record stays";

    // The recorded level now equals the package's: already up to date.
    writeBytes(installed("plain.dll"), "changed since");
    EXPECT_EQ(runWithoutBox(ENGLISH_US, "/Silent"), 12);
    EXPECT_EQ(readBytes(installed("plain.dll")), std::optional<std::string>("changed since"));
}

INSTANTIATE_TEST_SUITE_P(Levels, SilentApply,
                         ::testing::Values(LevelCase{"Patch_DefaultPlatform", "0", "", "PTNO", "3", "SPNO651", "1"},
                                           LevelCase{"ServicePack_x64", "1", "x64", "SPNO651", "2", "PTNO", "2"}),
                         [](const auto& info) { return asIdentifier(info.param.name); });

// ---------------------------------------------------------------------------

class InteractiveApply : public ApplyTest, public ::testing::WithParamInterface<UiLanguage> {};

TEST_P(InteractiveApply, OkAppliesThePatchAndThenReportsSuccessWithoutAnIcon) {
    const UiLanguage& language = GetParam();
    package.writeDescription(layOutFiles(samplePatch(), "x86"));
    writeInstallationRecord("Tolva.ini", with(sampleRecord(), "DIR", installDir));

    WindowsProcess applier = startApplier(language);
    const BoxReport confirmation = waitForBox(language, BoxButton::Ok);
    ASSERT_TRUE(confirmation.found);
    EXPECT_EQ(confirmation.buttons, "ok,cancel");

    const BoxReport success = waitForBox(language, BoxButton::Ok, {confirmation.hwnd});
    ASSERT_TRUE(success.found) << "no success message";
    EXPECT_EQ(success.caption, sampleTitle(language)) << describe(success);
    EXPECT_EQ(success.text, expectedMessage(language, 10, {sampleModuleName(language), HARBORSTONE}))
        << describe(success);
    EXPECT_EQ(success.buttons, "ok");
    EXPECT_FALSE(success.icon) << describe(success);
    EXPECT_EQ(exitCodeOf(applier), 0);
    expectAllFilesReplaced();
    EXPECT_EQ(recordLevel("Tolva.ini", "PTNO"), "3");
}

TEST_P(InteractiveApply, CancelEndsTheRunWithNothingChanged) {
    const UiLanguage& language = GetParam();
    package.writeDescription(addRegistryValue(layOutFiles(samplePatch(), "x86")));
    writeInstallationRecord("Tolva.ini", with(sampleRecord(), "DIR", installDir));
    const auto recordBefore = readBytes(windowsFile("Tolva.ini"));

    WindowsProcess applier = startApplier(language);
    const BoxReport confirmation = waitForBox(language, BoxButton::Cancel);
    ASSERT_TRUE(confirmation.found);
    EXPECT_EQ(exitCodeOf(applier), 0);
    expectNoFileReplaced();
    EXPECT_EQ(registryString(registryKey, "Command"), std::optional<std::string>("C:\\Tolva\\app.exe /run"));
    EXPECT_EQ(readBytes(windowsFile("Tolva.ini")), recordBefore);
}

INSTANTIATE_TEST_SUITE_P(Languages, InteractiveApply, ::testing::Values(JAPANESE, ENGLISH_US),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// The running product: found by window class or title and told to quit.

struct ProductCase {
    std::string name;
    UiLanguage language;
    std::string target;
    std::string recordFile;
    std::string productName;
    std::vector<std::string> windowArgs;  // fake_product.exe options
    bool productQuits;
};

void PrintTo(const ProductCase& row, std::ostream* out) { *out << row.name; }

std::vector<ProductCase> productCases() {
    return {
        {"MainProductQuitsAtOnce", ENGLISH_US, "0", "Tolva.ini", HARBORSTONE,
         {"--class", "TOLVA", "--on-quit", "exit"}, true},
        // Gone at the third of the applier's one-second polls.
        {"MainProductQuitsAfterAWhile", JAPANESE, "1", "Tolva.ini", HARBORSTONE,
         {"--class", "TOLVA", "--on-quit", "exit-after:2500"}, true},
        {"MainProductIgnoresQuit", JAPANESE, "0", "Tolva.ini", HARBORSTONE,
         {"--class", "TOLVA", "--on-quit", "ignore"}, false},
        // Titles match whole: the login window is handled by the second name.
        {"LogManagerLoginWindowQuits", JAPANESE, "3", "VornLogMng.ini", expectedMessage(JAPANESE, 20),
         {"--title-hex", hexOf(LOG_MANAGER_LOGIN_TITLE), "--on-quit", "exit"}, true},
        {"InstallerCreatorEnhancedWindowIgnoresQuit", ENGLISH_US, "2", "VornCreator.ini", INSTALLER_CREATOR_NAME,
         {"--title-hex", hexOf(INSTALLER_CREATOR_ENHANCED_TITLE), "--on-quit", "ignore"}, false},
    };
}

class RunningProduct : public ApplyTest, public ::testing::WithParamInterface<ProductCase> {};

TEST_P(RunningProduct, IsClosedBeforeAnyFileIsReplacedOrStopsTheRun) {
    const ProductCase& row = GetParam();
    // Target "1" is the security-enhanced edition: its record must not carry
    // the sample's "not installed" marker.
    IniValues description = with(layOutFiles(samplePatch(), "x86"), "TARGET", row.target);
    IniValues record = with(sampleRecord(), "DIR", installDir);
    if (row.target == "1") record = with(record, "VORN_INST", "installed");
    package.writeDescription(description);
    writeInstallationRecord(row.recordFile, record);
    const auto recordBefore = readBytes(windowsFile(row.recordFile));

    const std::string quitLog = package.windowsDir + "\\quit.log";
    std::vector<std::string> windowArgs = row.windowArgs;
    windowArgs.insert(windowArgs.end(), {"--quit-log", quitLog});
    WindowsProcess product = startProductWindow(row.language, windowArgs);

    WindowsProcess applier = startApplier(row.language);
    const BoxReport confirmation = waitForBox(row.language, BoxButton::Ok);
    ASSERT_TRUE(confirmation.found);
    const BoxReport outcome = peekBox({row.language, BoxButton::Ok, APPLY_TIMEOUT_MS, {confirmation.hwnd}, 0});
    ASSERT_TRUE(outcome.found) << "no outcome message";
    EXPECT_EQ(outcome.caption, sampleTitle(row.language)) << describe(outcome);

    // The quit message is posted once, to the window found.
    EXPECT_EQ(readBytes(prefix().unixPath(quitLog)), std::optional<std::string>("quit\n"));
    if (row.productQuits) {
        EXPECT_EQ(outcome.text,
                  expectedMessage(row.language, 10, {sampleModuleName(row.language), row.productName}))
            << describe(outcome);
        EXPECT_EQ(exitCodeOf(applier, APPLY_TIMEOUT_MS), 0);
        EXPECT_EQ(exitCodeOf(product), 0) << "the product ended on its quit message";
        expectAllFilesReplaced();
        EXPECT_EQ(recordLevel(row.recordFile, "PTNO"), "3");
    } else {
        EXPECT_EQ(outcome.text, expectedMessage(row.language, 4, {row.productName, row.productName}))
            << describe(outcome);
        EXPECT_TRUE(outcome.icon);
        EXPECT_EQ(exitCodeOf(applier, APPLY_TIMEOUT_MS), 3);
        EXPECT_FALSE(product.hasExited()) << "the product was not left alone";
        expectNoFileReplaced();
        EXPECT_EQ(readBytes(windowsFile(row.recordFile)), recordBefore);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, RunningProduct, ::testing::ValuesIn(productCases()),
                         [](const auto& info) { return asIdentifier(info.param.name); });

// ---------------------------------------------------------------------------
// Failures part-way: what ran before the failure stays done, the level is
// not recorded.

class PartialApply : public ApplyTest, public ::testing::WithParamInterface<UiLanguage> {};

TEST_P(PartialApply, ReadOnlyDestinationStopsTheRunAndIsNamed) {
    if (geteuid() == 0) GTEST_SKIP() << "Wine run as root writes read-only files; run as an ordinary user";
    const UiLanguage& language = GetParam();
    package.writeDescription(layOutFiles(samplePatch(), "x86"));
    writeInstallationRecord("Tolva.ini", with(sampleRecord(), "DIR", installDir));
    const auto recordBefore = readBytes(windowsFile("Tolva.ini"));
    // FILE2 is the one that fails; FILE1 before it is replaced.
    fs::permissions(installed("shifted.exe"), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);

    WindowsProcess applier = startApplier(language);
    const BoxReport confirmation = waitForBox(language, BoxButton::Ok);
    ASSERT_TRUE(confirmation.found);
    const BoxReport failure = peekBox({language, BoxButton::Ok, APPLY_TIMEOUT_MS, {confirmation.hwnd}, 0});
    ASSERT_TRUE(failure.found);
    EXPECT_EQ(failure.caption, sampleTitle(language)) << describe(failure);
    EXPECT_EQ(failure.text, expectedMessage(language, 8, {installDir + "\\shifted.exe"})) << describe(failure);
    EXPECT_TRUE(failure.icon);
    EXPECT_EQ(exitCodeOf(applier), 2);

    EXPECT_EQ(readBytes(installed("plain.dll")), std::optional<std::string>(packageFiles()[0].bytes));
    EXPECT_EQ(readBytes(installed("shifted.exe")), std::optional<std::string>("old shifted.exe"));
    EXPECT_FALSE(fs::exists(installed("sub\\new.txt"))) << "no entry after the failing one is replaced";
    EXPECT_EQ(readBytes(windowsFile("Tolva.ini")), recordBefore);
}

TEST_P(PartialApply, MissingRegistryKeyStopsTheRunAfterTheFilesAndIsNamed) {
    const UiLanguage& language = GetParam();
    const std::string missingSubKey = "Software\\TolvaE2E\\NoSuchKey";
    IniValues description = layOutFiles(samplePatch(), "x86");
    description = with(description, "REGISTRIES", "1");
    description = with(description, "REGISTRY1", "0,HKEY_LOCAL_MACHINE," + missingSubKey + ",Command,unused");
    package.writeDescription(description);
    writeInstallationRecord("Tolva.ini", with(sampleRecord(), "DIR", installDir));
    const auto recordBefore = readBytes(windowsFile("Tolva.ini"));

    WindowsProcess applier = startApplier(language);
    const BoxReport confirmation = waitForBox(language, BoxButton::Ok);
    ASSERT_TRUE(confirmation.found);
    const BoxReport failure = peekBox({language, BoxButton::Ok, APPLY_TIMEOUT_MS, {confirmation.hwnd}, 0});
    ASSERT_TRUE(failure.found);
    EXPECT_EQ(failure.caption, sampleTitle(language)) << describe(failure);
    EXPECT_EQ(failure.text,
              expectedMessage(language, 21, {"HKEY_LOCAL_MACHINE\\" + missingSubKey + "\\Command"}))
        << describe(failure);
    EXPECT_TRUE(failure.icon);
    EXPECT_EQ(exitCodeOf(applier), 6);

    expectAllFilesReplaced();
    EXPECT_EQ(readBytes(windowsFile("Tolva.ini")), recordBefore) << "the level is not recorded";
}

INSTANTIATE_TEST_SUITE_P(Languages, PartialApply, ::testing::Values(JAPANESE, ENGLISH_US),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
