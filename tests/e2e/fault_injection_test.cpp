// Faults met by real runs under Wine: files held open by another program,
// missing or unreadable, a missing folder, a locked registry key, an
// installation record that cannot be written, and a run killed in the middle
// of a large byte-shift copy. Whatever happens, nothing is lost: every file
// the package touches holds exactly its former content or exactly its new
// one, the run names what stopped it and exits with the matching code, and a
// later run finishes the job.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/harness/abrupt_kill.h"
#include "tests/e2e/harness/applier_test.h"
#include "tests/e2e/harness/expected_messages.h"
#include "tests/e2e/harness/file_bytes.h"
#include "tests/e2e/harness/file_checksum.h"
#include "tests/e2e/harness/held_file.h"
#include "tests/e2e/harness/registry_access.h"
#include "tests/e2e/harness/sample_patch.h"
#include "tests/e2e/harness/wine_registry.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

const std::string HARBORSTONE = "HARBORSTONE";
const std::string PLATFORM = "x86";
// The name the byte-shift copy writes under, beside its destination.
const std::string TEMPORARY_NAME = "~tlvpatch.tmp";
// closeProduct waits 3 s even when the product is not running.
constexpr int APPLY_TIMEOUT_MS = 60000;

// Bytes that repeat nowhere, so that a block written at the wrong place or
// twice shows in the checksum.
std::string pseudoRandomBytes(std::size_t size, std::uint32_t seed) {
    std::string bytes(size, '\0');
    std::uint32_t state = seed;
    for (char& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

struct PackageFile {
    std::string source;       // in SET\<platform> of the package
    std::string destination;  // below the installation folder
    bool shifted;             // mode "1"; otherwise mode "0"
    std::string bytes;        // what the destination holds once replaced
    std::optional<std::string> former;  // what it holds before; nothing: no such file
};

// A package laid out for one test, with checksums of every file a run may
// touch: each destination, the temporary name beside it, each stored source.
class FaultInjectionTest : public ApplierTest {
protected:
    void SetUp() override {
        ApplierTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        installDir = makeInstallDir();
    }

    // Writes the package's files, the installed files they replace, the
    // description (FILE1.. in the order given) and the installation record.
    void layOut(std::vector<PackageFile> packageFiles, IniValues description = samplePatch()) {
        files = std::move(packageFiles);
        description = with(description, "FILES", std::to_string(files.size()));
        for (std::size_t i = 0; i < files.size(); ++i) {
            const PackageFile& file = files[i];
            writeStored(file);
            if (file.former) writeBytes(installed(file.destination), *file.former);
            description = with(description, "FILE" + std::to_string(i + 1),
                               std::string(file.shifted ? "1," : "0,") + file.source + "," + file.destination);
        }
        package.writeDescription(description);
        writeInstallationRecord("Tolva.ini", with(sampleRecord(), "DIR", installDir));
    }

    void writeStored(const PackageFile& file) const {
        package.writeSource(PLATFORM, file.source, file.shifted ? raisedByOne(file.bytes) : file.bytes);
    }

    fs::path installed(const std::string& relative) const { return prefix().unixPath(installedPath(relative)); }
    std::string installedPath(const std::string& relative) const { return installDir + "\\" + relative; }
    fs::path stored(const std::string& source) const { return package.unixDir / "SET" / PLATFORM / source; }
    std::string storedPath(const std::string& source) const {
        return package.windowsDir + "\\SET\\" + PLATFORM + "\\" + source;
    }

    static std::string temporaryBeside(const std::string& destination) {
        const std::size_t separator = destination.rfind('\\');
        return separator == std::string::npos ? TEMPORARY_NAME : destination.substr(0, separator + 1) + TEMPORARY_NAME;
    }

    std::map<std::string, fs::path> watchedFiles() const {
        std::map<std::string, fs::path> watched;
        for (const PackageFile& file : files) {
            watched["installed " + file.destination] = installed(file.destination);
            watched["installed " + temporaryBeside(file.destination)] = installed(temporaryBeside(file.destination));
            watched["stored " + file.source] = stored(file.source);
        }
        return watched;
    }

    FileChecksums checksums() const { return checksumsOf(watchedFiles()); }

    // `before`, with the destinations of the first `replacedCount` files
    // holding their new content.
    FileChecksums expectedAfter(FileChecksums before, std::size_t replacedCount) const {
        for (std::size_t i = 0; i < replacedCount && i < files.size(); ++i) {
            before["installed " + files[i].destination] = checksumOf(files[i].bytes);
        }
        return before;
    }

    std::optional<Checksum> recordChecksum() const { return fileChecksum(windowsFile("Tolva.ini")); }
    std::string recordedPatchLevel() const {
        return readDecodedValue(windowsFile("Tolva.ini"), "LICENSE", "PTNO").value_or("<missing>");
    }

    // Runs the applier with the confirmation answered OK and returns the
    // outcome box, OK pressed; `exitCode` is the applier's.
    BoxReport confirmAndReadOutcome(const UiLanguage& language, std::int64_t& exitCode) {
        WindowsProcess applier = startApplier(language);
        const BoxReport confirmation = waitForBox(language, BoxButton::Ok);
        if (!confirmation.found) {
            ADD_FAILURE() << "no confirmation appeared";
            exitCode = -1;
            return confirmation;
        }
        const BoxReport outcome = peekBox({language, BoxButton::Ok, APPLY_TIMEOUT_MS, {confirmation.hwnd}, 0});
        exitCode = exitCodeOf(applier);
        return outcome;
    }

    void expectErrorBox(const BoxReport& box, const UiLanguage& language, const std::string& text) const {
        ASSERT_TRUE(box.found) << "no outcome message";
        EXPECT_EQ(box.caption, sampleTitle(language)) << describe(box);
        EXPECT_EQ(box.text, text) << describe(box);
        EXPECT_TRUE(box.icon) << describe(box);
    }

    std::string installDir;
    std::vector<PackageFile> files;
};

// Three files: the first is replaced before the fault, the second meets it,
// the third comes after it and must stay as it was.
std::vector<PackageFile> threeFiles(bool secondShifted, const std::string& secondDestination, bool secondExists) {
    std::string firstBytes = "new first.dll\r\n";
    firstBytes += '\0';
    firstBytes += '\xff';
    return {
        {"first.dll", "first.dll", false, firstBytes, "old first.dll"},
        // Several 1024-byte blocks and every byte value, 0xFF and 0x00 included.
        {"second.bin", secondDestination, secondShifted, allByteValues(5000) + pseudoRandomBytes(3000, 2),
         secondExists ? std::optional<std::string>("old second.bin") : std::nullopt},
        {"third.dat", "third.dat", true, pseudoRandomBytes(4096, 3), "old third.dat"},
    };
}

// ---------------------------------------------------------------------------
// A file that cannot be replaced: the run stops at it and names it; the files
// before it are replaced, it and the files after it keep their former
// content, no temporary file is left, and the level is not recorded. Once the
// fault is gone, a second run finishes the patch.

enum class FileFault {
    DestinationHeldOpen,       // another program has the installed file open, unshared
    SourceMissing,             // the package lacks the file
    SourceHeldOpen,            // another program has the stored file open, unshared
    SourceNotReadable,         // the stored file may not be read by this user
    DestinationFolderMissing,  // the installed file's folder does not exist
};

struct FileFaultCase {
    std::string name;
    FileFault fault;
    bool shifted;  // the failing entry's mode: "1", else "0"
    UiLanguage language;
};

void PrintTo(const FileFaultCase& row, std::ostream* out) { *out << row.name; }

std::vector<FileFaultCase> fileFaultCases() {
    return {
        {"DestinationHeldOpen_Mode0", FileFault::DestinationHeldOpen, false, JAPANESE},
        {"DestinationHeldOpen_Mode1", FileFault::DestinationHeldOpen, true, ENGLISH_US},
        {"SourceMissing_Mode0", FileFault::SourceMissing, false, ENGLISH_US},
        {"SourceMissing_Mode1", FileFault::SourceMissing, true, JAPANESE},
        {"SourceHeldOpen_Mode0", FileFault::SourceHeldOpen, false, JAPANESE},
        {"SourceHeldOpen_Mode1", FileFault::SourceHeldOpen, true, ENGLISH_US},
        {"SourceNotReadable_Mode0", FileFault::SourceNotReadable, false, ENGLISH_US},
        {"SourceNotReadable_Mode1", FileFault::SourceNotReadable, true, JAPANESE},
        {"DestinationFolderMissing_Mode0", FileFault::DestinationFolderMissing, false, JAPANESE},
        {"DestinationFolderMissing_Mode1", FileFault::DestinationFolderMissing, true, ENGLISH_US},
    };
}

class FileFaultInjection : public FaultInjectionTest, public ::testing::WithParamInterface<FileFaultCase> {
protected:
    void inject(const PackageFile& failing) {
        switch (GetParam().fault) {
            case FileFault::DestinationHeldOpen:
                held.emplace(HeldFile::hold(installedPath(failing.destination), HoldAccess::ReadWrite));
                break;
            case FileFault::SourceMissing:
                fs::remove(stored(failing.source));
                break;
            case FileFault::SourceHeldOpen:
                held.emplace(HeldFile::hold(storedPath(failing.source), HoldAccess::Read));
                break;
            case FileFault::SourceNotReadable:
                fs::permissions(stored(failing.source), fs::perms::none);
                break;
            case FileFault::DestinationFolderMissing:
                break;  // never created
        }
    }

    void remove(const PackageFile& failing) {
        switch (GetParam().fault) {
            case FileFault::DestinationHeldOpen:
            case FileFault::SourceHeldOpen:
                ASSERT_TRUE(held.has_value());
                EXPECT_TRUE(held->release()) << "the file was not held for the whole run";
                held.reset();
                break;
            case FileFault::SourceMissing:
                writeStored(failing);
                break;
            case FileFault::SourceNotReadable:
                fs::permissions(stored(failing.source), fs::perms::owner_read | fs::perms::owner_write);
                break;
            case FileFault::DestinationFolderMissing:
                fs::create_directories(installed(failing.destination).parent_path());
                break;
        }
    }

    std::optional<HeldFile> held;
};

TEST_P(FileFaultInjection, StopsAtTheFileNamesItAndLosesNothingAndASecondRunFinishes) {
    const FileFaultCase& row = GetParam();
    if (row.fault == FileFault::SourceNotReadable && geteuid() == 0) {
        GTEST_SKIP() << "root reads any file; run as an ordinary user";
    }
    const bool folderMissing = row.fault == FileFault::DestinationFolderMissing;
    layOut(threeFiles(row.shifted, folderMissing ? "missing\\second.bin" : "second.bin", !folderMissing));
    const PackageFile failing = files[1];
    const FileChecksums before = checksums();
    const auto recordBefore = recordChecksum();

    inject(failing);
    std::int64_t exitCode = -1;
    const BoxReport outcome = confirmAndReadOutcome(row.language, exitCode);
    remove(failing);

    expectErrorBox(outcome, row.language, expectedMessage(row.language, 8, {installedPath(failing.destination)}));
    EXPECT_EQ(exitCode, 2);
    EXPECT_EQ(describe(checksums()), describe(expectedAfter(before, 1)));
    EXPECT_EQ(recordChecksum(), recordBefore) << "the level must not be recorded";

    EXPECT_EQ(runWithoutBox(ENGLISH_US, "/Silent"), 0);
    EXPECT_EQ(describe(checksums()), describe(expectedAfter(before, files.size())));
    EXPECT_EQ(recordedPatchLevel(), "3");
}

INSTANTIATE_TEST_SUITE_P(Faults, FileFaultInjection, ::testing::ValuesIn(fileFaultCases()),
                         [](const auto& info) { return asIdentifier(info.param.name); });

// ---------------------------------------------------------------------------
// The stages after the files.

class LaterStageFault : public FaultInjectionTest {
protected:
    // A value to quote under HKEY_LOCAL_MACHINE\<keyBase>\<name>; its REGISTRYn line.
    std::string registryLine(const std::string& name) {
        setRegistryString(registryKey(name), "Command", "C:\\Tolva\\app.exe /run");
        return "0,HKEY_LOCAL_MACHINE," + keyBase + "\\" + name + ",Command,unused";
    }
    std::string registryKey(const std::string& name) const { return "HKEY_LOCAL_MACHINE\\" + keyBase + "\\" + name; }
    std::optional<std::string> command(const std::string& name) const {
        return registryString(registryKey(name), "Command");
    }

    std::string keyBase;  // below HKEY_LOCAL_MACHINE; short, as the message that names it is bounded
};

const std::optional<std::string> UNQUOTED("C:\\Tolva\\app.exe /run");
const std::optional<std::string> QUOTED("\"C:\\Tolva\\app.exe /run\"");

// A key that cannot be opened with full access, though it can be read: the
// files stay replaced, the values before it stay quoted, the ones after it
// are not looked at, and the level is not recorded.
TEST_F(LaterStageFault, ARegistryKeyWithoutFullAccessStopsTheRunBeforeTheLevelIsRecorded) {
    const UiLanguage& language = JAPANESE;
    keyBase = "Software\\TolvaE2E\\LockedKey";
    IniValues description = samplePatch();
    description = with(description, "REGISTRIES", "3");
    description = with(description, "REGISTRY1", registryLine("Open"));
    description = with(description, "REGISTRY2", registryLine("Locked"));
    description = with(description, "REGISTRY3", registryLine("After"));
    layOut(threeFiles(true, "second.bin", true), description);
    denyFullAccess(registryKey("Locked"));
    const FileChecksums before = checksums();
    const auto recordBefore = recordChecksum();

    std::int64_t exitCode = -1;
    const BoxReport outcome = confirmAndReadOutcome(language, exitCode);

    expectErrorBox(outcome, language, expectedMessage(language, 21, {registryKey("Locked") + "\\Command"}));
    EXPECT_EQ(exitCode, 6);
    EXPECT_EQ(describe(checksums()), describe(expectedAfter(before, files.size())));
    EXPECT_EQ(command("Open"), QUOTED);
    EXPECT_EQ(command("Locked"), UNQUOTED);
    EXPECT_EQ(command("After"), UNQUOTED);
    EXPECT_EQ(recordChecksum(), recordBefore) << "the level must not be recorded";
}

// A read-only installation record: every file and value is done, the record
// keeps its former level and the run says so with exit code 7, so that the
// same package can be run again once the record is writable.
TEST_F(LaterStageFault, AnInstallationRecordThatCannotBeWrittenEndsWith7AndKeepsTheFormerLevel) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes read-only files; run as an ordinary user";
    const UiLanguage& language = ENGLISH_US;
    keyBase = "Software\\TolvaE2E\\ReadOnlyRecord";
    IniValues description = with(samplePatch(), "REGISTRIES", "1");
    description = with(description, "REGISTRY1", registryLine("Value"));
    layOut(threeFiles(true, "second.bin", true), description);
    const FileChecksums before = checksums();
    const auto recordBefore = recordChecksum();
    const fs::path record = windowsFile("Tolva.ini");
    fs::permissions(record, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

    std::int64_t exitCode = -1;
    const BoxReport outcome = confirmAndReadOutcome(language, exitCode);

    expectErrorBox(outcome, language, expectedMessage(language, 22, {HARBORSTONE, "C:\\windows\\Tolva.ini"}));
    EXPECT_EQ(exitCode, 7);
    EXPECT_EQ(describe(checksums()), describe(expectedAfter(before, files.size())));
    EXPECT_EQ(command("Value"), QUOTED);
    EXPECT_EQ(recordChecksum(), recordBefore);
    EXPECT_EQ(recordedPatchLevel(), "2");

    fs::permissions(record, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(runWithoutBox(language, "/Silent"), 0);
    EXPECT_EQ(recordedPatchLevel(), "3");
    EXPECT_EQ(command("Value"), QUOTED) << "quoted once, not twice";
}

// ---------------------------------------------------------------------------
// A run killed while the copy of a large file is under way, as a power cut or
// the task manager would end it: in either mode the copy goes to the
// temporary file beside the destination, and the destination is only ever
// the whole former file or the whole new one.

class KilledRun : public FaultInjectionTest, public ::testing::WithParamInterface<bool> {};

TEST_P(KilledRun, InTheMiddleOfALargeCopyLeavesTheFormerFileWholeAndASecondRunFinishes) {
    const bool shifted = GetParam();
    constexpr std::size_t LARGE_SIZE = 200u << 20;
    constexpr std::uintmax_t GROWING_SIZE = 1u << 20;  // the copy is surely under way
    std::vector<PackageFile> packageFiles = threeFiles(true, "second.bin", true);
    packageFiles[1] = {"large.bin", "large.bin", shifted, pseudoRandomBytes(LARGE_SIZE, 7),
                       pseudoRandomBytes(1u << 20, 8)};
    layOut(std::move(packageFiles));
    const PackageFile& large = files[1];
    const FileChecksums before = checksums();
    const auto recordBefore = recordChecksum();
    const Checksum formerLarge = checksumOf(*large.former);
    const Checksum newLarge = checksumOf(large.bytes);
    const fs::path temporary = installed(temporaryBeside(large.destination));

    // Under way: the temporary file grows; or, were the copy written in
    // place, the destination would no longer have its former size.
    const auto copyUnderWay = [&] {
        std::error_code noFile;
        const std::uintmax_t temporarySize = fs::file_size(temporary, noFile);
        if (!noFile && temporarySize >= GROWING_SIZE) return true;
        const std::uintmax_t destinationSize = fs::file_size(installed(large.destination), noFile);
        return noFile || destinationSize != large.former->size();
    };
    WindowsProcess applier = startApplier(ENGLISH_US, "/Silent");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(APPLY_TIMEOUT_MS);
    while (!copyUnderWay()) {
        ASSERT_FALSE(applier.hasExited()) << "the run ended before it could be killed";
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the copy never started";
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(killProgramAbruptly(package.applier(), EXIT_TIMEOUT_MS), 1);
    try {
        applier.waitForExit(EXIT_TIMEOUT_MS);  // the launcher reports the killed program
    } catch (const std::exception&) {
    }

    const auto largeAfterKill = fileChecksum(installed(large.destination));
    EXPECT_TRUE(largeAfterKill == formerLarge || largeAfterKill == newLarge)
        << "the destination is neither the whole former file nor the whole new one";
    std::error_code noFile;
    const std::uintmax_t leftOver = fs::file_size(temporary, noFile);
    ASSERT_FALSE(noFile) << "the temporary file went: the kill did not land in the middle of the copy";
    ASSERT_LT(leftOver, LARGE_SIZE) << "the kill did not land in the middle of the copy";
    EXPECT_EQ(largeAfterKill, formerLarge) << "killed in the middle of the copy, the former file stays";
    FileChecksums expected = expectedAfter(before, 1);
    expected["installed " + temporaryBeside(large.destination)] = fileChecksum(temporary);  // may stay behind
    EXPECT_EQ(describe(checksums()), describe(expected));
    EXPECT_EQ(recordChecksum(), recordBefore);

    // The left-over temporary file is no obstacle to the next run.
    EXPECT_EQ(runWithoutBox(ENGLISH_US, "/Silent"), 0);
    EXPECT_EQ(describe(checksums()), describe(expectedAfter(before, files.size())));
    EXPECT_EQ(recordedPatchLevel(), "3");
}

INSTANTIATE_TEST_SUITE_P(Modes, KilledRun, ::testing::Values(true, false), [](const auto& info) {
    return std::string(info.param ? "ShiftCopy_Mode1" : "PlainCopy_Mode0");
});

}  // namespace
}  // namespace e2e
