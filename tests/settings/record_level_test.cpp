// Writing the applied level into the installation record, read back as the
// next run reads it.
#include "settings/record_level.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/platform.h"
#include "settings/number_text.h"
#include "settings/read_setting.h"
#include "tests/support/fake_platform.h"
#include "tests/support/ini_builder.h"

namespace {

constexpr char RECORD[] = "C:\\Windows\\Tolva.ini";

class RecordLevelTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::reset();
        fake::writeFile(RECORD, buildIni({{"LICENSE", "VERSION", "65"},
                                          {"LICENSE", "SPNO651", "1"},
                                          {"LICENSE", "PTNO", "2"},
                                          {"LICENSE", "DIR", "C:\\Tolva"}}));
        std::strcpy(context.productIniPath, RECORD);
    }

    // The stored (encoded) text of a key, as it is in the file.
    static std::string stored(const char* key) {
        char value[1024] = {};
        platform::readProfileString("LICENSE", key, "", value, sizeof value, RECORD);
        return value;
    }

    // The key read back as the next run reads it: decoded, then a number.
    static std::int32_t readBack(const char* key) {
        char text[260] = {};
        EXPECT_EQ(readSetting("LICENSE", key, "", text, sizeof text, RECORD), 0) << key;
        return readNumber(text);
    }

    PatchContext context{};
};

TEST_F(RecordLevelTest, WritesTheLevelOfTheKindOfPackageAndNothingElse) {
    const struct {
        std::int32_t moduleType;
        std::int32_t spNo;
        std::int32_t ptNo;
        const char* writtenKey;
        const char* keptKey;
        std::int32_t written;
        const char* decimal;
    } cases[] = {
        {1, 3, 99, "SPNO651", "PTNO", 3, "3"},
        {0, 99, 12, "PTNO", "SPNO651", 12, "12"},
        {0, 99, -5, "PTNO", "SPNO651", -5, "-5"},
        {2, 7, 99, "SPNO651", "PTNO", 7, "7"},  // any type but 0 is a service pack
        {1, 2147483647, 0, "SPNO651", "PTNO", 2147483647, "2147483647"},
        {0, 0, -2147483647 - 1, "PTNO", "SPNO651", -2147483647 - 1, "-2147483648"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.writtenKey) + " " + c.decimal);
        SetUp();
        const std::string keptBefore = stored(c.keptKey);
        const std::string versionBefore = stored("VERSION");
        context.moduleType = c.moduleType;
        context.spNo = c.spNo;
        context.ptNo = c.ptNo;

        EXPECT_EQ(recordAppliedLevel(context), 0);
        EXPECT_EQ(stored(c.writtenKey), encodeValue(c.decimal));
        EXPECT_EQ(readBack(c.writtenKey), c.written);
        EXPECT_EQ(stored(c.keptKey), keptBefore);
        EXPECT_EQ(stored("VERSION"), versionBefore);
    }
}

TEST_F(RecordLevelTest, ARecordThatCannotBeWrittenGivesFortyAndKeepsItsLevel) {
    const std::string before = fake::readFile(RECORD);
    fake::failProfileWrites(RECORD);
    context.moduleType = 0;
    context.ptNo = 3;
    EXPECT_EQ(recordAppliedLevel(context), RESULT_RECORD_NOT_WRITTEN);
    EXPECT_EQ(fake::readFile(RECORD), before);
    EXPECT_EQ(readBack("PTNO"), 2);
}

TEST_F(RecordLevelTest, ARecordInAMissingFolderCannotBeWritten) {
    std::strcpy(context.productIniPath, "C:\\Gone\\Tolva.ini");
    context.moduleType = 1;
    context.spNo = 2;
    EXPECT_EQ(recordAppliedLevel(context), RESULT_RECORD_NOT_WRITTEN);
    EXPECT_FALSE(fake::exists("C:\\Gone\\Tolva.ini"));
}

}  // namespace
