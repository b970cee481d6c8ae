// The whole settings load from any patch description and installation
// record, through the platform test double. Whatever the files hold, the
// load ends with 0, 2 or 8, every text field of the context stays terminated
// within its width, and a load that succeeds leaves a context that the
// stages can trust.
//
// Input: one option byte, then the patch description, a NUL, and the
// installation record (written under all three record names).
//   bits 0-1  interface language: 1041, 1033, 2057 or 1031
//   bit 2     store every "key=value" value through the codec first, as the
//             product's own tools write them (plain seeds stay readable)
//   bit 3     no installation record
//   bit 4     no patch description
//   bits 5-6  length of the Windows directory: 10, 244 ("VornCreator.ini"
//             no longer fits beside it in 259), 249 (only "Tolva.ini" fits,
//             exactly) or 259 (not even the backslash fits)
//   bit 7     length of the package folder: 10, or 248 (the description path
//             is exactly 259)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "settings/load_settings.h"
#include "settings/value_codec.h"
#include "tests/support/fake_platform.h"

namespace {

constexpr std::uint16_t LANGUAGES[] = {1041, 1033, 2057, 1031};
constexpr std::uint8_t ENCODE_VALUES = 0x04;
constexpr std::uint8_t NO_RECORD = 0x08;
constexpr std::uint8_t NO_DESCRIPTION = 0x10;
constexpr std::size_t WINDOWS_DIRECTORY_LENGTHS[] = {10, 244, 249, 259};
constexpr std::size_t PACKAGE_FOLDER_LENGTHS[] = {10, 248};
const char* const RECORD_NAMES[] = {"Tolva.ini", "VornCreator.ini", "VornLogMng.ini"};

// "C:" and then folders of up to 99 characters, each after a backslash:
// a path of `length` characters (none of the lengths used leaves an empty
// folder name).
std::string folderOfLength(char letter, std::size_t length) {
    std::string folder = "C:";
    while (folder.size() < length) {
        folder += '\\';
        folder.append(std::min<std::size_t>(99, length - folder.size()), letter);
    }
    return folder;
}

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "load_settings: %s\n", what);
        std::abort();
    }
}

std::string encoded(const std::string& plain) {
    std::string buffer(2 * plain.size() + 3, '\0');
    codeValue('+', plain.c_str(), buffer.data(), static_cast<std::int32_t>(buffer.size()));
    return buffer.c_str();
}

// The INI text with the value of every line that has an '=' (what follows
// its first '=', up to the line end) replaced by the value's encoding.
std::string withEncodedValues(const std::string& content) {
    std::string result;
    std::size_t begin = 0;
    while (begin < content.size()) {
        std::size_t newline = content.find('\n', begin);
        if (newline == std::string::npos) newline = content.size();
        std::size_t end = newline;
        if (end > begin && content[end - 1] == '\r') --end;
        const std::size_t equals = content.find('=', begin);
        if (equals < end) {
            result += content.substr(begin, equals + 1 - begin) + encoded(content.substr(equals + 1, end - equals - 1));
        } else {
            result += content.substr(begin, end - begin);
        }
        result += content.substr(end, newline + 1 - end);
        begin = newline + 1;
    }
    return result;
}

void place(const std::string& windowsPath, bool present, const std::string& content) {
    if (present) {
        fake::writeFile(windowsPath, content);
    } else {
        std::error_code ignored;
        std::filesystem::remove(fake::hostPath(windowsPath), ignored);
    }
}

template <std::size_t N>
bool terminated(const char (&field)[N]) {
    return std::memchr(field, '\0', N) != nullptr;
}

void requireTerminatedFields(const PatchContext& context) {
    const bool contextFields =
        terminated(context.descriptionPath) && terminated(context.moduleDir) && terminated(context.installedVersion) &&
        terminated(context.platform) && terminated(context.editionMarker) && terminated(context.installDir) &&
        terminated(context.productIniPath) && terminated(context.target) && terminated(context.productName) &&
        terminated(context.moduleName) && terminated(context.title) && terminated(context.version) &&
        terminated(context.versionDisp);
    require(contextFields, "a context text runs past its field");
    for (const FileEntry& entry : context.files) {
        require(terminated(entry.mode) && terminated(entry.sourceName) && terminated(entry.destPath),
                "a file entry's text runs past its field");
    }
    for (const RegistryEntry& entry : context.registries) {
        require(terminated(entry.action) && terminated(entry.rootName) && terminated(entry.subKey) &&
                    terminated(entry.valueName) && terminated(entry.data),
                "a registry entry's text runs past its field");
    }
}

void requireLoadedContext(const PatchContext& context) {
    require(context.target[0] >= '0' && context.target[0] <= '3', "target is not 0 to 3");
    require(context.installedVersion[0] != '\0', "installedVersion is empty");
    require(context.installDir[0] != '\0', "installDir is empty");
    require(context.files.size() == static_cast<std::size_t>(std::max(context.fileCount, 0)),
            "the file list does not match FILES");
    require(context.registries.size() == static_cast<std::size_t>(std::max(context.registryCount, 0)),
            "the registry list does not match REGISTRIES");
    const std::string prefix = std::string(context.installDir) + "\\";
    for (const FileEntry& entry : context.files) {
        require(std::strncmp(entry.destPath, prefix.c_str(), prefix.size()) == 0,
                "a destination does not begin with installDir and a backslash");
    }
}

// The double reports misuse (a call it does not model) as a GoogleTest
// failure; here that ends the run as a crash, so that libFuzzer keeps the input.
class AbortOnFailure : public testing::EmptyTestEventListener {
    void OnTestPartResult(const testing::TestPartResult& result) override {
        if (result.failed()) require(false, result.message());
    }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    testing::UnitTest::GetInstance()->listeners().Append(new AbortOnFailure);
    // One temporary root for the whole run: each input rewrites the files in place.
    fake::reset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t options = data[0];
    const char* begin = reinterpret_cast<const char*>(data) + 1;
    const char* end = reinterpret_cast<const char*>(data) + size;
    const char* separator = std::find(begin, end, '\0');
    std::string description(begin, separator);
    std::string record(separator == end ? end : separator + 1, end);
    if (options & ENCODE_VALUES) {
        description = withEncodedValues(description);
        record = withEncodedValues(record);
    }

    fake::setUiLanguage(LANGUAGES[options & 0x03]);
    const std::string windowsDirectory = folderOfLength('w', WINDOWS_DIRECTORY_LENGTHS[(options >> 5) & 0x03]);
    const std::string packageFolder = folderOfLength('p', PACKAGE_FOLDER_LENGTHS[(options >> 7) & 0x01]);
    fake::setWindowsDirectory(windowsDirectory);
    fake::setModulePath(packageFolder + "\\a.exe");
    place(packageFolder + "\\tlvIni.ini", !(options & NO_DESCRIPTION), description);
    for (const char* name : RECORD_NAMES) place(windowsDirectory + "\\" + name, !(options & NO_RECORD), record);

    PatchContext context{};
    const ResultCode result = loadSettings(context);
    require(result == RESULT_OK || result == RESULT_SETTINGS_UNREADABLE || result == RESULT_NOT_INSTALLED,
            "the load ended with a code it never gives");
    requireTerminatedFields(context);
    if (result == RESULT_OK) requireLoadedContext(context);
    return 0;
}
