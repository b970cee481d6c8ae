// The scripted test double behind platform/platform.h, for native unit tests.
//
// Files are real files under a temporary folder: a Windows path "C:\dir\f"
// lives at <root>/C/dir/f (drive letter upper-cased, backslashes turned into
// slashes; "/" is accepted as a separator too). As on Windows, an existing
// file or folder is found whatever the case of its name, and "." and ".."
// are resolved; a path without a drive ("\dir\f") is on drive C:. Relative
// paths name nothing: the double has no current folder. What Linux does not
// model the way Windows does (attributes, file times, files held open by
// another process) the double keeps in its own tables and enforces with
// Windows' rules, also when the tests run as root:
//   - every open is unshared: while a handle of the double, or a holdOpen()
//     by "another process", has a file open, opening, copying, moving or
//     deleting it fails (its attributes can still be read and set);
//   - createFileForWriting refuses a read-only, hidden or system file (and
//     gives a new file ATTRIBUTE_ARCHIVE); copyFile refuses a read-only or
//     hidden destination; moveFileReplacing and deleteFile a read-only one;
//   - copyFile carries the source's attributes and its three times over,
//     moveFileReplacing moves them with the content;
//   - getFileTimes needs a handle open for reading, setFileTimes one open for
//     writing; files that the platform creates or writes get times from the
//     double's clock, later than any default; reads and writes change no time.
//
// Profile calls read and write the mapped files through platform/profile_text.h;
// a file name without a folder lives in the Windows directory.
//
// Everything else is scripted: the module path, the Windows directory, the
// interface language (1041 gives code page 932 for nextChar, for paths and
// the Japanese string table; every other language the English one and
// single-byte text), message-box answers, windows and how they react to
// WM_QUIT, registry keys and values, the named mutex. Sleeps are recorded,
// never slept. Window, registry and value names compare without ASCII case,
// as Windows compares them.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace fake {

struct ShownBox {
    std::string text;
    std::string caption;
    std::uint32_t flags;
};

struct FakeWindow {
    std::string className;
    std::string title;
    // After a WM_QUIT is posted to it, the window goes away once this many
    // sleeps have passed (0: at once). -1: it ignores WM_QUIT and stays.
    int closesAfterSleeps = 0;
};

struct RegistryValue {
    std::uint32_t type = platform::VALUE_SZ;
    std::string bytes;  // raw data as stored, including any NUL the writer gave
};

struct RegistryKeyState {
    bool denyAccess = false;  // opening with full access fails
    bool denyWrite = false;   // opens, but setting a value fails
    std::map<std::string, RegistryValue> values;
};

enum class CallKind { FindWindow, PostQuit, Sleep, MessageBox, RegistryOpen, RegistryQuery, RegistrySet, RegistryClose };

// What each kind records:
//   FindWindow     argument: the name searched; number: 0 by class, 1 by title
//   PostQuit       argument: the window's title; number: the window
//   Sleep          number: milliseconds
//   MessageBox     argument: the text; number: the flags
//   RegistryOpen   argument: "<root>\<subKey>", as opened
//   RegistryQuery  argument: the value name
//   RegistrySet    argument: the value name; number: the type
//   RegistryClose  argument: "<root>\<subKey>" of the key closed
struct Call {
    CallKind kind;
    std::string argument;  // window name, value name, sub-key...
    std::uint32_t number = 0;  // sleep milliseconds, box flags...
};

// Starts every test afresh: a new empty temporary root, English (1033)
// interface, module path "C:\package\applier.exe", Windows directory
// "C:\Windows" (both folders created), no windows, no registry keys, no
// mutex held elsewhere, no scripted box answers (a box without an answer
// returns ANSWER_OK), nothing recorded.
void reset();

// The temporary root of this test; removed at the next reset().
const std::filesystem::path& root();

// Host path of a Windows path, as the double maps it.
std::filesystem::path hostPath(const std::string& windowsPath);

// Test helpers on the mapped file system (Windows paths).
void writeFile(const std::string& windowsPath, const std::string& bytes);  // creates folders
std::string readFile(const std::string& windowsPath);
bool exists(const std::string& windowsPath);
void makeDirectory(const std::string& windowsPath);

void setModulePath(const std::string& path);  // "" makes moduleFileName fail
void setWindowsDirectory(const std::string& path);
void setUiLanguage(std::uint16_t language);

// Attributes and times kept for a path (default for an existing file:
// ATTRIBUTE_ARCHIVE and the times {1, 2, 3}).
void setAttributes(const std::string& windowsPath, std::uint32_t attributes);
std::uint32_t attributes(const std::string& windowsPath);
void setTimes(const std::string& windowsPath, const platform::FileTimes& times);
platform::FileTimes times(const std::string& windowsPath);

// Another process holds the file open without sharing: opens, copies,
// moves and deletes that touch it fail.
void holdOpen(const std::string& windowsPath);

// Fault injection for streamed copies: the read (or write) on the given file
// fails once `afterBytes` bytes have passed through handles of that path (a
// call that starts below the limit still passes whole; every later one
// fails; 0: the first call fails).
void failReadsAfter(const std::string& windowsPath, std::uint64_t afterBytes);
void failWritesAfter(const std::string& windowsPath, std::uint64_t afterBytes);
// Moves onto this destination fail (a volume or rename fault).
void failMovesOnto(const std::string& windowsPath);
// Profile writes to this file fail.
void failProfileWrites(const std::string& windowsPath);

// Sizes asked of every readFile/writeFile call, per host path, in call order
// (failed calls included).
std::vector<std::uint32_t> readSizes(const std::string& windowsPath);
std::vector<std::uint32_t> writeSizes(const std::string& windowsPath);

// Handles still open (should be 0 after every stage).
int openFileCount();
int openRegistryKeyCount();

// Message boxes.
void queueBoxAnswer(int answer);  // 0 = the box fails to show
const std::vector<ShownBox>& shownBoxes();

// Windows of "other processes". A search finds the first window, in the
// order added, whose whole class name (or title) matches.
void addWindow(const FakeWindow& window);
int windowCount();

// Registry (the 32-bit view). Keys are named "<root>\<subKey>", the root as
// written in the patch description, e.g. "HKEY_LOCAL_MACHINE\SOFTWARE\Tolva".
RegistryKeyState& registryKey(const std::string& rootAndSubKey);  // creates it
bool hasRegistryKey(const std::string& rootAndSubKey);

// The named mutex. A second acquireNamedMutex in the same run finds the
// name taken (HeldElsewhere), as a second CreateMutexA does on Windows.
void holdMutexElsewhere(bool held);
void failMutexCreation(bool fail);
bool mutexAcquired();  // this process owns it
const std::string& mutexName();  // of the last acquireNamedMutex ("" before one)

// Everything recorded, in order.
const std::vector<Call>& calls();
std::vector<std::uint32_t> sleeps();
int countCalls(CallKind kind);

}  // namespace fake
