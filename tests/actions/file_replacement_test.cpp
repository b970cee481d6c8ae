// Replacing the product's files from the package, entry by entry, and naming
// the first one that could not be replaced.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "actions/failure_details.h"
#include "actions/stages.h"
#include "platform/platform.h"
#include "settings/bounded_text.h"
#include "tests/support/fake_platform.h"

namespace {

constexpr char PACKAGE_FILES[] = "C:\\package\\SET\\x86\\";

std::string raised(std::string bytes) {
    for (char& byte : bytes) byte = static_cast<char>(static_cast<unsigned char>(byte) + 1);
    return bytes;
}

FileEntry fileEntry(const std::string& mode, const std::string& sourceName, const std::string& destPath) {
    FileEntry entry{};
    copyText(entry.mode, mode.c_str());
    copyText(entry.sourceName, sourceName.c_str());
    copyText(entry.destPath, destPath.c_str());
    return entry;
}

class FileReplacementTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::reset();
        failedFile[0] = '\0';
        context = PatchContext{};
        copyText(context.moduleDir, "C:\\package");
        copyText(context.platform, "x86");
        fake::makeDirectory("C:\\Tolva");
    }

    void TearDown() override { EXPECT_EQ(fake::openFileCount(), 0); }

    // A package file as it is stored for its mode: raised by one for "1".
    static void packageFile(const std::string& name, const std::string& mode, const std::string& content) {
        fake::writeFile(PACKAGE_FILES + name, mode == "1" ? raised(content) : content);
    }

    void add(const std::string& mode, const std::string& sourceName, const std::string& destPath) {
        appendFile(context, fileEntry(mode, sourceName, destPath));
    }

    PatchContext context{};
};

TEST_F(FileReplacementTest, AnEmptyListTouchesNothing) {
    EXPECT_EQ(replaceFiles(context), 0);
    EXPECT_STREQ(failedFile, "");
    EXPECT_TRUE(fake::calls().empty());
}

TEST_F(FileReplacementTest, OnlyTheWholeTextsOneAndZeroSelectACopy) {
    const struct {
        std::string mode;
        bool replaced;
    } cases[] = {
        {"1", true}, {"0", true}, {"2", false}, {"01", false}, {" 1", false},
        {"1 ", false}, {"0 ", false}, {"", false}, {"+1", false}, {"00", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("mode '" + c.mode + "'");
        SetUp();
        packageFile("before.dll", "0", "before");
        packageFile("tested.dll", c.mode, "new");
        packageFile("after.dll", "0", "after");
        fake::writeFile("C:\\Tolva\\tested.dll", "former");
        add("0", "before.dll", "C:\\Tolva\\before.dll");
        add(c.mode, "tested.dll", "C:\\Tolva\\tested.dll");
        add("0", "after.dll", "C:\\Tolva\\after.dll");

        EXPECT_EQ(replaceFiles(context), c.replaced ? 0 : 20);
        EXPECT_STREQ(failedFile, c.replaced ? "" : "C:\\Tolva\\tested.dll");
        EXPECT_EQ(fake::readFile("C:\\Tolva\\before.dll"), "before");
        EXPECT_EQ(fake::readFile("C:\\Tolva\\tested.dll"), c.replaced ? "new" : "former");
        EXPECT_EQ(fake::exists("C:\\Tolva\\after.dll"), c.replaced);
    }
}

TEST_F(FileReplacementTest, ModeOneLowersEveryByteAndModeZeroCopiesAsStored) {
    const std::string stored("\x00\x01\xFF" "B", 4);
    fake::writeFile(std::string(PACKAGE_FILES) + "shifted.bin", stored);
    fake::writeFile(std::string(PACKAGE_FILES) + "plain.bin", stored);
    add("1", "shifted.bin", "C:\\Tolva\\shifted.bin");
    add("0", "plain.bin", "C:\\Tolva\\plain.bin");

    EXPECT_EQ(replaceFiles(context), 0);
    EXPECT_EQ(fake::readFile("C:\\Tolva\\shifted.bin"), std::string("\xFF\x00\xFE" "A", 4));
    EXPECT_EQ(fake::readFile("C:\\Tolva\\plain.bin"), stored);
    EXPECT_EQ(fake::readFile(std::string(PACKAGE_FILES) + "shifted.bin"), stored);
}

TEST_F(FileReplacementTest, EntriesAreReplacedInListOrder) {
    // Both entries write the same destination: the later one must win.
    packageFile("first.dll", "0", "first");
    packageFile("second.dll", "1", "second");
    packageFile("third.dll", "0", "third");
    add("0", "first.dll", "C:\\Tolva\\same.dll");
    add("1", "second.dll", "C:\\Tolva\\same.dll");
    EXPECT_EQ(replaceFiles(context), 0);
    EXPECT_EQ(fake::readFile("C:\\Tolva\\same.dll"), "second");

    add("0", "third.dll", "C:\\Tolva\\same.dll");
    EXPECT_EQ(replaceFiles(context), 0);
    EXPECT_EQ(fake::readFile("C:\\Tolva\\same.dll"), "third");
}

TEST_F(FileReplacementTest, FiveEntriesWhoseThirdFails) {
    const struct {
        const char* name;
        const char* thirdMode;
        bool thirdSourcePresent;
    } cases[] = {
        {"mode 1, source missing", "1", false},
        {"mode 0, source missing", "0", false},
        {"unknown mode", "2", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        const char* modes[] = {"0", "1", c.thirdMode, "1", "0"};
        for (int i = 1; i <= 5; ++i) {
            const std::string name = "f" + std::to_string(i) + ".dll";
            if (i != 3 || c.thirdSourcePresent) packageFile(name, modes[i - 1], "new " + name);
            fake::writeFile("C:\\Tolva\\" + name, "old " + name);
            add(modes[i - 1], name, "C:\\Tolva\\" + name);
        }

        EXPECT_EQ(replaceFiles(context), 20);
        EXPECT_STREQ(failedFile, "C:\\Tolva\\f3.dll");
        EXPECT_EQ(fake::readFile("C:\\Tolva\\f1.dll"), "new f1.dll");
        EXPECT_EQ(fake::readFile("C:\\Tolva\\f2.dll"), "new f2.dll");
        EXPECT_EQ(fake::readFile("C:\\Tolva\\f3.dll"), "old f3.dll");
        EXPECT_EQ(fake::readFile("C:\\Tolva\\f4.dll"), "old f4.dll");
        EXPECT_EQ(fake::readFile("C:\\Tolva\\f5.dll"), "old f5.dll");
    }
}

TEST_F(FileReplacementTest, ADestinationThatCannotBeWrittenFailsInEitherMode) {
    const struct {
        const char* name;
        const char* mode;
        const char* destPath;
        void (*arrange)();
    } cases[] = {
        {"read-only, mode 1", "1", "C:\\Tolva\\a.dll",
         [] { fake::setAttributes("C:\\Tolva\\a.dll", platform::ATTRIBUTE_READONLY); }},
        {"read-only, mode 0", "0", "C:\\Tolva\\a.dll",
         [] { fake::setAttributes("C:\\Tolva\\a.dll", platform::ATTRIBUTE_READONLY); }},
        {"in use, mode 1", "1", "C:\\Tolva\\a.dll", [] { fake::holdOpen("C:\\Tolva\\a.dll"); }},
        {"in use, mode 0", "0", "C:\\Tolva\\a.dll", [] { fake::holdOpen("C:\\Tolva\\a.dll"); }},
        {"missing folder, mode 1", "1", "C:\\Tolva\\missing\\a.dll", [] {}},
        {"missing folder, mode 0", "0", "C:\\Tolva\\missing\\a.dll", [] {}},
        {"read fails part-way, mode 1", "1", "C:\\Tolva\\a.dll",
         [] { fake::failReadsAfter(std::string(PACKAGE_FILES) + "a.dll", 2048); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        packageFile("a.dll", c.mode, std::string(5000, 'n'));
        fake::writeFile("C:\\Tolva\\a.dll", "former");
        add(c.mode, "a.dll", c.destPath);
        c.arrange();

        EXPECT_EQ(replaceFiles(context), 20);
        EXPECT_STREQ(failedFile, c.destPath);
        EXPECT_EQ(fake::readFile("C:\\Tolva\\a.dll"), "former");
        EXPECT_FALSE(fake::exists("C:\\Tolva\\missing"));
        EXPECT_FALSE(fake::exists("C:\\Tolva\\~tlvpatch.tmp"));
    }
}

TEST_F(FileReplacementTest, AnExistingDestinationIsOverwrittenInBothModes) {
    for (const char* mode : {"0", "1"}) {
        SCOPED_TRACE(mode);
        SetUp();
        fake::writeFile("C:\\Tolva\\a.dll", "a longer former content");
        packageFile("a.dll", mode, "new");
        add(mode, "a.dll", "C:\\Tolva\\a.dll");
        EXPECT_EQ(replaceFiles(context), 0);
        EXPECT_EQ(fake::readFile("C:\\Tolva\\a.dll"), "new");
    }
}

TEST_F(FileReplacementTest, TheSourceComesFromThePlatformFolderOfTheInstallation) {
    copyText(context.platform, "x64");
    fake::writeFile("C:\\package\\SET\\x86\\a.dll", "x86 build");
    fake::writeFile("C:\\package\\SET\\x64\\a.dll", "x64 build");
    fake::writeFile("C:\\package\\a.dll", "beside the applier");
    add("0", "a.dll", "C:\\Tolva\\a.dll");
    EXPECT_EQ(replaceFiles(context), 0);
    EXPECT_EQ(fake::readFile("C:\\Tolva\\a.dll"), "x64 build");
}

TEST_F(FileReplacementTest, ASourcePathLongerThan259CharactersIsNotCut) {
    // moduleDir\SET\x86\ is 19 characters; the name fills the rest.
    const struct {
        std::size_t pathLength;
        const char* mode;
        ResultCode expected;
    } cases[] = {
        {259, "0", 0},
        {259, "1", 0},
        {260, "0", 20},
        {260, "1", 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.pathLength) + " mode " + c.mode);
        SetUp();
        const std::string name = std::string(c.pathLength - 19 - 4, 'n') + ".dll";
        ASSERT_EQ(std::string(PACKAGE_FILES).size() + name.size(), c.pathLength);
        packageFile(name, c.mode, "whole name");
        // What a path cut to 259 characters would name instead.
        packageFile(name.substr(0, name.size() - 1), c.mode, "cut name");
        fake::writeFile("C:\\Tolva\\a.dll", "former");
        add(c.mode, name, "C:\\Tolva\\a.dll");

        EXPECT_EQ(replaceFiles(context), c.expected);
        EXPECT_EQ(fake::readFile("C:\\Tolva\\a.dll"), c.expected == 0 ? "whole name" : "former");
        EXPECT_STREQ(failedFile, c.expected == 0 ? "" : "C:\\Tolva\\a.dll");
    }
}

TEST_F(FileReplacementTest, AFailedFileOfTheLongestPathIsNamedWhole) {
    const std::string destination = "C:\\Tolva\\missing\\" + std::string(259 - 17, 'd');
    ASSERT_EQ(destination.size(), 259u);
    packageFile("a.dll", "0", "new");
    add("0", "a.dll", destination);
    EXPECT_EQ(replaceFiles(context), 20);
    EXPECT_EQ(std::string(failedFile), destination);
}

}  // namespace
