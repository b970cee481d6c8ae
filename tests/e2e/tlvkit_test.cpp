// The patch authoring kit against the real applier under Wine: what
// "tlvkit check" predicts is what tlvpatch.exe then does, and a package that
// "tlvkit build" makes applies.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/harness/applier_test.h"
#include "tests/e2e/harness/child_process.h"
#include "tests/e2e/harness/e2e_setup.h"
#include "tests/e2e/harness/expected_messages.h"
#include "tests/e2e/harness/file_bytes.h"
#include "tests/e2e/harness/wine_registry.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

constexpr int KIT_TIMEOUT_MS = 60000;
// closeProduct waits 3 s per window name even when the product is not running.
constexpr int APPLY_TIMEOUT_MS = 60000;

struct KitResult {
    int exitCode;
    std::string out;
    std::string err;
};

// The native tlvkit: TOLVA_E2E_TLVKIT, else beside the Windows programs
// (scripts/run-e2e.sh copies it there).
fs::path tlvkitProgram() {
    if (const char* chosen = std::getenv("TOLVA_E2E_TLVKIT")) return chosen;
    return e2eSetup().binDir / "tlvkit";
}

// One line per key: a manifest for the sample patch (PTNO 3 for HARBORSTONE
// V6.5, version 65), varied by the tests.
struct ManifestSpec {
    std::string target = "0";
    std::string moduleType = "0";
    std::string level = "3";  // PTNO, or SPNO651 for a service pack
    std::vector<std::string> files;       // "file = ..." values
    std::vector<std::string> registries;  // "registry = ..." values
};

std::string manifestText(const ManifestSpec& spec) {
    std::string text = "[INSTALL]\nTARGET = " + spec.target + "\nMODULE_TYPE = " + spec.moduleType +
                       "\nMODULE_NM = テスト修正パッチ\nTITLE_NM = テスト表示タイトル\n"
                       "MODULE_NM_E = Test Patch 7\nTITLE_NM_E = Test Patch Title\n"
                       "VERSION = 65\nVERSION_DISP = V6.5\n" +
                       (spec.moduleType == "1" ? "SPNO651 = " : "PTNO = ") + spec.level + "\n[FILES]\n";
    for (const std::string& file : spec.files) text += "file = " + file + "\n";
    text += "[REGISTRY]\n";
    for (const std::string& registry : spec.registries) text += "registry = " + registry + "\n";
    return text;
}

class KitTest : public ApplierTest {
protected:
    void SetUp() override {
        ApplierTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        if (!fs::is_regular_file(tlvkitProgram())) {
            const std::string missing = "the native tlvkit is not at " + tlvkitProgram().string() +
                                        " (set TOLVA_E2E_TLVKIT, or let scripts/run-e2e.sh copy it)";
            if (std::getenv("TOLVA_E2E_REQUIRE") != nullptr) FAIL() << missing;
            GTEST_SKIP() << missing;
        }
        sourceDir = package.unixDir / "source";
        kitPackage.windowsDir = package.windowsDir + ".kit";
        kitPackage.unixDir = prefix().unixPath(kitPackage.windowsDir);
        fs::remove_all(kitPackage.unixDir);
        installDir = makeInstallDir();
    }

    KitResult kit(const std::vector<std::string>& args) {
        LaunchOptions options;
        options.argv.push_back(tlvkitProgram().string());
        options.argv.insert(options.argv.end(), args.begin(), args.end());
        options.captureStdout = true;
        const fs::path errFile = package.unixDir / "tlvkit-stderr.txt";
        fs::remove(errFile);
        options.stderrFile = errFile.string();
        const auto [exitCode, out] = runToEnd(options, KIT_TIMEOUT_MS);
        return {exitCode, out, readBytes(errFile).value_or("")};
    }

    // Builds the package from `spec` with the payload files the test wrote
    // under source/, and this test's copy of tlvpatch.exe.
    void buildPackage(const ManifestSpec& spec) {
        writeBytes(sourceDir / "patch.ini", manifestText(spec));
        const KitResult built = kit({"build", "--applier", (package.unixDir / APPLIER_PROGRAM).string(),
                                     (sourceDir / "patch.ini").string(), kitPackage.unixDir.string()});
        ASSERT_EQ(built.exitCode, 0) << built.err;
    }

    void writeRecord(const std::string& fileName, const std::vector<std::string>& options) {
        std::vector<std::string> args = {"record", windowsFile(fileName).string()};
        args.insert(args.end(), options.begin(), options.end());
        const KitResult made = kit(args);
        ASSERT_EQ(made.exitCode, 0) << made.err;
    }

    fs::path installed(const std::string& relative) const { return prefix().unixPath(installDir + "\\" + relative); }

    fs::path sourceDir;
    Package kitPackage;
    std::string installDir;
};

// ---------------------------------------------------------------------------
// Agreement: for each installation and package, check's exit code is the
// applier's, run with /Silent.

struct AgreementCase {
    std::string name;
    std::string target;
    std::string moduleType;
    std::string level;
    std::string recordFile;  // "": no installation record at all
    std::string version;
    std::string edition;     // standard or enhanced
    std::string sp;
    std::string pt;
    bool sourceMissing;
    int expectedExitCode;    // what both must say
};

void PrintTo(const AgreementCase& row, std::ostream* out) { *out << row.name; }

std::vector<AgreementCase> agreementCases() {
    return {
        {"PatchApplies", "0", "0", "3", "Tolva.ini", "65", "standard", "1", "2", false, 0},
        {"ServicePackApplies", "0", "1", "2", "Tolva.ini", "65", "standard", "1", "9", false, 0},
        {"OtherVersionInstalled", "0", "0", "3", "Tolva.ini", "66", "standard", "1", "2", false, 1},
        {"VersionWithATrailingBlank", "0", "0", "3", "Tolva.ini", "65 ", "standard", "1", "2", false, 1},
        {"StandardPatchOnEnhancedEdition", "0", "0", "3", "Tolva.ini", "65", "enhanced", "1", "2", false, 10},
        {"EnhancedPatchOnStandardEdition", "1", "0", "3", "Tolva.ini", "65", "standard", "1", "2", false, 10},
        {"EnhancedPatchOnEnhancedEdition", "1", "0", "3", "Tolva.ini", "65", "enhanced", "1", "2", false, 0},
        {"PatchLevelReached", "0", "0", "3", "Tolva.ini", "65", "standard", "1", "3", false, 12},
        {"PatchLevelPassed", "0", "0", "3", "Tolva.ini", "65", "standard", "1", "5", false, 12},
        {"ServicePackLevelReached", "0", "1", "2", "Tolva.ini", "65", "standard", "2", "0", false, 12},
        {"NotInstalled", "0", "0", "3", "", "", "", "", "", false, 4},
        {"RecordOfAnotherProduct", "2", "0", "3", "Tolva.ini", "65", "standard", "1", "2", false, 4},
        {"InstallerCreatorPatchApplies", "2", "0", "3", "VornCreator.ini", "65", "enhanced", "1", "2", false, 0},
        {"SourceMissingFromThePackage", "0", "0", "3", "Tolva.ini", "65", "standard", "1", "2", true, 2},
    };
}

class CheckAgreesWithTheApplier : public KitTest, public ::testing::WithParamInterface<AgreementCase> {};

TEST_P(CheckAgreesWithTheApplier, PredictedExitCodeIsTheAppliersUnderSilent) {
    const AgreementCase& row = GetParam();
    writeBytes(sourceDir / "payload" / "tolva.exe", allByteValues(1500));
    writeBytes(sourceDir / "payload" / "readme.txt", "read me\r\n");
    fs::create_directories(installed("bin"));
    ManifestSpec spec;
    spec.target = row.target;
    spec.moduleType = row.moduleType;
    spec.level = row.level;
    spec.files = {"1, payload/tolva.exe, tolva.exe, bin\\tolva.exe", "0, payload/readme.txt, readme.txt, readme.txt"};
    ASSERT_NO_FATAL_FAILURE(buildPackage(spec));
    if (row.sourceMissing) fs::remove(kitPackage.unixDir / "SET" / "x86" / "readme.txt");
    if (!row.recordFile.empty()) {
        ASSERT_NO_FATAL_FAILURE(writeRecord(row.recordFile, {"--version", row.version, "--sp", row.sp, "--pt", row.pt,
                                                             "--edition", row.edition, "--dir", installDir}));
    }

    // The Windows directory stands for the machine, as the applier sees it.
    const KitResult predicted = kit({"check", kitPackage.unixDir.string(), prefix().windowsDirectory().string()});
    const std::int64_t actual = runWithoutBox(JAPANESE, "/Silent", &kitPackage);
    EXPECT_EQ(predicted.exitCode, row.expectedExitCode) << predicted.out << predicted.err;
    EXPECT_EQ(actual, predicted.exitCode) << predicted.out;
}

INSTANTIATE_TEST_SUITE_P(Rows, CheckAgreesWithTheApplier, ::testing::ValuesIn(agreementCases()),
                         [](const auto& info) { return asIdentifier(info.param.name); });

TEST_F(KitTest, CheckForeseesThatNamesInCodePage932AreOtherNamesUnderAnEnglishInterface) {
    writeBytes(sourceDir / "payload" / "変更点.txt", "notes\r\n");
    fs::create_directories(installed("doc"));
    ManifestSpec spec;
    spec.files = {"0, payload/変更点.txt, 変更点.txt, doc\\変更点.txt"};
    ASSERT_NO_FATAL_FAILURE(buildPackage(spec));
    ASSERT_NO_FATAL_FAILURE(writeRecord("Tolva.ini", {"--version", "65", "--pt", "2", "--edition", "standard",
                                                      "--dir", installDir}));

    const KitResult predicted =
        kit({"check", "--language", "en", kitPackage.unixDir.string(), windowsFile("Tolva.ini").string()});
    EXPECT_EQ(predicted.exitCode, 2) << predicted.out;
    EXPECT_EQ(runWithoutBox(ENGLISH_US, "/Silent", &kitPackage), predicted.exitCode);
    EXPECT_FALSE(fs::exists(installed("doc\\変更点.txt")));
}

// ---------------------------------------------------------------------------
// The message: the lines that check prints for a language are the text of
// the box that the applier shows in it.

struct MessageCase {
    std::string name;
    UiLanguage language;
    std::string checkLanguage;
    std::string edition;
    std::string pt;
    int exitCode;
};

void PrintTo(const MessageCase& row, std::ostream* out) { *out << row.name; }

// The caption and text of one language's box in check's output, in UTF-8.
std::pair<std::string, std::string> predictedBox(const std::string& output, const std::string& languageName) {
    const std::string header = "  " + languageName + " box, caption \"";
    const std::size_t at = output.find(header);
    if (at == std::string::npos) return {"<none>", "<none>"};
    const std::size_t captionBegin = at + header.size();
    const std::size_t captionEnd = output.find("\":\n", captionBegin);
    std::string text;
    std::size_t line = captionEnd + 3;
    while (output.compare(line, 4, "    ") == 0) {
        const std::size_t end = output.find('\n', line);
        text += (text.empty() ? "" : "\n") + output.substr(line + 4, end - line - 4);
        line = end + 1;
    }
    return {output.substr(captionBegin, captionEnd - captionBegin), text};
}

class CheckShowsTheAppliersMessage : public KitTest, public ::testing::WithParamInterface<MessageCase> {};

TEST_P(CheckShowsTheAppliersMessage, InTheLanguageOfTheBox) {
    const MessageCase& row = GetParam();
    ASSERT_NO_FATAL_FAILURE(buildPackage(ManifestSpec{}));
    ASSERT_NO_FATAL_FAILURE(writeRecord("Tolva.ini", {"--version", "65", "--pt", row.pt, "--edition", row.edition,
                                                      "--dir", installDir}));
    const KitResult predicted =
        kit({"check", "--language", row.checkLanguage, kitPackage.unixDir.string(), windowsFile("Tolva.ini").string()});
    ASSERT_EQ(predicted.exitCode, row.exitCode) << predicted.out << predicted.err;
    const auto [caption, text] = predictedBox(predicted.out, row.language.japanese ? "Japanese" : "English");

    WindowsProcess applier = startApplier(row.language, "", &kitPackage);
    const BoxReport confirmation = waitForBox(row.language, BoxButton::Ok);
    ASSERT_TRUE(confirmation.found);
    const BoxReport outcome = waitForBox(row.language, BoxButton::Ok, {confirmation.hwnd});
    ASSERT_TRUE(outcome.found);
    EXPECT_EQ(outcome.caption, inCodePage(row.language, caption)) << describe(outcome);
    EXPECT_EQ(outcome.text, inCodePage(row.language, text)) << describe(outcome) << "\n" << predicted.out;
    EXPECT_EQ(exitCodeOf(applier), row.exitCode);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CheckShowsTheAppliersMessage,
    ::testing::Values(MessageCase{"StandardPatchOnEnhancedEditionInJapanese", JAPANESE, "ja", "enhanced", "2", 10},
                      MessageCase{"UpToDateInEnglish", ENGLISH_US, "en", "standard", "3", 12}),
    [](const auto& info) { return asIdentifier(info.param.name); });

// ---------------------------------------------------------------------------

TEST_F(KitTest, APackageMadeByBuildAppliesAndShowReportsTheNewLevel) {
    const std::string tool = allByteValues(2500);  // crosses the applier's 1024-byte blocks
    const std::string manual = "マニュアル第2版\r\n";
    writeBytes(sourceDir / "payload" / "tolva.exe", tool);
    writeBytes(sourceDir / "payload" / "マニュアル.txt", manual);
    writeBytes(installed("bin\\tolva.exe"), "old tolva.exe");
    fs::create_directories(installed("文書"));
    const std::string registrySubKey = "Software\\TolvaE2E\\" + asIdentifier(currentTestName());
    setRegistryString("HKEY_LOCAL_MACHINE\\" + registrySubKey, "Command", "C:\\Tolva\\tolva.exe /start");

    ManifestSpec spec;
    spec.files = {"1, payload/tolva.exe, tolva.exe, bin\\tolva.exe",
                  "0, payload/マニュアル.txt, マニュアル.txt, 文書\\表.txt"};
    spec.registries = {"0, HKEY_LOCAL_MACHINE, " + registrySubKey + ", Command, -"};
    ASSERT_NO_FATAL_FAILURE(buildPackage(spec));
    ASSERT_NO_FATAL_FAILURE(writeRecord("Tolva.ini", {"--version", "65", "--sp", "1", "--pt", "2", "--edition",
                                                      "standard", "--dir", installDir}));

    EXPECT_EQ(kit({"check", kitPackage.unixDir.string(), windowsFile("Tolva.ini").string()}).exitCode, 0);
    EXPECT_EQ(runWithoutBox(JAPANESE, "/Silent", &kitPackage), 0);

    EXPECT_EQ(byteDifference(readBytes(installed("bin\\tolva.exe")).value_or("<missing>"), tool), "");
    EXPECT_EQ(readBytes(installed("文書\\表.txt")), std::optional<std::string>(manual));
    EXPECT_EQ(registryString("HKEY_LOCAL_MACHINE\\" + registrySubKey, "Command"),
              std::optional<std::string>("\"C:\\Tolva\\tolva.exe /start\""));

    const KitResult shown = kit({"show", windowsFile("Tolva.ini").string()});
    EXPECT_EQ(shown.exitCode, 0) << shown.out;
    const std::size_t ptno = shown.out.find("  PTNO ");
    ASSERT_NE(ptno, std::string::npos) << shown.out;
    EXPECT_EQ(shown.out.substr(shown.out.find('=', ptno), 4), "= 3\n") << shown.out;

    // The same package again: already up to date, as check now says too.
    EXPECT_EQ(kit({"check", kitPackage.unixDir.string(), windowsFile("Tolva.ini").string()}).exitCode, 12);
    EXPECT_EQ(runWithoutBox(JAPANESE, "/Silent", &kitPackage), 12);
}

}  // namespace
}  // namespace e2e
