// The plain copy of mode "0": what CopyFileA gives (the bytes, the source's
// times and attributes, the refusals), but written beside the destination and
// moved over it in one step, so that a copy that cannot finish leaves the
// former file as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "actions/failure_details.h"
#include "actions/stages.h"
#include "platform/platform.h"
#include "settings/bounded_text.h"
#include "tests/support/copy_fixture.h"
#include "tests/support/fake_platform.h"

namespace {

constexpr char SOURCE[] = "C:\\package\\SET\\x86\\a.dll";
constexpr char DESTINATION[] = "C:\\Tolva\\a.dll";
constexpr char TEMPORARY[] = "C:\\Tolva\\~tlvpatch.tmp";

class PlainCopyTest : public InstallFolderTest {};

TEST_F(PlainCopyTest, CopiesTheBytesTimesAndAttributesOfTheSource) {
    const platform::FileTimes sourceTimes{1111, 2222, 3333};
    const struct {
        const char* name;
        std::string content;
        std::uint32_t attributes;
        bool destinationExists;
    } cases[] = {
        {"a new file", std::string("new\0\xff", 5), platform::ATTRIBUTE_ARCHIVE, false},
        {"over a longer file", "new", platform::ATTRIBUTE_ARCHIVE, true},
        {"a read-only source gives a read-only destination", "new", platform::ATTRIBUTE_READONLY, true},
        {"an empty source", "", platform::ATTRIBUTE_NORMAL, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        if (c.destinationExists) fake::writeFile(DESTINATION, "former content, longer than the new one");
        fake::writeFile(SOURCE, c.content);
        fake::setTimes(SOURCE, sourceTimes);
        fake::setAttributes(SOURCE, c.attributes);

        EXPECT_EQ(plainCopyFile(SOURCE, DESTINATION), 0);
        EXPECT_EQ(fake::readFile(DESTINATION), c.content);
        EXPECT_EQ(fake::attributes(DESTINATION), c.attributes);
        EXPECT_TRUE(sameTimes(fake::times(DESTINATION), sourceTimes));
        EXPECT_EQ(fake::readFile(SOURCE), c.content);
        EXPECT_FALSE(fake::exists(TEMPORARY));
    }
}

TEST_F(PlainCopyTest, AFailedCopyLeavesTheFormerDestinationAsItWas) {
    const platform::FileTimes formerTimes{7, 8, 9};
    const struct {
        const char* name;
        void (*arrange)();
    } cases[] = {
        // Only a copy that goes through the temporary file can be stopped here:
        // a copy straight onto the destination would already have replaced it.
        {"the final move fails", [] { fake::failMovesOnto(DESTINATION); }},
        {"the final move fails after a read-only source made the copy read-only",
         [] {
             fake::setAttributes(SOURCE, platform::ATTRIBUTE_READONLY);
             fake::failMovesOnto(DESTINATION);
         }},
        {"read-only destination", [] { fake::setAttributes(DESTINATION, platform::ATTRIBUTE_READONLY); }},
        {"hidden destination", [] { fake::setAttributes(DESTINATION, platform::ATTRIBUTE_HIDDEN); }},
        {"destination held open by another process", [] { fake::holdOpen(DESTINATION); }},
        {"source missing", [] { std::filesystem::remove(fake::hostPath(SOURCE)); }},
        {"source held open by another process", [] { fake::holdOpen(SOURCE); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        fake::writeFile(DESTINATION, "former");
        fake::setTimes(DESTINATION, formerTimes);
        fake::setAttributes(DESTINATION, platform::ATTRIBUTE_ARCHIVE);
        fake::writeFile(SOURCE, "new");
        c.arrange();
        const std::uint32_t formerAttributes = fake::attributes(DESTINATION);

        EXPECT_EQ(plainCopyFile(SOURCE, DESTINATION), -1);
        EXPECT_EQ(fake::readFile(DESTINATION), "former");
        EXPECT_EQ(fake::attributes(DESTINATION), formerAttributes);
        EXPECT_TRUE(sameTimes(fake::times(DESTINATION), formerTimes));
        EXPECT_FALSE(fake::exists(TEMPORARY));
    }
}

TEST_F(PlainCopyTest, ATemporaryFileLeftByAKilledRunIsReplaced) {
    fake::writeFile(TEMPORARY, "half a copy from before");
    fake::setAttributes(TEMPORARY, platform::ATTRIBUTE_READONLY);
    fake::writeFile(DESTINATION, "former");
    fake::writeFile(SOURCE, "new");

    EXPECT_EQ(plainCopyFile(SOURCE, DESTINATION), 0);
    EXPECT_EQ(fake::readFile(DESTINATION), "new");
    EXPECT_FALSE(fake::exists(TEMPORARY));
}

TEST_F(PlainCopyTest, AMissingDestinationFolderIsNotCreated) {
    fake::writeFile(SOURCE, "new");
    EXPECT_EQ(plainCopyFile(SOURCE, "C:\\Tolva\\missing\\a.dll"), -1);
    EXPECT_FALSE(fake::exists("C:\\Tolva\\missing"));
}

TEST_F(PlainCopyTest, ADestinationNamedLikeTheTemporaryFileIsRefusedNotDestroyed) {
    for (const char* destination : {"C:\\Tolva\\~tlvpatch.tmp", "C:\\Tolva\\~TLVPATCH.TMP"}) {
        SCOPED_TRACE(destination);
        SetUp();
        fake::writeFile(destination, "former");
        fake::writeFile(SOURCE, "new");
        EXPECT_EQ(plainCopyFile(SOURCE, destination), -1);
        EXPECT_EQ(fake::readFile(destination), "former");
    }
}

// File replacement takes mode "0" through this copy: an entry whose final
// move fails is not replaced, and the stage names it.
TEST_F(PlainCopyTest, ModeZeroEntriesAreReplacedInOneStep) {
    PatchContext context{};
    copyText(context.moduleDir, "C:\\package");
    copyText(context.platform, "x86");
    FileEntry entry{};
    copyText(entry.mode, "0");
    copyText(entry.sourceName, "a.dll");
    copyText(entry.destPath, DESTINATION);
    appendFile(context, entry);
    fake::writeFile(SOURCE, "new");
    fake::writeFile(DESTINATION, "former");
    fake::failMovesOnto(DESTINATION);
    failedFile[0] = '\0';

    EXPECT_EQ(replaceFiles(context), 20);
    EXPECT_STREQ(failedFile, DESTINATION);
    EXPECT_EQ(fake::readFile(DESTINATION), "former");
    EXPECT_FALSE(fake::exists(TEMPORARY));
}

}  // namespace
