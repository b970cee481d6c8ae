#include "actions/stages.h"

#include <cstring>

#include "actions/failure_details.h"
#include "settings/bounded_text.h"

namespace {

constexpr char PACKAGE_FILES_FOLDER[] = "SET";
constexpr char SHIFT_COPY_MODE[] = "1";
constexpr char PLAIN_COPY_MODE[] = "0";
// Package files of mode "1" are stored with every byte raised by one.
constexpr char DECODE_DIRECTION = '-';

// moduleDir\SET\platform\sourceName; false when it does not fit, since a cut
// path would name some other file.
bool formSourcePath(const PatchContext& context, const FileEntry& entry, char (&sourcePath)[PATH_FIELD]) {
    sourcePath[0] = '\0';
    return appendText(sourcePath, context.moduleDir) && appendText(sourcePath, "\\") &&
           appendText(sourcePath, PACKAGE_FILES_FOLDER) && appendText(sourcePath, "\\") &&
           appendText(sourcePath, context.platform) && appendText(sourcePath, "\\") &&
           appendText(sourcePath, entry.sourceName);
}

bool isMode(const FileEntry& entry, const char* mode) {
    return strnlen(entry.mode, sizeof entry.mode) < sizeof entry.mode && std::strcmp(entry.mode, mode) == 0;
}

bool replaceEntry(const PatchContext& context, const FileEntry& entry) {
    char sourcePath[PATH_FIELD] = {};
    if (!formSourcePath(context, entry, sourcePath)) return false;
    if (isMode(entry, SHIFT_COPY_MODE)) return shiftCopyFile(DECODE_DIRECTION, sourcePath, entry.destPath) == 0;
    if (isMode(entry, PLAIN_COPY_MODE)) return plainCopyFile(sourcePath, entry.destPath) == 0;
    return false;
}

}  // namespace

ResultCode replaceFiles(const PatchContext& context) {
    try {
        for (const FileEntry& entry : context.files) {
            if (!replaceEntry(context, entry)) {
                copyText(failedFile, entry.destPath);
                throw ResultCode{RESULT_FILE_NOT_REPLACED};
            }
        }
        return RESULT_OK;
    } catch (ResultCode code) {
        return code;
    } catch (...) {
        return RESULT_UNEXPECTED;
    }
}
