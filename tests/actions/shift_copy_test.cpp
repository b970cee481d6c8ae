// The byte-shift copy: its arithmetic, its 1024-byte blocks, what it carries
// over, and that a copy that cannot finish leaves the former file as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "actions/stages.h"
#include "platform/platform.h"
#include "tests/support/copy_fixture.h"
#include "tests/support/fake_platform.h"

namespace {

constexpr char SOURCE[] = "C:\\package\\SET\\x86\\a.bin";
constexpr char DESTINATION[] = "C:\\Tolva\\a.dll";
// The copy is written beside the destination under this name first.
constexpr char TEMPORARY[] = "C:\\Tolva\\~tlvpatch.tmp";

std::string shifted(std::string bytes, int step) {
    for (char& byte : bytes) byte = static_cast<char>(static_cast<unsigned char>(byte) + step);
    return bytes;
}

std::string everyByteValue() {
    std::string bytes;
    for (int value = 0; value < 256; ++value) bytes += static_cast<char>(value);
    return bytes;
}

std::string pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + 3) % 251);
    return bytes;
}

class ShiftCopyTest : public InstallFolderTest {};

TEST_F(ShiftCopyTest, ShiftsEveryByteModulo256) {
    const struct {
        const char* name;
        char direction;
        std::string source;
        std::string expected;
    } cases[] = {
        {"down wraps 0x00", '-', std::string("\x00\x01\xFF", 3), std::string("\xFF\x00\xFE", 3)},
        {"up wraps 0xFF", '+', std::string("\xFF\x00\x7F", 3), std::string("\x00\x01\x80", 3)},
        {"every value down", '-', everyByteValue(), shifted(everyByteValue(), -1)},
        {"every value up", '+', everyByteValue(), shifted(everyByteValue(), +1)},
        {"any other direction lowers", 'x', std::string("\x00" "B", 2), std::string("\xFF" "A", 2)},
        {"a NUL direction lowers", '\0', "b", "a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        fake::writeFile(SOURCE, c.source);

        EXPECT_EQ(shiftCopyFile(c.direction, SOURCE, DESTINATION), 0);
        EXPECT_EQ(fake::readFile(DESTINATION), c.expected);
        EXPECT_EQ(fake::readFile(SOURCE), c.source);
        EXPECT_FALSE(fake::exists(TEMPORARY));
    }
}

TEST_F(ShiftCopyTest, StreamsThroughBlocksOf1024UntilAReadOfNothing) {
    const struct {
        std::size_t size;
        std::vector<std::uint32_t> writes;
    } cases[] = {
        {0, {}},
        {1, {1}},
        {1023, {1023}},
        {1024, {1024}},
        {1025, {1024, 1}},
        {2048, {1024, 1024}},
        {3000, {1024, 1024, 952}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        SetUp();
        const std::string source = pattern(c.size);
        fake::writeFile(SOURCE, source);

        EXPECT_EQ(shiftCopyFile('-', SOURCE, DESTINATION), 0);
        EXPECT_EQ(fake::writeSizes(TEMPORARY), c.writes);
        // A short block is not the end: only the read that delivers nothing is.
        EXPECT_EQ(fake::readSizes(SOURCE).size(), c.writes.size() + 1);
        EXPECT_EQ(fake::readFile(DESTINATION), shifted(source, -1));
    }
}

TEST_F(ShiftCopyTest, RaisingThenLoweringGivesBackTheFile) {
    const std::string original = everyByteValue() + pattern(5000) + everyByteValue();
    fake::writeFile(SOURCE, original);
    ASSERT_EQ(shiftCopyFile('+', SOURCE, "C:\\Tolva\\raised.bin"), 0);
    EXPECT_NE(fake::readFile("C:\\Tolva\\raised.bin"), original);
    ASSERT_EQ(shiftCopyFile('-', "C:\\Tolva\\raised.bin", DESTINATION), 0);
    EXPECT_EQ(fake::readFile(DESTINATION), original);
}

TEST_F(ShiftCopyTest, CarriesTheSourcesTimesAndAttributesOver) {
    const platform::FileTimes sourceTimes{1111, 2222, 3333};
    const struct {
        const char* name;
        std::string content;
        std::uint32_t attributes;
        bool destinationExists;
    } cases[] = {
        {"archive", "data", platform::ATTRIBUTE_ARCHIVE, false},
        {"read-only source gives a read-only destination", "data", platform::ATTRIBUTE_READONLY, false},
        {"read-only, hidden, archive", "data",
         platform::ATTRIBUTE_READONLY | platform::ATTRIBUTE_HIDDEN | platform::ATTRIBUTE_ARCHIVE, false},
        {"normal over an existing file", "data", platform::ATTRIBUTE_NORMAL, true},
        {"empty source", "", platform::ATTRIBUTE_READONLY | platform::ATTRIBUTE_ARCHIVE, false},
        {"empty source over an existing file", "", platform::ATTRIBUTE_ARCHIVE, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        if (c.destinationExists) fake::writeFile(DESTINATION, "former content, longer than the new one");
        fake::writeFile(SOURCE, shifted(c.content, +1));
        fake::setTimes(SOURCE, sourceTimes);
        fake::setAttributes(SOURCE, c.attributes);

        EXPECT_EQ(shiftCopyFile('-', SOURCE, DESTINATION), 0);
        ASSERT_TRUE(fake::exists(DESTINATION));
        EXPECT_EQ(fake::readFile(DESTINATION), c.content);
        EXPECT_EQ(fake::attributes(DESTINATION), c.attributes);
        EXPECT_TRUE(sameTimes(fake::times(DESTINATION), sourceTimes));
        EXPECT_FALSE(fake::exists(TEMPORARY));
    }
}

// Every way the copy can fail after the source was found: the former
// destination stays byte for byte, with its attributes and times, and no
// temporary file is left behind.
TEST_F(ShiftCopyTest, AFailedCopyLeavesTheFormerDestinationAsItWas) {
    const std::string former = pattern(4000);
    const platform::FileTimes formerTimes{7, 8, 9};
    const struct {
        const char* name;
        void (*arrange)();
    } cases[] = {
        {"read-only destination", [] { fake::setAttributes(DESTINATION, platform::ATTRIBUTE_READONLY); }},
        {"read-only hidden destination",
         [] { fake::setAttributes(DESTINATION, platform::ATTRIBUTE_READONLY | platform::ATTRIBUTE_HIDDEN); }},
        {"destination held open by another process", [] { fake::holdOpen(DESTINATION); }},
        {"read fails part-way", [] { fake::failReadsAfter(SOURCE, 1500); }},
        {"first read fails", [] { fake::failReadsAfter(SOURCE, 0); }},
        {"write fails part-way", [] { fake::failWritesAfter(TEMPORARY, 1024); }},
        {"first write fails", [] { fake::failWritesAfter(TEMPORARY, 0); }},
        {"the final move fails", [] { fake::failMovesOnto(DESTINATION); }},
        {"the final move fails after a read-only source made the copy read-only",
         [] {
             fake::setAttributes(SOURCE, platform::ATTRIBUTE_READONLY);
             fake::failMovesOnto(DESTINATION);
         }},
        {"source missing", [] { std::filesystem::remove(fake::hostPath(SOURCE)); }},
        {"source held open by another process", [] { fake::holdOpen(SOURCE); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        fake::writeFile(DESTINATION, former);
        fake::setTimes(DESTINATION, formerTimes);
        fake::setAttributes(DESTINATION, platform::ATTRIBUTE_ARCHIVE);
        fake::writeFile(SOURCE, pattern(3000));
        c.arrange();
        const std::uint32_t formerAttributes = fake::attributes(DESTINATION);

        EXPECT_EQ(shiftCopyFile('-', SOURCE, DESTINATION), -1);
        EXPECT_EQ(fake::readFile(DESTINATION), former);
        EXPECT_EQ(fake::attributes(DESTINATION), formerAttributes);
        EXPECT_TRUE(sameTimes(fake::times(DESTINATION), formerTimes));
        EXPECT_FALSE(fake::exists(TEMPORARY));
        EXPECT_EQ(fake::openFileCount(), 0);
    }
}

TEST_F(ShiftCopyTest, AMissingSourceCreatesNothingAtTheDestination) {
    EXPECT_EQ(shiftCopyFile('-', SOURCE, DESTINATION), -1);
    EXPECT_FALSE(fake::exists(DESTINATION));
    EXPECT_FALSE(fake::exists(TEMPORARY));
    EXPECT_TRUE(fake::writeSizes(TEMPORARY).empty());
    EXPECT_TRUE(fake::writeSizes(DESTINATION).empty());
}

TEST_F(ShiftCopyTest, AMissingDestinationFolderIsNotCreated) {
    fake::writeFile(SOURCE, "data");
    EXPECT_EQ(shiftCopyFile('-', SOURCE, "C:\\Tolva\\missing\\a.dll"), -1);
    EXPECT_FALSE(fake::exists("C:\\Tolva\\missing"));
    EXPECT_EQ(fake::readFile(SOURCE), "data");
}

TEST_F(ShiftCopyTest, ATemporaryFileLeftByAKilledRunIsReplaced) {
    fake::writeFile(TEMPORARY, "half a copy from before");
    fake::setAttributes(TEMPORARY, platform::ATTRIBUTE_READONLY);
    fake::writeFile(DESTINATION, "former");
    fake::writeFile(SOURCE, shifted("new", +1));

    EXPECT_EQ(shiftCopyFile('-', SOURCE, DESTINATION), 0);
    EXPECT_EQ(fake::readFile(DESTINATION), "new");
    EXPECT_FALSE(fake::exists(TEMPORARY));
}

// A folder path of exactly `length` characters below C:\Tolva, made of parts
// a host file system accepts.
std::string folderOfLength(std::size_t length) {
    std::string folder = "C:\\Tolva";
    while (folder.size() < length) {
        const std::size_t part = std::min<std::size_t>(50, length - folder.size() - 1);
        folder += "\\" + std::string(part == 0 ? 1 : part, 'f');
    }
    return folder;
}

TEST_F(ShiftCopyTest, TheTemporaryPathMustFitAPath) {
    // The temporary path is the folder, a backslash and 13 characters.
    const struct {
        std::size_t folderLength;
        int expected;
    } cases[] = {
        {245, 0},   // temporary path of 259 characters
        {246, -1},  // 260: the destination itself (248) would still fit
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folderLength);
        SetUp();
        const std::string folder = folderOfLength(c.folderLength);
        ASSERT_EQ(folder.size(), c.folderLength);
        fake::makeDirectory(folder);
        const std::string destination = folder + "\\a";
        fake::writeFile(destination, "former");
        fake::writeFile(SOURCE, shifted("new", +1));

        EXPECT_EQ(shiftCopyFile('-', SOURCE, destination.c_str()), c.expected);
        EXPECT_EQ(fake::readFile(destination), c.expected == 0 ? "new" : "former");
        EXPECT_FALSE(fake::exists(folder + "\\~tlvpatch.tmp"));
    }
}

TEST_F(ShiftCopyTest, ADestinationNamedLikeTheTemporaryFileIsRefusedNotDestroyed) {
    for (const char* destination : {"C:\\Tolva\\~tlvpatch.tmp", "C:\\Tolva\\~TLVPATCH.TMP"}) {
        SCOPED_TRACE(destination);
        SetUp();
        fake::writeFile(destination, "former");
        fake::writeFile(SOURCE, "new");
        EXPECT_EQ(shiftCopyFile('-', SOURCE, destination), -1);
        EXPECT_EQ(fake::readFile(destination), "former");
    }
}

TEST_F(ShiftCopyTest, ADoubleByteNameEndingInByte5CIsNotSplitAtThatByte) {
    // "ソ" is 0x83 0x5C in code page 932: its trail byte is not a separator,
    // so the temporary file belongs in C:\Tolva itself.
    fake::setUiLanguage(1041);
    const std::string destination = "C:\\Tolva\\\x83\x5C.dll";
    fake::writeFile(destination, "former");
    fake::writeFile(SOURCE, shifted("new", +1));

    EXPECT_EQ(shiftCopyFile('-', SOURCE, destination.c_str()), 0);
    EXPECT_EQ(fake::readFile(destination), "new");
    EXPECT_EQ(fake::writeSizes(TEMPORARY), (std::vector<std::uint32_t>{3}));
}

}  // namespace
