#include <cstdio>
#include <cstring>
#include <string_view>

#include "platform/platform.h"
#include "settings/bounded_text.h"
#include "settings/field_split.h"
#include "settings/load_settings.h"
#include "settings/number_text.h"
#include "settings/read_setting.h"

namespace {

constexpr char SECTION[] = "INSTALL";
constexpr char DESCRIPTION_NAME[] = "tlvIni.ini";
constexpr std::uint16_t LANGUAGE_JAPANESE = 1041;
constexpr std::uint16_t LANGUAGE_ENGLISH_US = 1033;
constexpr std::size_t FILE_FIELDS = 3;
constexpr std::size_t REGISTRY_FIELDS = 5;
constexpr std::int32_t REGISTRY_LINE_SIZE = 4096;

[[noreturn]] void refuse() { throw ResultCode{RESULT_SETTINGS_UNREADABLE}; }

void readText(const PatchContext& context, const char* key, char* output, std::size_t capacity) {
    readSetting(SECTION, key, "", output, static_cast<std::int32_t>(capacity), context.descriptionPath);
}

std::int32_t readNumberSetting(const PatchContext& context, const char* key) {
    char text[PATH_FIELD] = {};
    readText(context, key, text, sizeof text);
    return readNumber(text);
}

// The key of the n-th list line: FILE1, FILE2, ..., REGISTRY10, ...
void formListKey(char (&key)[32], const char* name, long long n) {
    std::snprintf(key, sizeof key, "%s%lld", name, n);
}

// Copies one field of a line into an entry's field; false when it does not fit.
template <std::size_t N>
bool copyField(char (&destination)[N], std::string_view field) {
    if (field.size() >= N) return false;
    std::memcpy(destination, field.data(), field.size());
    destination[field.size()] = '\0';
    return true;
}

void readFileEntries(PatchContext& context) {
    for (long long n = 1; n <= context.fileCount; ++n) {
        char key[32];
        formListKey(key, "FILE", n);
        FileEntry entry{};
        char line[PATH_FIELD] = {};
        readText(context, key, line, sizeof line);
        if (line[0] == '\0') refuse();

        std::string_view fields[FILE_FIELDS];
        if (splitFields(line, fields, FILE_FIELDS) < FILE_FIELDS) refuse();
        if (!copyField(entry.mode, fields[0]) || !copyField(entry.sourceName, fields[1]) ||
            !copyField(entry.destPath, fields[2])) {
            refuse();
        }
        appendFile(context, entry);
    }
}

void readRegistryEntries(PatchContext& context) {
    for (long long n = 1; n <= context.registryCount; ++n) {
        char key[32];
        formListKey(key, "REGISTRY", n);
        RegistryEntry entry{};
        char line[REGISTRY_LINE_SIZE] = {};
        readText(context, key, line, sizeof line);
        if (line[0] == '\0') refuse();

        std::string_view fields[REGISTRY_FIELDS];
        if (splitFields(line, fields, REGISTRY_FIELDS) < REGISTRY_FIELDS) refuse();
        if (!copyField(entry.action, fields[0]) || !copyField(entry.rootName, fields[1]) ||
            !copyField(entry.subKey, fields[2]) || !copyField(entry.valueName, fields[3]) ||
            !copyField(entry.data, fields[4])) {
            refuse();
        }
        appendRegistry(context, entry);
    }
}

}  // namespace

void loadPatchDescription(PatchContext& context) {
    const std::int32_t moduleDirResult = getModuleDir(context.moduleDir, PATH_FIELD);
    const bool pathFits = copyText(context.descriptionPath, context.moduleDir) &&
                          appendText(context.descriptionPath, "\\") &&
                          appendText(context.descriptionPath, DESCRIPTION_NAME);
    if (moduleDirResult != 0) refuse();
    // A cut path would name another file: refuse it rather than read that.
    if (!pathFits) refuse();
    if (!fileExists(context.descriptionPath)) refuse();

    readText(context, "TARGET", context.target, sizeof context.target);
    context.moduleType = readNumberSetting(context, "MODULE_TYPE");

    const std::uint16_t language = platform::userInterfaceLanguage();
    if (language == LANGUAGE_JAPANESE) {
        readText(context, "MODULE_NM", context.moduleName, sizeof context.moduleName);
        readText(context, "TITLE_NM", context.title, sizeof context.title);
    } else if (language == LANGUAGE_ENGLISH_US) {
        readText(context, "MODULE_NM_E", context.moduleName, sizeof context.moduleName);
        readText(context, "TITLE_NM_E", context.title, sizeof context.title);
    }
    if (context.title[0] == '\0') copyText(context.title, context.moduleName);

    readText(context, "VERSION", context.version, sizeof context.version);
    readText(context, "VERSION_DISP", context.versionDisp, sizeof context.versionDisp);
    context.spNo = readNumberSetting(context, "SPNO651");
    context.ptNo = readNumberSetting(context, "PTNO");
    context.fileCount = readNumberSetting(context, "FILES");
    readFileEntries(context);

    context.registryCount = readNumberSetting(context, "REGISTRIES");
    readRegistryEntries(context);
}
