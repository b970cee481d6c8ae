// The applier's start-up, end to end under Wine: the command line, the
// loading of the patch description and the installation record, the
// confirmation and the single-instance guard, each seen through its message
// box and its exit code.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "settings/fixed_texts.h"
#include "tests/e2e/harness/applier_test.h"
#include "tests/e2e/harness/expected_messages.h"
#include "tests/e2e/harness/file_bytes.h"
#include "tests/e2e/harness/sample_patch.h"

namespace e2e {
namespace {

const std::string HARBORSTONE = "HARBORSTONE";

using Records = std::vector<std::pair<std::string, IniValues>>;  // file name in C:\windows, values

// An outcome box: the row's caption and text, one OK button and the error icon.
void expectErrorBox(const BoxReport& box, const std::string& caption, const std::string& text) {
    ASSERT_TRUE(box.found) << "no message box appeared";
    EXPECT_EQ(box.caption, caption) << describe(box);
    EXPECT_EQ(box.text, text) << describe(box);
    EXPECT_EQ(box.buttons, "ok") << describe(box);
    EXPECT_TRUE(box.icon) << describe(box);
    EXPECT_TRUE(box.closed) << "the box did not close when OK was pressed";
}

// The confirmation: caption `title`, message 1, OK and Cancel, no icon.
void expectConfirmation(const BoxReport& box, const UiLanguage& language, const std::string& title,
                        const std::string& moduleName) {
    ASSERT_TRUE(box.found) << "no confirmation appeared";
    EXPECT_EQ(box.caption, title) << describe(box);
    EXPECT_EQ(box.text, expectedMessage(language, 1, {moduleName, HARBORSTONE})) << describe(box);
    EXPECT_EQ(box.buttons, "ok,cancel") << describe(box);
    EXPECT_FALSE(box.icon) << describe(box);
}

Records allRecordsBut(const std::string& missing) {
    Records records;
    for (const char* name : {"Tolva.ini", "VornCreator.ini", "VornLogMng.ini"}) {
        if (missing != name) records.emplace_back(name, sampleRecord());
    }
    return records;
}

// ---------------------------------------------------------------------------
// Start-up failures that are reported in a box.

struct OutcomeCase {
    std::string name;
    UiLanguage language;
    std::string arguments;                 // the command line after the program's name
    std::optional<IniValues> description;  // nothing: no tlvIni.ini in the package
    Records records;
    std::string caption;
    std::string text;
    int exitCode;
};

OutcomeCase invalidCommandLine(const std::string& name, const UiLanguage& language, const std::string& arguments) {
    // No patch description either: the line is judged before anything is read,
    // so the refusal has no caption and is never silent.
    return {name, language, arguments, std::nullopt, {}, "", expectedMessage(language, 14), 13};
}

OutcomeCase missingDescription(const UiLanguage& language) {
    return {std::string("NoPatchDescription_") + language.name,
            language,
            "",
            std::nullopt,
            {{"Tolva.ini", sampleRecord()}},
            "",
            expectedMessage(language, 6, {DEFAULT_MODULE_NAME}),
            5};
}

OutcomeCase missingRecord(const UiLanguage& language, const std::string& target, const std::string& recordFile,
                          const std::string& productName) {
    return {"NoInstallationRecord_Target" + target + "_" + language.name,
            language,
            "",
            with(samplePatch(), "TARGET", target),
            allRecordsBut(recordFile),
            sampleTitle(language),
            expectedMessage(language, 9, {productName, SAMPLE_VERSION_DISP}),
            4};
}

OutcomeCase settingsUnreadable(const std::string& name, const UiLanguage& language, const IniValues& description,
                               const IniValues& record) {
    return {name,
            language,
            "",
            description,
            {{"Tolva.ini", record}},
            sampleTitle(language),
            expectedMessage(language, 6, {sampleModuleName(language)}),
            5};
}

std::vector<OutcomeCase> outcomeCases() {
    return {
        invalidCommandLine("LowerCaseSilent_Japanese", JAPANESE, "/silent"),
        invalidCommandLine("LowerCaseSilent_EnglishUS", ENGLISH_US, "/silent"),
        invalidCommandLine("UpperCaseSilent", ENGLISH_US, "/SILENT"),
        invalidCommandLine("HyphenSilent", ENGLISH_US, "-Silent"),
        invalidCommandLine("SilentTwice", JAPANESE, "/Silent /Silent"),
        invalidCommandLine("SilentWithTrailingBlank", ENGLISH_US, "/Silent "),
        invalidCommandLine("SilentInQuotes", JAPANESE, "\"/Silent\""),

        missingDescription(JAPANESE),
        missingDescription(ENGLISH_US),
        // Under 2057 no name key is ever read, so the default name shows too.
        missingDescription(ENGLISH_UK),

        missingRecord(JAPANESE, "0", "Tolva.ini", HARBORSTONE),
        // Only the first character of TARGET chooses the record.
        missingRecord(ENGLISH_US, "12", "Tolva.ini", HARBORSTONE),
        missingRecord(JAPANESE, "2", "VornCreator.ini", INSTALLER_CREATOR_NAME),
        // The installer-creator tool keeps its Japanese name on an English system.
        missingRecord(ENGLISH_US, "2", "VornCreator.ini", INSTALLER_CREATOR_NAME),
        missingRecord(JAPANESE, "3", "VornLogMng.ini", expectedMessage(JAPANESE, 20)),
        missingRecord(ENGLISH_US, "3", "VornLogMng.ini", expectedMessage(ENGLISH_US, 20)),
        // 2057 reads neither MODULE_NM nor MODULE_NM_E, nor their captions.
        {"NoInstallationRecord_EnglishUK",
         ENGLISH_UK,
         "",
         samplePatch(),
         {},
         "",
         expectedMessage(ENGLISH_UK, 9, {HARBORSTONE, SAMPLE_VERSION_DISP}),
         4},
        // Without TITLE_NM the module name is the caption.
        {"NoTitle_Japanese",
         JAPANESE,
         "",
         without(samplePatch(), "TITLE_NM"),
         {},
         sampleModuleName(JAPANESE),
         expectedMessage(JAPANESE, 9, {HARBORSTONE, SAMPLE_VERSION_DISP}),
         4},

        settingsUnreadable("TargetOutOfRange_Japanese", JAPANESE, with(samplePatch(), "TARGET", "4"), sampleRecord()),
        settingsUnreadable("RecordWithoutDir_EnglishUS", ENGLISH_US, samplePatch(), without(sampleRecord(), "DIR")),
        settingsUnreadable("RecordWithoutVersion_Japanese", JAPANESE, samplePatch(),
                           without(sampleRecord(), "VERSION")),
        settingsUnreadable("FileLineMissing_EnglishUS", ENGLISH_US, with(samplePatch(), "FILES", "1"),
                           sampleRecord()),
        // Nothing names the patch under 2057: the default name stands in.
        {"TargetMissing_EnglishUK",
         ENGLISH_UK,
         "",
         without(samplePatch(), "TARGET"),
         {{"Tolva.ini", sampleRecord()}},
         "",
         expectedMessage(ENGLISH_UK, 6, {DEFAULT_MODULE_NAME}),
         5},
    };
}

void PrintTo(const OutcomeCase& row, std::ostream* out) { *out << row.name; }

class StartupOutcome : public ApplierTest, public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(StartupOutcome, ShowsTheRowsMessageAndExitsWithItsCode) {
    const OutcomeCase& row = GetParam();
    if (row.description) package.writeDescription(*row.description);
    for (const auto& [file, values] : row.records) writeInstallationRecord(file, values);

    WindowsProcess applier = startApplier(row.language, row.arguments);
    const BoxReport box = waitForBox(row.language, BoxButton::Ok);
    expectErrorBox(box, row.caption, row.text);
    EXPECT_EQ(exitCodeOf(applier), row.exitCode);
}

INSTANTIATE_TEST_SUITE_P(Rows, StartupOutcome, ::testing::ValuesIn(outcomeCases()),
                         [](const auto& info) { return asIdentifier(info.param.name); });

// ---------------------------------------------------------------------------
// "/Silent": the same failures, told by the exit code alone.

struct SilentCase {
    std::string name;
    std::optional<IniValues> description;
    Records records;
    int exitCode;
};

void PrintTo(const SilentCase& row, std::ostream* out) { *out << row.name; }

class SilentStartup : public ApplierTest, public ::testing::WithParamInterface<SilentCase> {};

TEST_P(SilentStartup, ShowsNoBoxAndExitsWithTheCode) {
    const SilentCase& row = GetParam();
    if (row.description) package.writeDescription(*row.description);
    for (const auto& [file, values] : row.records) writeInstallationRecord(file, values);

    // Blanks between the program's name and "/Silent" do not count.
    const std::pair<UiLanguage, std::string> runs[] = {{JAPANESE, "/Silent"}, {ENGLISH_US, "   /Silent"}};
    for (const auto& [language, arguments] : runs) {
        EXPECT_EQ(runWithoutBox(language, arguments), row.exitCode) << language << ", command line [" << arguments << "]";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SilentStartup,
    ::testing::Values(SilentCase{"NoPatchDescription", std::nullopt, {{"Tolva.ini", sampleRecord()}}, 5},
                      SilentCase{"NoInstallationRecord", samplePatch(), allRecordsBut("Tolva.ini"), 4},
                      SilentCase{"RecordWithoutDir", samplePatch(), {{"Tolva.ini", without(sampleRecord(), "DIR")}}, 5},
                      SilentCase{"TargetOutOfRange", with(samplePatch(), "TARGET", "4"),
                                 {{"Tolva.ini", sampleRecord()}}, 5}),
    [](const auto& info) { return asIdentifier(info.param.name); });

// ---------------------------------------------------------------------------
// The confirmation, in each interface language.

class Confirmation : public ApplierTest, public ::testing::WithParamInterface<UiLanguage> {};

TEST_P(Confirmation, NamesThePatchAndTheProductAndCancelEndsTheRunWithNothingChanged) {
    const UiLanguage& language = GetParam();
    package.writeDescription(samplePatch());
    writeInstallationRecord("Tolva.ini", sampleRecord());
    const auto recordBefore = readBytes(windowsFile("Tolva.ini"));

    WindowsProcess applier = startApplier(language);
    const BoxReport box = waitForBox(language, BoxButton::Cancel);
    expectConfirmation(box, language, sampleTitle(language), sampleModuleName(language));
    EXPECT_TRUE(box.closed);

    // Cancel ends the run quietly: the applier ends without another box.
    EXPECT_EQ(exitCodeOf(applier), 0);
    EXPECT_EQ(readBytes(windowsFile("Tolva.ini")), recordBefore);
}

// Under 2057 the caption and the module name are empty: no name key is read.
INSTANTIATE_TEST_SUITE_P(Languages, Confirmation, ::testing::Values(JAPANESE, ENGLISH_US, ENGLISH_UK),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// One copy at a time: the first holds the named mutex while it waits at its
// confirmation.

class SingleInstance : public ApplierTest, public ::testing::WithParamInterface<UiLanguage> {};

TEST_P(SingleInstance, SecondCopyIsRefusedAfterLoadingItsOwnSettingsWhileTheFirstRunsOn) {
    const UiLanguage& language = GetParam();
    package.writeDescription(samplePatch());
    writeInstallationRecord("Tolva.ini", sampleRecord());
    const auto recordBefore = readBytes(windowsFile("Tolva.ini"));

    WindowsProcess first = startApplier(language);
    const BoxReport firstBox = waitForBox(language, BoxButton::None);
    expectConfirmation(firstBox, language, sampleTitle(language), sampleModuleName(language));
    ASSERT_TRUE(firstBox.found);

    // Another package with names of its own: the refusal names the second
    // copy's patch, which it has loaded before it tried the mutex.
    const Package other = makePackage();
    other.writeDescription(with(with(with(with(samplePatch(), "MODULE_NM", cp932("別パッチ")), "TITLE_NM",
                                          cp932("別タイトル")),
                                     "MODULE_NM_E", "Other Patch"),
                                "TITLE_NM_E", "Other Title"));
    const std::string otherName = language.japanese ? cp932("別パッチ") : "Other Patch";
    const std::string otherTitle = language.japanese ? cp932("別タイトル") : "Other Title";
    {
        WindowsProcess second = startApplier(language, "", &other);
        const BoxReport refusal = waitForBox(language, BoxButton::Ok, {firstBox.hwnd});
        expectErrorBox(refusal, otherTitle, expectedMessage(language, 3, {otherName}));
        EXPECT_EQ(exitCodeOf(second), 9);
    }
    EXPECT_EQ(runWithoutBox(language, "/Silent", &other), 9) << "silent second copy";

    // Settings are loaded before the mutex is tried: their failure wins.
    {
        const Package empty = makePackage();
        WindowsProcess third = startApplier(language, "", &empty);
        const BoxReport failure = waitForBox(language, BoxButton::Ok, {firstBox.hwnd});
        expectErrorBox(failure, "", expectedMessage(language, 6, {DEFAULT_MODULE_NAME}));
        EXPECT_EQ(exitCodeOf(third), 5);
    }

    // The first copy ran on undisturbed: its confirmation is still there.
    ASSERT_FALSE(first.hasExited());
    const BoxReport cancelled = pressBox(language, firstBox.hwnd, BoxButton::Cancel);
    EXPECT_TRUE(cancelled.closed) << describe(cancelled);
    EXPECT_EQ(exitCodeOf(first), 0);
    EXPECT_EQ(readBytes(windowsFile("Tolva.ini")), recordBefore);

    // Once the holder has ended, normally or killed, the next copy takes the
    // mutex anew and asks for confirmation instead of refusing.
    BoxReport killedBox;
    {
        WindowsProcess killedLater = startApplier(language);
        killedBox = waitForBox(language, BoxButton::None);
        expectConfirmation(killedBox, language, sampleTitle(language), sampleModuleName(language));
        killedLater.kill();
        ASSERT_TRUE(waitUntilBoxGone(language, killedBox.hwnd)) << "the killed copy's box stayed";
    }
    WindowsProcess last = startApplier(language);
    const BoxReport lastBox = waitForBox(language, BoxButton::Cancel, {killedBox.hwnd});
    expectConfirmation(lastBox, language, sampleTitle(language), sampleModuleName(language));
    EXPECT_EQ(exitCodeOf(last), 0);
}

INSTANTIATE_TEST_SUITE_P(Languages, SingleInstance, ::testing::Values(JAPANESE, ENGLISH_US),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
