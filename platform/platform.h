// The one seam between the applier and the operating system.
//
// Everything the applier asks of Windows goes through these free functions.
// Two implementations exist: platform/win32 (the real ANSI API, linked into the
// executable) and tests/support/fake_platform.cpp (a scripted double over a
// temporary folder, linked into the native unit tests). Texts are byte strings
// in the system's ANSI code page; paths are Windows paths.
#pragma once

#include <cstdint>

namespace platform {

// ---- Profile (INI) files -------------------------------------------------

// Value of `key` in `section` of the INI file at `path`, or `defaultValue` when
// there is none; cut to `size` - 1 bytes. Returns the number of bytes copied.
std::uint32_t readProfileString(const char* section, const char* key, const char* defaultValue,
                                char* buffer, std::uint32_t size, const char* path);

// Sets `key` in `section` of the INI file at `path`; false when it could not be written.
bool writeProfileString(const char* section, const char* key, const char* value, const char* path);

// ---- Process and system --------------------------------------------------

// Full path of the running executable; 0 on failure.
std::uint32_t moduleFileName(char* buffer, std::uint32_t size);

// Path of the Windows directory; the result of the call is not needed by callers.
std::uint32_t windowsDirectory(char* buffer, std::uint32_t size);

// Language id of the user interface (1041 Japanese, 1033 English US, ...).
std::uint16_t userInterfaceLanguage();

// The character after `text`'s first one, stepping over double-byte characters
// of the ANSI code page; `text` itself at its terminating NUL.
const char* nextChar(const char* text);

// Message `id` of the program's string table in the interface language, as ANSI
// bytes; returns the number of bytes copied (0 when there is no such string).
int loadString(std::uint32_t id, char* buffer, int capacity);

// Box flags, with the values the Windows message box takes.
constexpr std::uint32_t BOX_OK = 0x00000000;
constexpr std::uint32_t BOX_OKCANCEL = 0x00000001;
constexpr std::uint32_t BOX_ICONERROR = 0x00000010;
constexpr std::uint32_t BOX_SYSTEMMODAL = 0x00001000;
constexpr std::uint32_t BOX_SETFOREGROUND = 0x00010000;
constexpr std::uint32_t BOX_TOPMOST = 0x00040000;

// Button ids a box returns; 0 means the box could not be shown.
constexpr int ANSWER_OK = 1;
constexpr int ANSWER_CANCEL = 2;

// Shows a message box without an owner window and returns the button pressed.
int showMessageBox(const char* text, const char* caption, std::uint32_t flags);

void sleepMilliseconds(std::uint32_t milliseconds);

enum class MutexResult { Acquired, HeldElsewhere, Failed };

// Creates the named mutex asking for ownership. When acquired, this process
// keeps it until it ends; when another process holds it, our handle is given
// up before returning.
MutexResult acquireNamedMutex(const char* name);

// ---- Top-level windows of other processes --------------------------------

using WindowRef = std::uintptr_t;  // 0: no window
WindowRef findWindowByClass(const char* className);
WindowRef findWindowByTitle(const char* title);
void postQuitMessage(WindowRef window);

// ---- Files ---------------------------------------------------------------

constexpr std::uint32_t INVALID_ATTRIBUTES = 0xFFFFFFFF;
constexpr std::uint32_t ATTRIBUTE_READONLY = 0x00000001;
constexpr std::uint32_t ATTRIBUTE_HIDDEN = 0x00000002;
constexpr std::uint32_t ATTRIBUTE_DIRECTORY = 0x00000010;
constexpr std::uint32_t ATTRIBUTE_ARCHIVE = 0x00000020;
constexpr std::uint32_t ATTRIBUTE_NORMAL = 0x00000080;

// INVALID_ATTRIBUTES when the path does not exist or cannot be examined.
std::uint32_t fileAttributes(const char* path);
bool setFileAttributes(const char* path, std::uint32_t attributes);

// Plain copy that replaces an existing destination (and refuses a read-only one).
bool copyFile(const char* source, const char* destination);

// Renames `source` over `destination` in one step, replacing it, written
// through to disk. Both lie on the same volume.
bool moveFileReplacing(const char* source, const char* destination);

bool deleteFile(const char* path);

using FileHandle = void*;  // nullptr: none

// Both open the file unshared: no other process may open it meanwhile.
FileHandle openFileForReading(const char* path);
FileHandle createFileForWriting(const char* path);  // emptied when it exists

bool readFile(FileHandle file, void* buffer, std::uint32_t size, std::uint32_t* bytesRead);
bool writeFile(FileHandle file, const void* data, std::uint32_t size);
bool flushFile(FileHandle file);

struct FileTimes {
    std::uint64_t creation;
    std::uint64_t lastAccess;
    std::uint64_t lastWrite;
};
bool getFileTimes(FileHandle file, FileTimes* times);
bool setFileTimes(FileHandle file, const FileTimes& times);

void closeFile(FileHandle file);

// ---- Registry (always the 32-bit view, as the shipped program sees it) ---

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine, Users };

using RegistryKey = void*;  // nullptr: none

constexpr std::uint32_t VALUE_SZ = 1;
constexpr std::uint32_t VALUE_EXPAND_SZ = 2;
constexpr std::uint32_t VALUE_BINARY = 3;
constexpr std::uint32_t VALUE_DWORD = 4;

// Opens `subKey` below `root` with full access; nullptr on failure.
RegistryKey openRegistryKey(RegistryRoot root, const char* subKey);

// Reads a value into `data`; `*size` holds the capacity on entry and the
// number of bytes read on return. False when missing, too large or denied.
bool queryRegistryValue(RegistryKey key, const char* valueName, std::uint32_t* type,
                        unsigned char* data, std::uint32_t* size);

bool setRegistryValue(RegistryKey key, const char* valueName, std::uint32_t type,
                      const unsigned char* data, std::uint32_t size);

void closeRegistryKey(RegistryKey key);

}  // namespace platform
