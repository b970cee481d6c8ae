#include <windows.h>

#include "platform/platform.h"

namespace {

// The seam's "no file" is nullptr; CreateFileA's is INVALID_HANDLE_VALUE.
platform::FileHandle fromWin32(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

HANDLE toWin32(platform::FileHandle file) { return static_cast<HANDLE>(file); }

// Exclusive opens: no other process may read or change the file meanwhile.
platform::FileHandle openUnshared(const char* path, DWORD access, DWORD disposition) {
    return fromWin32(CreateFileA(path, access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::uint64_t toTicks(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME toFileTime(std::uint64_t ticks) {
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}

}  // namespace

namespace platform {

FileHandle openFileForReading(const char* path) { return openUnshared(path, GENERIC_READ, OPEN_EXISTING); }

FileHandle createFileForWriting(const char* path) { return openUnshared(path, GENERIC_WRITE, CREATE_ALWAYS); }

bool readFile(FileHandle file, void* buffer, std::uint32_t size, std::uint32_t* bytesRead) {
    DWORD read = 0;
    const bool ok = ReadFile(toWin32(file), buffer, size, &read, nullptr) != FALSE;
    if (bytesRead != nullptr) *bytesRead = ok ? read : 0;
    return ok;
}

bool writeFile(FileHandle file, const void* data, std::uint32_t size) {
    // WriteFile may accept less than asked; a short write that makes no
    // progress at all is a failure, not a reason to loop forever.
    const auto* cursor = static_cast<const unsigned char*>(data);
    std::uint32_t remaining = size;
    while (remaining > 0) {
        DWORD written = 0;
        if (WriteFile(toWin32(file), cursor, remaining, &written, nullptr) == FALSE || written == 0) return false;
        cursor += written;
        remaining -= written;
    }
    return true;
}

bool flushFile(FileHandle file) { return FlushFileBuffers(toWin32(file)) != FALSE; }

bool getFileTimes(FileHandle file, FileTimes* times) {
    FILETIME creation, lastAccess, lastWrite;
    if (GetFileTime(toWin32(file), &creation, &lastAccess, &lastWrite) == FALSE) return false;
    times->creation = toTicks(creation);
    times->lastAccess = toTicks(lastAccess);
    times->lastWrite = toTicks(lastWrite);
    return true;
}

bool setFileTimes(FileHandle file, const FileTimes& times) {
    const FILETIME creation = toFileTime(times.creation);
    const FILETIME lastAccess = toFileTime(times.lastAccess);
    const FILETIME lastWrite = toFileTime(times.lastWrite);
    return SetFileTime(toWin32(file), &creation, &lastAccess, &lastWrite) != FALSE;
}

void closeFile(FileHandle file) {
    if (file != nullptr) CloseHandle(toWin32(file));
}

}  // namespace platform
