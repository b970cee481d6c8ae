// Whole runs over the test double: the command line, the single-instance
// rule, the confirmation and the order of the stages, as a user and a
// deployment script see them (boxes and exit code).
#include "app/run.h"

#include <gtest/gtest.h>

#include <string>

#include "app/process_values.h"
#include "settings/fixed_texts.h"
#include "tests/support/cp932.h"
#include "tests/support/fake_platform.h"
#include "tests/support/package_fixture.h"

namespace {

constexpr char RECORD[] = "C:\\Windows\\Tolva.ini";

class RunTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::reset();
        silent = 0;
        writePatchDescription(standardPatch());
        writeInstallationRecord("Tolva.ini", standardRecord());
    }

    static std::string recordedPatchLevel() { return readDecoded(RECORD, "LICENSE", "PTNO"); }
};

TEST_F(RunTest, OnlyAnEmptyLineOrExactlySilentIsAccepted) {
    const struct {
        const char* commandLine;
        int exitCode;
        std::size_t boxes;
    } cases[] = {
        {"", 0, 2},  // confirmation and success
        {"/Silent", 0, 0},
        {"/silent", 13, 1},
        {"/SILENT", 13, 1},
        {"/Silent ", 13, 1},
        {"/Silent /Silent", 13, 1},
        {"-Silent", 13, 1},
        {"\"/Silent\"", 13, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandLine);
        fake::reset();
        silent = 0;
        writePatchDescription(standardPatch());
        writeInstallationRecord("Tolva.ini", standardRecord());
        EXPECT_EQ(runApplier(c.commandLine), c.exitCode);
        EXPECT_EQ(fake::shownBoxes().size(), c.boxes);
        EXPECT_EQ(silent, std::string(c.commandLine) == "/Silent" ? 1 : 0);
    }
}

TEST_F(RunTest, AnInvalidLineIsRefusedBeforeAnythingIsRead) {
    fake::setUiLanguage(1041);
    std::filesystem::remove(fake::hostPath("C:\\package\\tlvIni.ini"));
    EXPECT_EQ(runApplier("/silent"), 13);
    ASSERT_EQ(fake::shownBoxes().size(), 1u);
    EXPECT_EQ(fake::shownBoxes()[0].text, toCp932("引数が不正です。"));
    EXPECT_EQ(fake::shownBoxes()[0].caption, "");
    EXPECT_EQ(fake::shownBoxes()[0].flags, 0x50010u);
    EXPECT_FALSE(fake::mutexAcquired());
}

TEST_F(RunTest, AMissingDescriptionNamesTheDefaultModuleNameWithoutCaption) {
    std::filesystem::remove(fake::hostPath("C:\\package\\tlvIni.ini"));
    EXPECT_EQ(runApplier(""), 5);
    ASSERT_EQ(fake::shownBoxes().size(), 1u);
    EXPECT_EQ(fake::shownBoxes()[0].text,
              std::string("A failure occurred loading ") + DEFAULT_MODULE_NAME + " information.");
    EXPECT_EQ(fake::shownBoxes()[0].caption, "");
    EXPECT_FALSE(fake::mutexAcquired());
}

TEST_F(RunTest, AMissingRecordNamesTheProductAndTheVersion) {
    std::filesystem::remove(fake::hostPath(RECORD));
    EXPECT_EQ(runApplier(""), 4);
    ASSERT_EQ(fake::shownBoxes().size(), 1u);
    EXPECT_EQ(fake::shownBoxes()[0].text,
              "After you have installed the product version of HARBORSTONE V6.5, please run.");
    EXPECT_EQ(fake::shownBoxes()[0].caption, "Caption");
}

TEST_F(RunTest, ASecondCopyLoadsItsSettingsThenGivesUp) {
    fake::holdMutexElsewhere(true);
    EXPECT_EQ(runApplier(""), 9);
    ASSERT_EQ(fake::shownBoxes().size(), 1u);
    EXPECT_EQ(fake::shownBoxes()[0].text, "Patch 7 is already started .");
    EXPECT_EQ(recordedPatchLevel(), "2");

    // A copy whose own settings fail reports that, not the other copy.
    fake::reset();
    fake::holdMutexElsewhere(true);
    EXPECT_EQ(runApplier("/Silent"), 5);
}

TEST_F(RunTest, AMutexThatCannotBeCreatedIsAnUnexpectedFailure) {
    fake::failMutexCreation(true);
    EXPECT_EQ(runApplier(""), 99);
    ASSERT_EQ(fake::shownBoxes().size(), 1u);
    EXPECT_EQ(fake::shownBoxes()[0].text, "Exception error has occurred.\nPatch 7 will terminate?");
    EXPECT_EQ(fake::shownBoxes()[0].flags, 0x50010u);
}

TEST_F(RunTest, ASilentRunAppliesWithoutAnyBoxOrPause) {
    EXPECT_EQ(runApplier("/Silent"), 0);
    EXPECT_TRUE(fake::shownBoxes().empty());
    EXPECT_EQ(fake::sleeps(), std::vector<std::uint32_t>{3000}) << "only the wait after closing the product";
    EXPECT_TRUE(fake::mutexAcquired());
    EXPECT_EQ(recordedPatchLevel(), "3");
}

TEST_F(RunTest, ConfirmationComesFirstAndSuccessFollowsAfterASecond) {
    EXPECT_EQ(runApplier(""), 0);
    ASSERT_EQ(fake::shownBoxes().size(), 2u);
    const fake::ShownBox& confirmation = fake::shownBoxes()[0];
    EXPECT_EQ(confirmation.text, "Run the Patch 7.\nAre you sure you want ?\n*Running HARBORSTONE will terminate.");
    EXPECT_EQ(confirmation.caption, "Caption");
    EXPECT_EQ(confirmation.flags, 0x40001u);
    EXPECT_EQ(fake::calls().front().kind, fake::CallKind::MessageBox);
    EXPECT_EQ(fake::sleeps(), (std::vector<std::uint32_t>{3000, 1000}));
    EXPECT_EQ(fake::shownBoxes()[1].text, "Patch 7 has been successfully applied. Please start \nHARBORSTONE.");
}

TEST_F(RunTest, JapaneseRunsReadTheJapaneseNames) {
    fake::setUiLanguage(1041);
    EXPECT_EQ(runApplier(""), 0);
    ASSERT_EQ(fake::shownBoxes().size(), 2u);
    EXPECT_EQ(fake::shownBoxes()[0].text,
              toCp932("修正パッチ7 を実行します。\nよろしいですか？\n※ 起動中の HARBORSTONE は終了します。"));
    EXPECT_EQ(fake::shownBoxes()[0].caption, toCp932("キャプション"));
}

TEST_F(RunTest, ARefusedConfirmationChangesNothing) {
    for (int answer : {platform::ANSWER_CANCEL, 0}) {
        SCOPED_TRACE(answer);
        fake::reset();
        silent = 0;
        writePatchDescription(standardPatch());
        writeInstallationRecord("Tolva.ini", standardRecord());
        fake::queueBoxAnswer(answer);
        EXPECT_EQ(runApplier(""), 0);
        EXPECT_EQ(fake::shownBoxes().size(), 1u);
        EXPECT_EQ(fake::countCalls(fake::CallKind::FindWindow), 0);
        EXPECT_EQ(recordedPatchLevel(), "2");
    }
}

TEST_F(RunTest, APatchThatDoesNotFitIsRefusedAfterTheConfirmationAndBeforeTheProductIsTouched) {
    writeInstallationRecord("Tolva.ini", with(standardRecord(), "VERSION", "64"));
    fake::addWindow({"TOLVA", "", 0});
    EXPECT_EQ(runApplier(""), 1);
    ASSERT_EQ(fake::shownBoxes().size(), 2u);
    EXPECT_EQ(fake::shownBoxes()[1].text.substr(0, 36), "This program is HARBORSTONE V6.5 onl");
    EXPECT_EQ(fake::countCalls(fake::CallKind::FindWindow), 0);
    EXPECT_EQ(fake::windowCount(), 1);
}

TEST_F(RunTest, AProductThatStaysUpStopsTheRunBeforeAnyFile) {
    writePatchDescription(with(with(standardPatch(), "FILES", "1"), "FILE1", "0,a.dll,a.dll"));
    fake::writeFile("C:\\package\\SET\\x86\\a.dll", "new");
    fake::writeFile("C:\\Tolva\\a.dll", "old");
    fake::addWindow({"TOLVA", "", -1});
    EXPECT_EQ(runApplier("/Silent"), 3);
    EXPECT_EQ(fake::readFile("C:\\Tolva\\a.dll"), "old");
    EXPECT_EQ(recordedPatchLevel(), "2");
}

TEST_F(RunTest, AFileThatCannotBeReplacedStopsTheRunBeforeTheRegistryAndTheRecord) {
    IniEntries patch = with(standardPatch(), "FILES", "1");
    patch = with(patch, "FILE1", "0,missing.dll,a.dll");
    patch = with(patch, "REGISTRIES", "1");
    patch = with(patch, "REGISTRY1", "0,HKEY_LOCAL_MACHINE,SOFTWARE\\Tolva,Path,x");
    writePatchDescription(patch);
    EXPECT_EQ(runApplier(""), 2);
    EXPECT_EQ(fake::shownBoxes().back().text,
              "I failed to update the file (C:\\Tolva\\a.dll).\nPlease check to see if not read-only, or have access "
              "permissions.");
    EXPECT_EQ(fake::countCalls(fake::CallKind::RegistryOpen), 0);
    EXPECT_EQ(recordedPatchLevel(), "2");
}

TEST_F(RunTest, TheRegistryStageRunsOnlyForAPositiveCount) {
    const struct {
        const char* count;
        int opens;
    } cases[] = {{"0", 0}, {"-1", 0}, {"1", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        fake::reset();
        IniEntries patch = with(standardPatch(), "REGISTRIES", c.count);
        patch = with(patch, "REGISTRY1", "0,HKEY_LOCAL_MACHINE,SOFTWARE\\Tolva,Path,x");
        writePatchDescription(patch);
        writeInstallationRecord("Tolva.ini", standardRecord());
        fake::registryKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Tolva").values["Path"] = {platform::VALUE_SZ, "C:\\x"};
        EXPECT_EQ(runApplier("/Silent"), 0);
        EXPECT_EQ(fake::countCalls(fake::CallKind::RegistryOpen), c.opens);
        EXPECT_EQ(recordedPatchLevel(), "3");
    }
}

TEST_F(RunTest, ARegistryFailureIsReportedAndLeavesTheLevelUnrecorded) {
    IniEntries patch = with(standardPatch(), "REGISTRIES", "1");
    patch = with(patch, "REGISTRY1", "0,HKEY_LOCAL_MACHINE,SOFTWARE\\Missing,Path,x");
    writePatchDescription(patch);
    EXPECT_EQ(runApplier(""), 6);
    EXPECT_EQ(fake::shownBoxes().back().text,
              "Failed to update the registry value (HKEY_LOCAL_MACHINE\\SOFTWARE\\Missing\\Path).\nPlease check that "
              "it exists and that you have access permissions.");
    EXPECT_EQ(recordedPatchLevel(), "2");
}

TEST_F(RunTest, ARecordThatCannotBeWrittenIsNotReportedAsSuccess) {
    fake::failProfileWrites(RECORD);
    EXPECT_EQ(runApplier(""), 7);
    EXPECT_EQ(fake::shownBoxes().back().text,
              "The files of HARBORSTONE have been updated, but its installation record (C:\\Windows\\Tolva.ini) could "
              "not be updated.\nPlease check that it is not read-only and that you have access permissions.");
    EXPECT_EQ(recordedPatchLevel(), "2");
}

TEST_F(RunTest, TheSamePackageTwiceIsRefusedAsAlreadyApplied) {
    EXPECT_EQ(runApplier("/Silent"), 0);
    // The next run is a new process: it owns no mutex yet.
    const std::string record = fake::readFile(RECORD);
    fake::reset();
    writePatchDescription(standardPatch());
    fake::makeDirectory("C:\\Tolva");
    fake::writeFile(RECORD, record);
    EXPECT_EQ(runApplier(""), 12);
    EXPECT_EQ(fake::shownBoxes().back().text, "Are already up-to-date Patch apply.");
}

}  // namespace
