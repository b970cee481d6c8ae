#include <cstring>

#include "app/load_text.h"
#include "platform/platform.h"
#include "settings/bounded_text.h"
#include "settings/fixed_texts.h"
#include "settings/load_settings.h"
#include "settings/number_text.h"
#include "settings/read_setting.h"

namespace {

constexpr char SECTION[] = "LICENSE";
constexpr unsigned LOG_MANAGER_NAME_MESSAGE = 20;

[[noreturn]] void refuse(ResultCode code) { throw code; }

struct RecordChoice {
    const char* fileName;
    const char* productName;  // nullptr: message LOG_MANAGER_NAME_MESSAGE
};

bool chooseRecord(char targetCharacter, RecordChoice& choice) {
    switch (targetCharacter) {
        case '0':
        case '1': choice = {"Tolva.ini", "HARBORSTONE"}; return true;
        case '2': choice = {"VornCreator.ini", INSTALLER_CREATOR_NAME}; return true;
        case '3': choice = {"VornLogMng.ini", nullptr}; return true;
        default: return false;
    }
}

void readText(const PatchContext& context, const char* key, const char* defaultValue, char* output,
              std::size_t capacity) {
    readSetting(SECTION, key, defaultValue, output, static_cast<std::int32_t>(capacity),
                context.productIniPath);
}

std::int32_t readNumberSetting(const PatchContext& context, const char* key, const char* defaultValue) {
    char text[PATH_FIELD] = {};
    readText(context, key, defaultValue, text, sizeof text);
    return readNumber(text);
}

// installDir, a backslash and the destination the FILE line gave; false when
// the whole path does not fit in a path field.
bool completeDestination(const char* installDir, const char* relative, char (&completed)[PATH_FIELD]) {
    return copyText(completed, installDir) && appendText(completed, "\\") && appendText(completed, relative);
}

void completeDestinations(PatchContext& context) {
    // Every destination is checked before any is changed, so a refused load
    // leaves each one as its line gave it.
    char completed[PATH_FIELD];
    for (const FileEntry& entry : context.files) {
        if (!completeDestination(context.installDir, entry.destPath, completed)) {
            refuse(RESULT_SETTINGS_UNREADABLE);
        }
    }
    for (FileEntry& entry : context.files) {
        char relative[PATH_FIELD];
        std::memcpy(relative, entry.destPath, sizeof relative);
        completeDestination(context.installDir, relative, entry.destPath);
    }
}

}  // namespace

void loadInstallationRecord(PatchContext& context) {
    char windowsDir[PATH_FIELD] = {};
    const std::uint32_t windowsDirLength = platform::windowsDirectory(windowsDir, PATH_FIELD);
    windowsDir[PATH_FIELD - 1] = '\0';
    // Too long for the buffer, or for a record path: no cut path is ever used.
    char recordFolder[PATH_FIELD];
    if (windowsDirLength >= PATH_FIELD || !copyText(recordFolder, windowsDir) ||
        !appendText(recordFolder, "\\")) {
        refuse(RESULT_SETTINGS_UNREADABLE);
    }
    copyText(context.productIniPath, recordFolder);

    RecordChoice choice{};
    if (!chooseRecord(context.target[0], choice)) refuse(RESULT_SETTINGS_UNREADABLE);

    char recordPath[PATH_FIELD];
    const bool recordPathFits = copyText(recordPath, recordFolder) && appendText(recordPath, choice.fileName);
    copyText(context.productName, choice.productName != nullptr ? choice.productName
                                                                : loadText(LOG_MANAGER_NAME_MESSAGE));
    if (!recordPathFits) refuse(RESULT_SETTINGS_UNREADABLE);
    copyText(context.productIniPath, recordPath);

    if (!fileExists(context.productIniPath)) refuse(RESULT_NOT_INSTALLED);

    readText(context, "VERSION", "", context.installedVersion, sizeof context.installedVersion);
    if (context.installedVersion[0] == '\0') refuse(RESULT_SETTINGS_UNREADABLE);
    readText(context, "PLATFORM", "x86", context.platform, sizeof context.platform);
    context.installedSpNo = readNumberSetting(context, "SPNO651", "");
    context.installedPtNo = readNumberSetting(context, "PTNO", "0");
    readText(context, "VORN_INST", "", context.editionMarker, sizeof context.editionMarker);
    readText(context, "DIR", "", context.installDir, sizeof context.installDir);
    if (context.installDir[0] == '\0') refuse(RESULT_SETTINGS_UNREADABLE);

    completeDestinations(context);
}
