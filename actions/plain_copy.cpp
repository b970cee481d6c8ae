// The plain copy of mode "0". CopyFileA writes into its destination as it
// goes: killed part-way, it would leave the installed file half-written. So it
// copies to the temporary name beside the destination, which then replaces
// the destination in one step, as the byte-shift copy does.
#include <cstdint>

#include "actions/stages.h"
#include "actions/temporary_beside.h"
#include "platform/platform.h"

namespace {

// CopyFileA refuses to overwrite a read-only or hidden file; the move would
// not, so the refusal is kept here.
bool copyWouldBeRefused(const char* destinationPath) {
    const std::uint32_t attributes = platform::fileAttributes(destinationPath);
    return attributes != platform::INVALID_ATTRIBUTES &&
           (attributes & (platform::ATTRIBUTE_READONLY | platform::ATTRIBUTE_HIDDEN)) != 0;
}

}  // namespace

int plainCopyFile(const char* sourcePath, const char* destinationPath) {
    try {
        char temporaryPath[PATH_FIELD] = {};
        if (!temporaryPathBeside(destinationPath, temporaryPath)) return -1;
        if (platform::fileAttributes(temporaryPath) != platform::INVALID_ATTRIBUTES) removeFile(temporaryPath);

        const bool copied = platform::copyFile(sourcePath, temporaryPath);
        if (copied && !copyWouldBeRefused(destinationPath) &&
            platform::moveFileReplacing(temporaryPath, destinationPath)) {
            return 0;
        }
        if (platform::fileAttributes(temporaryPath) != platform::INVALID_ATTRIBUTES) removeFile(temporaryPath);
        return -1;
    } catch (...) {
        return -1;
    }
}
