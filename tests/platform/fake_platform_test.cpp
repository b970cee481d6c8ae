// The Windows rules that the test double enforces and that the other tests
// lean on: refusals of read-only and busy files, unshared opens, what a copy
// and a move carry over, injected faults, windows that go away after sleeps,
// double-byte text, string tables, the registry and the mutex.
#include "tests/support/copy_fixture.h"
#include "tests/support/fake_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/scoped_handles.h"
#include "tests/support/cp932.h"

namespace {

using platform::ScopedFile;
using platform::ScopedRegistryKey;

constexpr char SOURCE[] = "C:\\data\\source.bin";
constexpr char DESTINATION[] = "C:\\data\\destination.bin";

std::string readAll(platform::FileHandle file, std::uint32_t block = 1024) {
    std::string bytes;
    std::vector<char> buffer(block);
    std::uint32_t count = 0;
    while (platform::readFile(file, buffer.data(), block, &count) && count > 0) bytes.append(buffer.data(), count);
    return bytes;
}

class FakeFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::reset();
        fake::writeFile(SOURCE, "source");
        fake::writeFile(DESTINATION, "destination");
    }
};

// ---- Paths ----------------------------------------------------------------

TEST_F(FakeFilesTest, MapsWindowsPathsUnderTheRootAndFindsNamesWhateverTheirCase) {
    EXPECT_EQ(fake::hostPath("c:\\data\\source.bin"), fake::root() / "C" / "data" / "source.bin");
    EXPECT_EQ(fake::hostPath("C:/data/new.bin"), fake::root() / "C" / "data" / "new.bin");
    EXPECT_EQ(fake::hostPath("C:\\DATA\\SOURCE.BIN"), fake::hostPath(SOURCE));
    EXPECT_EQ(fake::hostPath("C:\\data\\x\\..\\.\\source.bin"), fake::hostPath(SOURCE));
    EXPECT_EQ(fake::hostPath("\\data\\source.bin"), fake::hostPath(SOURCE));

    ScopedFile file(platform::openFileForReading("C:\\Data\\Source.BIN"));
    ASSERT_TRUE(file);
    EXPECT_EQ(readAll(file.get()), "source");
    // Only whole characters are split: 0x83 0x5C is one character under 932.
    fake::setUiLanguage(1041);
    EXPECT_EQ(fake::hostPath("C:\\\x83\x5C\\a").filename(), "a");
    EXPECT_EQ(fake::hostPath("C:\\\x83\x5C\\a").parent_path().filename(), "\x83\x5C");
}

TEST_F(FakeFilesTest, PathsWithoutADriveOrFolderNameNothing) {
    for (const char* path : {"source.bin", "data\\source.bin", "C:data\\source.bin", "\\\\server\\share\\f", ""}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(platform::fileAttributes(path), platform::INVALID_ATTRIBUTES);
        EXPECT_EQ(platform::openFileForReading(path), nullptr);
        EXPECT_THROW(fake::hostPath(path), std::invalid_argument);
    }
}

TEST(FakePlatformTest, ResetStartsFromAnEmptyFolder) {
    fake::reset();
    fake::writeFile("C:\\left\\over.txt", "x");
    const std::filesystem::path previous = fake::root();
    fake::reset();
    EXPECT_NE(fake::root(), previous);
    EXPECT_FALSE(std::filesystem::exists(previous));
    EXPECT_FALSE(fake::exists("C:\\left\\over.txt"));
    EXPECT_TRUE(fake::exists("C:\\package"));
    EXPECT_TRUE(fake::exists("C:\\Windows"));
}

// ---- Refusals -------------------------------------------------------------

// Each state of the destination against each operation that would change or
// open it; a refused operation leaves both files as they were.
TEST_F(FakeFilesTest, RefusesWhatWindowsRefuses) {
    struct Outcomes {
        bool create, copyOnto, moveOnto, remove, open;
    };
    const struct {
        const char* name;
        std::function<void(std::vector<ScopedFile>&)> arrange;
        Outcomes allowed;
    } cases[] = {
        {"archive", [](auto&) {}, {true, true, true, true, true}},
        {"normal", [](auto&) { fake::setAttributes(DESTINATION, platform::ATTRIBUTE_NORMAL); },
         {true, true, true, true, true}},
        {"read-only", [](auto&) { fake::setAttributes(DESTINATION, platform::ATTRIBUTE_READONLY); },
         {false, false, false, false, true}},
        {"hidden", [](auto&) { fake::setAttributes(DESTINATION, platform::ATTRIBUTE_HIDDEN); },
         {false, false, true, true, true}},
        {"held open by another process", [](auto&) { fake::holdOpen(DESTINATION); },
         {false, false, false, false, false}},
        {"open here for reading",
         [](auto& handles) { handles.emplace_back(platform::openFileForReading(DESTINATION)); },
         {false, false, false, false, false}},
        {"open here for writing",
         [](auto& handles) {
             handles.emplace_back(platform::createFileForWriting(DESTINATION));
             platform::writeFile(handles.back().get(), "destination", 11);
         },
         {false, false, false, false, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto attempt = [&](const std::function<bool()>& operation) {
            SetUp();
            std::vector<ScopedFile> handles;
            c.arrange(handles);
            const bool done = operation();
            if (!done) {
                EXPECT_EQ(fake::readFile(SOURCE), "source");
                EXPECT_EQ(fake::readFile(DESTINATION), "destination");
            }
            return done;
        };
        EXPECT_EQ(attempt([] { return ScopedFile(platform::createFileForWriting(DESTINATION)).get() != nullptr; }),
                  c.allowed.create);
        EXPECT_EQ(attempt([] { return platform::copyFile(SOURCE, DESTINATION); }), c.allowed.copyOnto);
        EXPECT_EQ(attempt([] { return platform::moveFileReplacing(SOURCE, DESTINATION); }), c.allowed.moveOnto);
        EXPECT_EQ(attempt([] { return platform::deleteFile(DESTINATION); }), c.allowed.remove);
        EXPECT_EQ(attempt([] { return ScopedFile(platform::openFileForReading(DESTINATION)).get() != nullptr; }),
                  c.allowed.open);
    }
}

TEST_F(FakeFilesTest, ABusySourceCannotBeCopiedOrMovedButAReadOnlyOneCan) {
    fake::holdOpen(SOURCE);
    EXPECT_FALSE(platform::copyFile(SOURCE, "C:\\data\\copy.bin"));
    EXPECT_FALSE(platform::moveFileReplacing(SOURCE, "C:\\data\\moved.bin"));
    EXPECT_FALSE(fake::exists("C:\\data\\copy.bin"));
    EXPECT_FALSE(fake::exists("C:\\data\\moved.bin"));

    SetUp();
    fake::setAttributes(SOURCE, platform::ATTRIBUTE_READONLY);
    EXPECT_TRUE(platform::copyFile(SOURCE, "C:\\data\\copy.bin"));
    EXPECT_TRUE(platform::moveFileReplacing(SOURCE, "C:\\data\\moved.bin"));
    EXPECT_EQ(fake::readFile("C:\\data\\moved.bin"), "source");
}

TEST_F(FakeFilesTest, AMissingFolderIsNeverCreated) {
    const char* target = "C:\\missing\\file.bin";
    EXPECT_EQ(platform::createFileForWriting(target), nullptr);
    EXPECT_FALSE(platform::copyFile(SOURCE, target));
    EXPECT_FALSE(platform::moveFileReplacing(SOURCE, target));
    EXPECT_FALSE(platform::writeProfileString("S", "K", "v", target));
    EXPECT_FALSE(fake::exists("C:\\missing"));
    EXPECT_EQ(fake::readFile(SOURCE), "source");
}

TEST_F(FakeFilesTest, OpensAreUnsharedUntilTheHandleCloses) {
    ScopedFile first(platform::openFileForReading(SOURCE));
    ASSERT_TRUE(first);
    EXPECT_EQ(platform::openFileForReading(SOURCE), nullptr);
    EXPECT_EQ(platform::createFileForWriting(SOURCE), nullptr);
    EXPECT_EQ(fake::openFileCount(), 1);
    // Attributes need no data access.
    EXPECT_TRUE(platform::setFileAttributes(SOURCE, platform::ATTRIBUTE_READONLY));
    EXPECT_EQ(platform::fileAttributes(SOURCE), platform::ATTRIBUTE_READONLY);

    first.reset();
    EXPECT_EQ(fake::openFileCount(), 0);
    ScopedFile second(platform::openFileForReading(SOURCE));
    EXPECT_TRUE(second);
}

// ---- What files carry -------------------------------------------------------

TEST_F(FakeFilesTest, CopyAndMoveCarryAttributesAndTimes) {
    const platform::FileTimes sourceTimes{11, 22, 33};
    const std::uint32_t sourceAttributes = platform::ATTRIBUTE_READONLY | platform::ATTRIBUTE_ARCHIVE;
    for (const bool move : {false, true}) {
        for (const char* destination : {DESTINATION, "C:\\data\\new.bin"}) {
            SCOPED_TRACE(std::string(move ? "move onto " : "copy onto ") + destination);
            SetUp();
            fake::setTimes(SOURCE, sourceTimes);
            fake::setAttributes(SOURCE, sourceAttributes);

            ASSERT_TRUE(move ? platform::moveFileReplacing(SOURCE, destination)
                             : platform::copyFile(SOURCE, destination));
            EXPECT_EQ(fake::readFile(destination), "source");
            EXPECT_EQ(fake::attributes(destination), sourceAttributes);
            EXPECT_TRUE(sameTimes(fake::times(destination), sourceTimes));
            EXPECT_EQ(fake::exists(SOURCE), !move);
        }
    }
}

TEST_F(FakeFilesTest, AMovedFileLeavesNothingOfItselfBehind) {
    fake::setAttributes(SOURCE, platform::ATTRIBUTE_READONLY);
    ASSERT_TRUE(platform::moveFileReplacing(SOURCE, DESTINATION));
    // A new file at the old name starts afresh.
    fake::writeFile(SOURCE, "again");
    EXPECT_EQ(fake::attributes(SOURCE), platform::ATTRIBUTE_ARCHIVE);
    EXPECT_TRUE(sameTimes(fake::times(SOURCE), {1, 2, 3}));
}

TEST_F(FakeFilesTest, CreatedFilesAreArchivesWithTimesOfTheirOwn) {
    fake::setAttributes(DESTINATION, platform::ATTRIBUTE_NORMAL);
    fake::setTimes(DESTINATION, {5, 6, 7});
    for (const char* path : {"C:\\data\\new.bin", DESTINATION}) {
        SCOPED_TRACE(path);
        ScopedFile file(platform::createFileForWriting(path));
        ASSERT_TRUE(file);
        file.reset();
        EXPECT_EQ(fake::readFile(path), "");
        EXPECT_EQ(fake::attributes(path), platform::ATTRIBUTE_ARCHIVE);
        EXPECT_GT(fake::times(path).lastWrite, 7u);
    }
    EXPECT_EQ(fake::times(DESTINATION).creation, 5u) << "overwriting keeps the creation time";
    EXPECT_GT(fake::times("C:\\data\\new.bin").creation, 7u);
    // Files the tests write get the defaults.
    EXPECT_EQ(fake::attributes(SOURCE), platform::ATTRIBUTE_ARCHIVE);
    EXPECT_TRUE(sameTimes(fake::times(SOURCE), {1, 2, 3}));
}

TEST_F(FakeFilesTest, AttributesAsWindowsReportsThem) {
    fake::makeDirectory("C:\\data\\folder");
    EXPECT_EQ(platform::fileAttributes("C:\\data\\folder"), platform::ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(platform::fileAttributes("C:\\data\\gone.bin"), platform::INVALID_ATTRIBUTES);
    EXPECT_FALSE(platform::setFileAttributes("C:\\data\\gone.bin", platform::ATTRIBUTE_NORMAL));
    EXPECT_TRUE(platform::setFileAttributes(SOURCE, platform::ATTRIBUTE_NORMAL | platform::ATTRIBUTE_HIDDEN));
    EXPECT_EQ(platform::fileAttributes(SOURCE), platform::ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(platform::setFileAttributes(SOURCE, platform::ATTRIBUTE_NORMAL));
    EXPECT_EQ(platform::fileAttributes(SOURCE), platform::ATTRIBUTE_NORMAL);
    // A file removed behind the double's back is gone, whatever its table said.
    fake::setAttributes(SOURCE, platform::ATTRIBUTE_READONLY);
    std::filesystem::remove(fake::hostPath(SOURCE));
    EXPECT_EQ(platform::fileAttributes(SOURCE), platform::INVALID_ATTRIBUTES);
    EXPECT_FALSE(platform::deleteFile(SOURCE));
}

TEST_F(FakeFilesTest, TimesGoThroughHandlesOpenForTheRightAccess) {
    fake::setTimes(SOURCE, {11, 22, 33});
    ScopedFile reading(platform::openFileForReading(SOURCE));
    ScopedFile writing(platform::createFileForWriting(DESTINATION));
    platform::FileTimes times{};
    ASSERT_TRUE(platform::getFileTimes(reading.get(), &times));
    EXPECT_TRUE(sameTimes(times, {11, 22, 33}));
    EXPECT_FALSE(platform::setFileTimes(reading.get(), {1, 1, 1}));
    EXPECT_FALSE(platform::getFileTimes(writing.get(), &times));
    ASSERT_TRUE(platform::setFileTimes(writing.get(), {44, 55, 66}));
    EXPECT_TRUE(sameTimes(fake::times(DESTINATION), {44, 55, 66}));
}

TEST_F(FakeFilesTest, ReadsAndWritesStreamTheRealFile) {
    const std::string content(3000, 'x');
    fake::writeFile(SOURCE, content);
    ScopedFile source(platform::openFileForReading(SOURCE));
    ScopedFile destination(platform::createFileForWriting(DESTINATION));
    EXPECT_EQ(readAll(source.get()), content);
    ASSERT_TRUE(platform::writeFile(destination.get(), "abc", 3));
    ASSERT_TRUE(platform::writeFile(destination.get(), "", 0));
    EXPECT_TRUE(platform::flushFile(destination.get()));
    // The wrong direction fails like an access violation, not a crash.
    std::uint32_t count = 7;
    char byte;
    EXPECT_FALSE(platform::readFile(destination.get(), &byte, 1, &count));
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(platform::writeFile(source.get(), "x", 1));
    destination.reset();
    EXPECT_EQ(fake::readFile(DESTINATION), "abc");
    EXPECT_EQ(fake::readSizes(SOURCE), (std::vector<std::uint32_t>{1024, 1024, 1024, 1024}));
    EXPECT_EQ(fake::writeSizes(DESTINATION), (std::vector<std::uint32_t>{3, 0}));
    EXPECT_EQ(fake::readSizes(DESTINATION), (std::vector<std::uint32_t>{1}));
    EXPECT_EQ(fake::writeSizes(SOURCE), (std::vector<std::uint32_t>{1}));
}

// ---- Injected faults --------------------------------------------------------

TEST_F(FakeFilesTest, ReadsAndWritesFailOnceTheirLimitHasPassed) {
    const struct {
        std::uint64_t afterBytes;
        int callsThatPass;  // of 1024 bytes each (at most 6), reading a file of 4000
    } cases[] = {{0, 0}, {1, 1}, {1024, 1}, {1025, 2}, {1500, 2}, {3999, 4}, {100000, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.afterBytes);
        SetUp();
        fake::writeFile(SOURCE, std::string(4000, 's'));
        fake::failReadsAfter(SOURCE, c.afterBytes);
        fake::failWritesAfter(DESTINATION, c.afterBytes);
        ScopedFile source(platform::openFileForReading(SOURCE));
        ScopedFile destination(platform::createFileForWriting(DESTINATION));
        const std::string block(1024, 'd');
        char buffer[1024];
        std::uint32_t count = 0;
        int reads = 0;
        while (reads < 6 && platform::readFile(source.get(), buffer, sizeof buffer, &count)) ++reads;
        int writes = 0;
        while (writes < 6 && platform::writeFile(destination.get(), block.data(), 1024)) ++writes;
        EXPECT_EQ(reads, c.callsThatPass);
        EXPECT_EQ(writes, c.callsThatPass);
    }
}

TEST_F(FakeFilesTest, TheLimitCountsEveryHandleOfThePath) {
    fake::failReadsAfter(SOURCE, 4);
    char buffer[4];
    std::uint32_t count = 0;
    ScopedFile first(platform::openFileForReading(SOURCE));
    EXPECT_TRUE(platform::readFile(first.get(), buffer, 4, &count));
    first.reset();
    ScopedFile second(platform::openFileForReading(SOURCE));
    EXPECT_FALSE(platform::readFile(second.get(), buffer, 4, &count));
}

TEST_F(FakeFilesTest, MovesOntoAFailingDestinationFailAndChangeNothing) {
    fake::failMovesOnto(DESTINATION);
    EXPECT_FALSE(platform::moveFileReplacing(SOURCE, DESTINATION));
    EXPECT_EQ(fake::readFile(SOURCE), "source");
    EXPECT_EQ(fake::readFile(DESTINATION), "destination");
    EXPECT_TRUE(platform::copyFile(SOURCE, DESTINATION)) << "only moves are failed";
    EXPECT_TRUE(platform::moveFileReplacing(SOURCE, "C:\\data\\other.bin"));
}

// ---- Profiles ---------------------------------------------------------------

TEST_F(FakeFilesTest, ProfileCallsUseTheMappedFile) {
    fake::writeFile("C:\\Windows\\Tolva.ini", "[LICENSE]\r\nPTNO = \"old\"\r\n");
    char value[16];
    // A bare file name is in the Windows directory.
    EXPECT_EQ(platform::readProfileString("license", "ptno", "", value, sizeof value, "Tolva.ini"), 3u);
    EXPECT_STREQ(value, "old");
    EXPECT_TRUE(platform::writeProfileString("LICENSE", "PTNO", "new", "C:\\Windows\\Tolva.ini"));
    EXPECT_EQ(fake::readFile("C:\\Windows\\Tolva.ini"), "[LICENSE]\r\nPTNO=new\r\n");

    EXPECT_TRUE(platform::writeProfileString("S", "K", "v", "C:\\data\\created.ini"));
    EXPECT_EQ(fake::readFile("C:\\data\\created.ini"), "[S]\r\nK=v\r\n");
    EXPECT_EQ(platform::readProfileString("S", "K", "def", value, 3, "C:\\data\\missing.ini"), 2u);
    EXPECT_STREQ(value, "de");
}

TEST_F(FakeFilesTest, ProfileWritesFailWhereWindowsFails) {
    const std::string before = "[S]\r\nK=old\r\n";
    const struct {
        const char* name;
        void (*arrange)(const char* path);
    } cases[] = {
        {"failing by script", [](const char* path) { fake::failProfileWrites(path); }},
        {"read-only", [](const char* path) { fake::setAttributes(path, platform::ATTRIBUTE_READONLY); }},
        {"held open", [](const char* path) { fake::holdOpen(path); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        const char* path = "C:\\Windows\\Tolva.ini";
        fake::writeFile(path, before);
        c.arrange(path);
        EXPECT_FALSE(platform::writeProfileString("S", "K", "new", path));
        EXPECT_EQ(fake::readFile(path), before);
    }
    // A file held open by another process cannot be read either.
    char value[16];
    platform::readProfileString("S", "K", "def", value, sizeof value, "C:\\Windows\\Tolva.ini");
    EXPECT_STREQ(value, "def");
}

// ---- Text ---------------------------------------------------------------------

TEST(FakePlatformTest, NextCharStepsOverDoubleByteCharactersOnlyUnder932) {
    const struct {
        std::uint16_t language;
        const char* text;
        int step;
    } cases[] = {
        {1041, "\x83\x5C" "a", 2}, {1041, "\x81\x40", 2}, {1041, "\x9F\x40", 2}, {1041, "\xE0\x40", 2},
        {1041, "\xFC\x40", 2},     {1041, "\x80\x40", 1}, {1041, "\xA0\x40", 1}, {1041, "\xDF\x40", 1},
        {1041, "\xFD\x40", 1},     {1041, "a", 1},        {1041, "\x83", 1},     {1041, "", 0},
        {1033, "\x83\x5C", 1},     {1033, "a", 1},        {2057, "\x83\x5C", 1}, {1033, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.language) + " " + c.text);
        fake::reset();
        fake::setUiLanguage(c.language);
        EXPECT_EQ(platform::nextChar(c.text) - c.text, c.step);
    }
}

TEST(FakePlatformTest, LoadsTheStringTableOfTheInterfaceLanguage) {
    const std::string japanese = toCp932("引数が不正です。");
    const struct {
        std::uint16_t language;
        std::uint32_t id;
        int capacity;
        std::string expected;
    } cases[] = {
        {1033, 14, 1020, "Parameter is invalid."},
        {2057, 14, 1020, "Parameter is invalid."},
        {1041, 14, 1020, japanese},
        {1041, 16, 1020, "Service Pack"},
        {1033, 1, 1020, "Run the %s.\nAre you sure you want ?\n*Running %s will terminate."},
        {1033, 14, 5, "Para"},
        {1033, 14, 1, ""},
        {1041, 14, 5, japanese.substr(0, 4)},
        {1041, 14, 4, japanese.substr(0, 2)},  // never half a character
        {1033, 5, 1020, ""},                   // no such message
        {1041, 99, 1020, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.language) + " id " + std::to_string(c.id) + " capacity " +
                     std::to_string(c.capacity));
        fake::reset();
        fake::setUiLanguage(c.language);
        std::vector<char> buffer(c.capacity + 4, '#');
        EXPECT_EQ(platform::loadString(c.id, buffer.data(), c.capacity), static_cast<int>(c.expected.size()));
        EXPECT_EQ(std::string(buffer.data()), c.expected);
        EXPECT_EQ(std::string(buffer.end() - 4, buffer.end()), "####");
    }
}

TEST(FakePlatformTest, ModulePathAndWindowsDirectoryAreCutAsWindowsCutsThem) {
    fake::reset();
    char buffer[32];
    EXPECT_EQ(platform::moduleFileName(buffer, sizeof buffer), 22u);
    EXPECT_STREQ(buffer, "C:\\package\\applier.exe");
    EXPECT_EQ(platform::moduleFileName(buffer, 10), 10u);
    EXPECT_STREQ(buffer, "C:\\packag");
    fake::setModulePath("");
    EXPECT_EQ(platform::moduleFileName(buffer, sizeof buffer), 0u);

    EXPECT_EQ(platform::windowsDirectory(buffer, sizeof buffer), 10u);
    EXPECT_STREQ(buffer, "C:\\Windows");
    std::strcpy(buffer, "kept");
    EXPECT_EQ(platform::windowsDirectory(buffer, 10), 11u) << "the size needed";
    EXPECT_STREQ(buffer, "kept");
}

// ---- Boxes, windows, sleeps --------------------------------------------------

TEST(FakePlatformTest, BoxesAnswerAsQueuedThenOk) {
    fake::reset();
    fake::queueBoxAnswer(platform::ANSWER_CANCEL);
    fake::queueBoxAnswer(0);
    EXPECT_EQ(platform::showMessageBox("one", "caption", platform::BOX_OKCANCEL), platform::ANSWER_CANCEL);
    EXPECT_EQ(platform::showMessageBox("two", "caption", platform::BOX_OK), 0);
    EXPECT_EQ(platform::showMessageBox("three", "", platform::BOX_ICONERROR), platform::ANSWER_OK);
    ASSERT_EQ(fake::shownBoxes().size(), 3u);
    EXPECT_EQ(fake::shownBoxes()[0].text, "one");
    EXPECT_EQ(fake::shownBoxes()[0].caption, "caption");
    EXPECT_EQ(fake::shownBoxes()[2].flags, platform::BOX_ICONERROR);
    EXPECT_EQ(fake::countCalls(fake::CallKind::MessageBox), 3);
}

TEST(FakePlatformTest, AWindowToldToQuitGoesAfterItsSleeps) {
    const struct {
        int closesAfterSleeps;
        int sleepsUntilGone;  // -1: never
    } cases[] = {{0, 0}, {1, 1}, {3, 3}, {-1, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.closesAfterSleeps);
        fake::reset();
        fake::addWindow({"TOLVA", "Tolva", c.closesAfterSleeps});
        fake::addWindow({"Other", "Untold", 0});
        platform::sleepMilliseconds(1000);  // before the quit: counts for nothing
        const platform::WindowRef window = platform::findWindowByClass("TOLVA");
        ASSERT_NE(window, 0u);
        platform::postQuitMessage(window);
        int sleeps = 0;
        while (platform::findWindowByClass("TOLVA") != 0 && sleeps < 10) {
            platform::sleepMilliseconds(1000);
            ++sleeps;
        }
        EXPECT_EQ(sleeps, c.sleepsUntilGone < 0 ? 10 : c.sleepsUntilGone);
        EXPECT_EQ(fake::windowCount(), c.sleepsUntilGone < 0 ? 2 : 1) << "the untold window stays";
        EXPECT_EQ(fake::sleeps().size(), static_cast<std::size_t>(sleeps + 1));
    }
}

TEST(FakePlatformTest, WindowSearchesMatchWholeNamesWithoutCaseAndFindTheFirst) {
    fake::reset();
    fake::addWindow({"ToolFrame", "Tolva Login", -1});
    fake::addWindow({"ToolFrame", "Tolva", -1});
    fake::addWindow({"TOLVA", "Second", -1});
    const platform::WindowRef login = platform::findWindowByTitle("tolva login");
    EXPECT_NE(login, 0u);
    EXPECT_NE(platform::findWindowByTitle("Tolva"), login);
    EXPECT_EQ(platform::findWindowByTitle("Tolv"), 0u);
    EXPECT_EQ(platform::findWindowByClass("toolframe"), login);
    EXPECT_EQ(platform::findWindowByClass("Tolva Login"), 0u) << "a title is no class";
    EXPECT_EQ(platform::findWindowByTitle("TOLVA"), platform::findWindowByTitle("Tolva"));

    const std::vector<fake::Call>& calls = fake::calls();
    ASSERT_EQ(calls.size(), 7u);
    EXPECT_EQ(calls[0].argument, "tolva login");
    EXPECT_EQ(calls[0].number, 1u);
    EXPECT_EQ(calls[4].number, 0u);
}

// ---- Registry -------------------------------------------------------------------

TEST(FakePlatformTest, RegistryKeysOpenUnlessMissingOrDenied) {
    fake::reset();
    fake::registryKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Tolva\\Settings");
    fake::registryKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Locked").denyAccess = true;
    const struct {
        platform::RegistryRoot root;
        const char* subKey;
        bool opens;
    } cases[] = {
        {platform::RegistryRoot::LocalMachine, "SOFTWARE\\Tolva\\Settings", true},
        {platform::RegistryRoot::LocalMachine, "software\\tolva\\settings", true},
        {platform::RegistryRoot::LocalMachine, "SOFTWARE\\Tolva", true},  // a parent exists
        {platform::RegistryRoot::LocalMachine, "SOFTWARE\\Tolv", false},
        {platform::RegistryRoot::LocalMachine, "SOFTWARE\\Missing", false},
        {platform::RegistryRoot::LocalMachine, "SOFTWARE\\Locked", false},
        {platform::RegistryRoot::CurrentUser, "SOFTWARE\\Tolva\\Settings", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.subKey);
        ScopedRegistryKey key(platform::openRegistryKey(c.root, c.subKey));
        EXPECT_EQ(static_cast<bool>(key), c.opens);
        EXPECT_EQ(fake::openRegistryKeyCount(), c.opens ? 1 : 0);
    }
    EXPECT_EQ(fake::openRegistryKeyCount(), 0);
    EXPECT_FALSE(fake::hasRegistryKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Missing"));
}

TEST(FakePlatformTest, RegistryValuesReadAndWriteLikeTheRegistry) {
    fake::reset();
    const std::string unterminated("C:\\a", 4);
    fake::registryKey("HKEY_USERS\\S\\Tolva").values["Path"] = {platform::VALUE_EXPAND_SZ, unterminated};
    fake::registryKey("HKEY_USERS\\S\\ReadOnly").denyWrite = true;
    ScopedRegistryKey key(platform::openRegistryKey(platform::RegistryRoot::Users, "S\\Tolva"));
    ASSERT_TRUE(key);

    unsigned char data[8];
    std::uint32_t type = 0;
    std::uint32_t size = 3;
    EXPECT_FALSE(platform::queryRegistryValue(key.get(), "Path", &type, data, &size)) << "too large";
    EXPECT_EQ(size, 3u);
    size = 4;
    ASSERT_TRUE(platform::queryRegistryValue(key.get(), "path", &type, data, &size));
    EXPECT_EQ(type, platform::VALUE_EXPAND_SZ);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), unterminated);
    size = sizeof data;
    EXPECT_FALSE(platform::queryRegistryValue(key.get(), "Missing", &type, data, &size));

    const unsigned char quoted[] = "\"C:\\a\"";
    ASSERT_TRUE(platform::setRegistryValue(key.get(), "PATH", platform::VALUE_SZ, quoted, sizeof quoted));
    const fake::RegistryValue stored = fake::registryKey("HKEY_USERS\\S\\Tolva").values.at("Path");
    EXPECT_EQ(stored.type, platform::VALUE_SZ);
    EXPECT_EQ(stored.bytes, std::string(reinterpret_cast<const char*>(quoted), sizeof quoted));

    ScopedRegistryKey readOnly(platform::openRegistryKey(platform::RegistryRoot::Users, "S\\ReadOnly"));
    ASSERT_TRUE(readOnly);
    EXPECT_FALSE(platform::setRegistryValue(readOnly.get(), "Path", platform::VALUE_SZ, quoted, sizeof quoted));
    EXPECT_TRUE(fake::registryKey("HKEY_USERS\\S\\ReadOnly").values.empty());
    readOnly.reset();
    key.reset();

    std::string trace;
    for (const fake::Call& call : fake::calls()) trace += call.argument + ";";
    EXPECT_EQ(trace, "HKEY_USERS\\S\\Tolva;Path;path;Missing;PATH;HKEY_USERS\\S\\ReadOnly;Path;"
                     "HKEY_USERS\\S\\ReadOnly;HKEY_USERS\\S\\Tolva;");
}

// ---- Mutex ------------------------------------------------------------------------

TEST(FakePlatformTest, TheMutexIsAcquiredOnceUnlessScriptedOtherwise) {
    fake::reset();
    EXPECT_EQ(platform::acquireNamedMutex("TOLVA_PATCH"), platform::MutexResult::Acquired);
    EXPECT_TRUE(fake::mutexAcquired());
    EXPECT_EQ(fake::mutexName(), "TOLVA_PATCH");
    EXPECT_EQ(platform::acquireNamedMutex("TOLVA_PATCH"), platform::MutexResult::HeldElsewhere);

    fake::reset();
    fake::holdMutexElsewhere(true);
    EXPECT_EQ(platform::acquireNamedMutex("TOLVA_PATCH"), platform::MutexResult::HeldElsewhere);
    EXPECT_FALSE(fake::mutexAcquired());

    fake::reset();
    fake::failMutexCreation(true);
    EXPECT_EQ(platform::acquireNamedMutex("TOLVA_PATCH"), platform::MutexResult::Failed);
    EXPECT_FALSE(fake::mutexAcquired());
}

}  // namespace
