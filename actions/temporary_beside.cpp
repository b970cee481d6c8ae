#include "actions/temporary_beside.h"

#include <cstddef>

#include "platform/platform.h"
#include "settings/bounded_text.h"

namespace {

// One fixed name is enough: the named mutex lets only one applier run at a time.
constexpr char TEMPORARY_NAME[] = "~tlvpatch.tmp";

bool isTemporaryName(const char* name) {
    std::size_t i = 0;
    for (; TEMPORARY_NAME[i] != '\0'; ++i) {
        char character = name[i];
        if (character >= 'A' && character <= 'Z') character = static_cast<char>(character - 'A' + 'a');
        if (character != TEMPORARY_NAME[i]) return false;
    }
    return name[i] == '\0';
}

}  // namespace

bool temporaryPathBeside(const char* destinationPath, char (&temporaryPath)[PATH_FIELD]) {
    // Whole characters only: the trail byte of a double-byte character may be
    // 0x5C and must not be taken for a backslash.
    const char* folderEnd = destinationPath;
    for (const char* cursor = destinationPath; *cursor != '\0';) {
        if (*cursor == '\\' || *cursor == '/') folderEnd = cursor + 1;
        const char* next = platform::nextChar(cursor);
        if (next <= cursor) break;
        cursor = next;
    }
    // Names compare without case on Windows.
    if (isTemporaryName(folderEnd)) return false;
    const std::size_t folderLength = static_cast<std::size_t>(folderEnd - destinationPath);
    if (folderLength >= sizeof temporaryPath) return false;
    for (std::size_t i = 0; i < folderLength; ++i) temporaryPath[i] = destinationPath[i];
    temporaryPath[folderLength] = '\0';
    return appendText(temporaryPath, TEMPORARY_NAME);
}

void removeFile(const char* path) {
    platform::setFileAttributes(path, platform::ATTRIBUTE_NORMAL);
    platform::deleteFile(path);
}
