#include <windows.h>

#include "platform/platform.h"

namespace platform {

std::uint32_t fileAttributes(const char* path) { return GetFileAttributesA(path); }

bool setFileAttributes(const char* path, std::uint32_t attributes) {
    return SetFileAttributesA(path, attributes) != FALSE;
}

bool copyFile(const char* source, const char* destination) {
    return CopyFileA(source, destination, FALSE) != FALSE;
}

bool moveFileReplacing(const char* source, const char* destination) {
    return MoveFileExA(source, destination, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool deleteFile(const char* path) { return DeleteFileA(path) != FALSE; }

}  // namespace platform
