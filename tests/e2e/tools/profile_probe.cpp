// profile_probe: runs the table of INI lookups (tests/platform/profile_cases.h)
// against the real GetPrivateProfileStringA, so that the portable INI model
// and the system are held to the same answers.
//
//   profile_probe.exe
//
// Prints PASS or FAIL per case, with what the call gave for a failure, then
// "N passed, N failed". Under Wine a case marked as a known Wine difference
// that fails is printed as WINE-DIFFERS and not counted as a failure.
// Exit code: 0 when no case failed, 1 otherwise, 2 when the probe could not
// prepare its files.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/platform/profile_cases.h"

namespace {

// Bytes past the buffer that the call must leave alone.
constexpr std::uint32_t GUARD_BYTES = 8;
constexpr char GUARD_BYTE = '#';

bool runningUnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Printable ASCII as is, everything else as \xNN, so that the report reads the
// same in any console code page.
std::string shown(const char* bytes, std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned char byte = static_cast<unsigned char>(bytes[i]);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            text += static_cast<char>(byte);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        }
    }
    return text;
}

bool writeWholeFile(const std::string& path, const char* content) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const DWORD length = static_cast<DWORD>(std::strlen(content));
    DWORD written = 0;
    const bool ok = WriteFile(file, content, length, &written, nullptr) != FALSE && written == length;
    CloseHandle(file);
    return ok;
}

// A fresh name per case: the system may cache a profile file by its name.
std::string casePath(const std::string& folder, std::size_t index) {
    return folder + "profile_probe_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(index) + ".ini";
}

enum class Verdict { Pass, Fail, KnownWineDifference };

Verdict judge(const ProfileLookupCase& c, DWORD count, const std::vector<char>& buffer, bool underWine,
              std::string* detail) {
    const std::size_t expectedLength = std::strlen(c.expected);
    const bool guardKept = [&] {
        for (std::uint32_t i = c.size; i < buffer.size(); ++i) {
            if (buffer[i] != GUARD_BYTE) return false;
        }
        return true;
    }();
    const bool same = count == c.expectedCount && expectedLength < c.size &&
                      std::memcmp(buffer.data(), c.expected, expectedLength + 1) == 0 && guardKept;
    if (same) return Verdict::Pass;

    const void* end = std::memchr(buffer.data(), '\0', c.size);
    const std::size_t gotLength = end != nullptr ? static_cast<const char*>(end) - buffer.data() : c.size;
    *detail = "got " + std::to_string(count) + " \"" + shown(buffer.data(), gotLength) + "\"" +
              (guardKept ? "" : " (wrote past the buffer)") + ", expected " + std::to_string(c.expectedCount) +
              " \"" + shown(c.expected, expectedLength) + "\"";
    return c.wineDiffers && underWine ? Verdict::KnownWineDifference : Verdict::Fail;
}

}  // namespace

int main() {
    char folder[MAX_PATH + 1] = {};
    const DWORD folderLength = GetTempPathA(sizeof folder, folder);
    if (folderLength == 0 || folderLength > MAX_PATH) {
        std::printf("cannot find the temporary folder\n");
        return 2;
    }
    const bool underWine = runningUnderWine();

    int passed = 0;
    int failed = 0;
    int wineDifferences = 0;
    std::size_t index = 0;
    for (const ProfileLookupCase& c : PROFILE_LOOKUP_CASES) {
        const std::string path = casePath(folder, index++);
        DeleteFileA(path.c_str());
        if (c.content != nullptr && !writeWholeFile(path, c.content)) {
            std::printf("cannot write %s\n", path.c_str());
            return 2;
        }

        std::vector<char> buffer(c.size + GUARD_BYTES, GUARD_BYTE);
        const DWORD count = GetPrivateProfileStringA(c.section, c.key, c.defaultValue, buffer.data(), c.size,
                                                     path.c_str());
        DeleteFileA(path.c_str());

        std::string detail;
        switch (judge(c, count, buffer, underWine, &detail)) {
            case Verdict::Pass:
                ++passed;
                std::printf("PASS %s\n", c.name);
                break;
            case Verdict::Fail:
                ++failed;
                std::printf("FAIL %s: %s\n", c.name, detail.c_str());
                break;
            case Verdict::KnownWineDifference:
                ++wineDifferences;
                std::printf("WINE-DIFFERS %s: %s\n", c.name, detail.c_str());
                break;
        }
    }
    if (wineDifferences > 0) std::printf("known Wine differences: %d\n", wineDifferences);
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
