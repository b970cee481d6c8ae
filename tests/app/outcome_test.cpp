#include "app/outcome.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "actions/failure_details.h"
#include "app/load_text.h"
#include "app/process_values.h"
#include "settings/bounded_text.h"
#include "settings/fixed_texts.h"
#include "tests/support/cp932.h"
#include "tests/support/fake_platform.h"

namespace {

class OutcomeTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::reset();
        silent = 0;
        failedFile[0] = '\0';
        failedRegistryValue[0] = '\0';
        copyText(context.moduleName, "Patch 7");
        copyText(context.title, "Caption");
        copyText(context.productName, "HARBORSTONE");
        copyText(context.versionDisp, "V6.5");
        copyText(context.version, "65");
        copyText(context.productIniPath, "C:\\Windows\\Tolva.ini");
    }

    PatchContext context{};
};

struct RowCase {
    ResultCode code;
    int exitCode;
    const char* text;
};

TEST_F(OutcomeTest, EveryRowHasItsExitCodeMessageAndArgumentOrder) {
    copyText(failedFile, "C:\\Tolva\\bin\\a.dll");
    copyText(failedRegistryValue, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Tolva\\Path");
    const RowCase rows[] = {
        {-1, 99, "Exception error has occurred.\nPatch 7 will terminate?"},
        {2, 5, "A failure occurred loading Patch 7 information."},
        {4, 3, "HARBORSTONE has been started.\nAfter the HARBORSTONE is terminated, please run again apply program."},
        {5, 1, "This program is HARBORSTONE V6.5 only.\nBecause the version / level of products that are installed "
               "on your PC is different you can not run this program ."},
        {8, 4, "After you have installed the product version of HARBORSTONE V6.5, please run."},
        {9, 9, "Patch 7 is already started ."},
        {10, 10, "This program is Standard / Professional only.\nCan not be performed because of the product is "
                 "Enterprise that are installed."},
        {11, 10, "This program is Enterprise only.\nProduct can not be executed because of Standard / Professional "
                 "is installed."},
        {12, 12, "Are already up-to-date Patch apply."},
        {13, 13, "Parameter is invalid."},
        {20, 2, "I failed to update the file (C:\\Tolva\\bin\\a.dll).\nPlease check to see if not read-only, or have "
                "access permissions."},
        {30, 6, "Failed to update the registry value (HKEY_LOCAL_MACHINE\\SOFTWARE\\Tolva\\Path).\nPlease check that "
                "it exists and that you have access permissions."},
        {40, 7, "The files of HARBORSTONE have been updated, but its installation record (C:\\Windows\\Tolva.ini) "
                "could not be updated.\nPlease check that it is not read-only and that you have access permissions."},
    };
    for (const RowCase& row : rows) {
        SCOPED_TRACE(row.code);
        fake::reset();
        const int exitCode = reportOutcome(describeOutcome(row.code, context), context);
        EXPECT_EQ(exitCode, row.exitCode);
        ASSERT_EQ(fake::shownBoxes().size(), 1u);
        const fake::ShownBox& box = fake::shownBoxes()[0];
        // A row's text is cut to the 254 bytes of the message buffer.
        EXPECT_EQ(box.text, std::string(row.text).substr(0, MESSAGE_BUFFER_SIZE - 1));
        EXPECT_EQ(box.caption, "Caption");
        EXPECT_EQ(box.flags, 0x50010u);
        EXPECT_TRUE(fake::sleeps().empty());
    }
}

TEST_F(OutcomeTest, CodesWithoutARowEndQuietlyWithExitCodeZero) {
    for (ResultCode code : {1, 3, 7, 14, 15, 16, 17, 18, 19, 21, -2, -100}) {
        fake::reset();
        EXPECT_EQ(reportOutcome(describeOutcome(code, context), context), 0) << code;
        EXPECT_TRUE(fake::shownBoxes().empty()) << code;
    }
}

TEST_F(OutcomeTest, SilentRunsShowNoBoxButKeepTheExitCode) {
    silent = 1;
    EXPECT_EQ(reportOutcome(describeOutcome(11, context), context), 10);
    EXPECT_EQ(reportOutcome(describeOutcome(0, context), context), 0);
    EXPECT_EQ(reportOutcome(describeUnexpectedFailure(context), context), 99);
    EXPECT_TRUE(fake::shownBoxes().empty());
    EXPECT_TRUE(fake::sleeps().empty());
}

TEST_F(OutcomeTest, SuccessWaitsASecondThenShowsTheSuccessBoxWithoutIcon) {
    EXPECT_EQ(reportOutcome(describeOutcome(0, context), context), 0);
    ASSERT_EQ(fake::calls().size(), 2u);
    EXPECT_EQ(fake::calls()[0].kind, fake::CallKind::Sleep);
    EXPECT_EQ(fake::calls()[0].number, 1000u);
    EXPECT_EQ(fake::calls()[1].kind, fake::CallKind::MessageBox);
    const fake::ShownBox& box = fake::shownBoxes().at(0);
    EXPECT_EQ(box.text, "Patch 7 has been successfully applied. Please start \nHARBORSTONE.");
    EXPECT_EQ(box.flags, 0x50000u);
}

TEST_F(OutcomeTest, AnUnexpectedFailureIsSystemModal) {
    EXPECT_EQ(reportOutcome(describeUnexpectedFailure(context), context), 99);
    const fake::ShownBox& box = fake::shownBoxes().at(0);
    EXPECT_EQ(box.text, "Exception error has occurred.\nPatch 7 will terminate?");
    EXPECT_EQ(box.flags, 0x51010u);
}

TEST_F(OutcomeTest, EditionWordFollowsTheSecondCharacterOfTheVersion) {
    struct EditionCase {
        const char* version;
        const char* word;
    };
    const EditionCase cases[] = {
        {"64", "Security enhanced version"}, {"65", "Enterprise"},  {"69", "Enterprise"},
        {"6A", "Security enhanced version"}, {"6", "Security enhanced version"},
        {"", "Security enhanced version"},   {"60", "Security enhanced version"},
    };
    for (const EditionCase& c : cases) {
        copyText(context.version, c.version);
        const Outcome outcome = describeOutcome(10, context);
        EXPECT_EQ(std::string(outcome.text),
                  std::string("This program is Standard / Professional only.\nCan not be performed because of the "
                              "product is ") + c.word + " that are installed.")
            << c.version;
    }
}

TEST_F(OutcomeTest, LevelWordFollowsTheModuleType) {
    const struct {
        std::int32_t moduleType;
        const char* word;
    } cases[] = {{0, "Patch"}, {1, "Service Pack"}, {2, "Service Pack"}, {-1, "Service Pack"}};
    for (const auto& c : cases) {
        context.moduleType = c.moduleType;
        EXPECT_EQ(std::string(describeOutcome(12, context).text),
                  std::string("Are already up-to-date ") + c.word + " apply.");
    }
}

TEST_F(OutcomeTest, EmptyModuleNameGivesTheDefaultNameOnlyForUnreadableSettings) {
    context.moduleName[0] = '\0';
    EXPECT_EQ(std::string(describeOutcome(2, context).text),
              std::string("A failure occurred loading ") + DEFAULT_MODULE_NAME + " information.");
    EXPECT_EQ(std::string(describeOutcome(9, context).text), " is already started .");
    EXPECT_EQ(std::string(describeOutcome(-1, context).text), "Exception error has occurred.\n will terminate?");

    fake::setUiLanguage(1041);
    EXPECT_EQ(std::string(describeOutcome(2, context).text),
              toCp932("パッチ・SP適用ファイル の情報取得に失敗しました。"));
}

TEST_F(OutcomeTest, JapaneseRowsInsertJapaneseWords) {
    fake::setUiLanguage(1041);
    context.moduleType = 0;
    EXPECT_EQ(std::string(describeOutcome(12, context).text), toCp932("既に最新の 修正パッチ が適用されています。"));
    copyText(context.version, "64");
    EXPECT_EQ(std::string(describeOutcome(10, context).text),
              toCp932("当プログラムは  Standard / Professional 専用です。\nインストールされている製品は "
                      "セキュリティ強化版 のため実行できません。"));
    EXPECT_EQ(std::string(describeOutcome(11, context).text),
              toCp932("当プログラムは セキュリティ強化版 専用です。\nインストールされている製品は "
                      "Standard / Professional のため実行できません。"));
}

TEST_F(OutcomeTest, LongFailedFileIsCutAtACharacterBoundary) {
    fake::setUiLanguage(1041);
    // Japanese message 8 begins with "[ファイル名：" (13 bytes); a name of
    // Japanese characters then reaches the cut with a whole character.
    std::string name;
    while (name.size() < 259 - 2) name += toCp932("ソ");
    copyText(failedFile, name.c_str());
    const Outcome outcome = describeOutcome(20, context);
    const std::string text(outcome.text);
    EXPECT_LE(text.size(), MESSAGE_BUFFER_SIZE - 1);
    EXPECT_EQ(text.size() % 2, 1u) << "13 bytes of prefix then whole double-byte characters";
}

TEST(LoadTextTest, EachCallOverwritesTheSharedBuffer) {
    fake::reset();
    const char* first = loadText(16);
    EXPECT_STREQ(first, "Service Pack");
    const char* second = loadText(17);
    EXPECT_EQ(first, second);
    EXPECT_STREQ(first, "Patch");
    EXPECT_STREQ(loadText(5), "") << "no such message";
}

}  // namespace
