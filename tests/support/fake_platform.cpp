// The scripted test double behind platform/platform.h; fake_platform.h says
// what it models. Misuse that Windows would not report as a plain failure
// (a handle that is not open, a call the double does not model) is reported
// as a test failure.
#include "tests/support/fake_platform.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "platform/profile_text.h"
#include "resources/message_texts.h"
#include "tests/support/cp932.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint16_t JAPANESE = 1041;
constexpr std::uint16_t ENGLISH_US = 1033;
constexpr char DEFAULT_MODULE_PATH[] = "C:\\package\\applier.exe";
constexpr char DEFAULT_WINDOWS_DIRECTORY[] = "C:\\Windows";
constexpr platform::FileTimes DEFAULT_TIMES{1, 2, 3};
// Files that the platform creates or writes get times from this clock, later
// than any default, so that a copy that forgets the source's times shows.
constexpr std::uint64_t CLOCK_START = 0x01D9000000000000ULL;
constexpr std::uint64_t CLOCK_STEP = 10000000;  // one second in FILETIME ticks
// Windows refuses to overwrite such a file with CreateFileA(CREATE_ALWAYS,
// FILE_ATTRIBUTE_NORMAL), as the platform's createFileForWriting does.
constexpr std::uint32_t ATTRIBUTE_SYSTEM = 0x00000004;

struct OpenFile {
    std::string key;  // host path
    bool writing = false;
    std::fstream stream;
};

struct Window {
    fake::FakeWindow window;
    platform::WindowRef ref = 0;
    bool quitPosted = false;
    int sleepsLeft = -1;  // until it goes; -1: it is not going
};

struct OpenKey {
    std::string name;    // as opened, for the record of calls
    std::string folded;  // for finding the key's state
};

struct State {
    fs::path root;
    std::string modulePath = DEFAULT_MODULE_PATH;
    std::string windowsDirectory = DEFAULT_WINDOWS_DIRECTORY;
    std::uint16_t uiLanguage = ENGLISH_US;

    // Keyed by host path.
    std::map<std::string, std::uint32_t> attributes;  // missing: ATTRIBUTE_ARCHIVE
    std::map<std::string, platform::FileTimes> times;  // missing: DEFAULT_TIMES
    std::set<std::string> heldOpen;
    std::map<std::string, std::uint64_t> readLimits;
    std::map<std::string, std::uint64_t> writeLimits;
    std::map<std::string, std::uint64_t> bytesRead;
    std::map<std::string, std::uint64_t> bytesWritten;
    std::set<std::string> failingMoves;
    std::set<std::string> failingProfileWrites;
    std::map<std::string, std::vector<std::uint32_t>> readSizes;
    std::map<std::string, std::vector<std::uint32_t>> writeSizes;
    std::map<const void*, std::unique_ptr<OpenFile>> openFiles;
    std::uint64_t clock = CLOCK_START;

    std::deque<int> boxAnswers;
    std::vector<fake::ShownBox> boxes;

    std::vector<Window> windows;
    platform::WindowRef nextWindowRef = 1;

    std::map<std::string, fake::RegistryKeyState> registry;  // keyed by folded name
    std::map<const void*, std::unique_ptr<OpenKey>> openKeys;

    bool mutexHeldElsewhere = false;
    bool mutexCreationFails = false;
    bool mutexOwned = false;
    std::string mutexName;

    std::vector<fake::Call> calls;
};

State current;

// Removes the last test's folder when the test program ends.
struct RootRemover {
    ~RootRemover() {
        std::error_code ignored;
        if (!current.root.empty()) fs::remove_all(current.root, ignored);
    }
} rootRemover;

State& live() {
    if (current.root.empty()) throw std::logic_error("fake::reset() must be called before the test double is used");
    return current;
}

void record(fake::CallKind kind, const std::string& argument, std::uint32_t number = 0) {
    live().calls.push_back({kind, argument, number});
}

// ---- Text in the double's ANSI code page ---------------------------------

bool isLeadByte932(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

// Bytes of the character at `text[at]`: two for a double-byte character of
// code page 932 (Japanese interface only), never past the end.
std::size_t characterLength(const std::string& text, std::size_t at) {
    const bool doubleByte = current.uiLanguage == JAPANESE &&
                            isLeadByte932(static_cast<unsigned char>(text[at])) && at + 1 < text.size() &&
                            text[at + 1] != '\0';
    return doubleByte ? 2 : 1;
}

// ASCII letters lower-cased, as Windows compares names; the second byte of a
// double-byte character is left alone.
std::string folded(const std::string& text) {
    std::string result = text;
    for (std::size_t at = 0; at < result.size();) {
        const std::size_t length = characterLength(result, at);
        if (length == 1 && result[at] >= 'A' && result[at] <= 'Z') result[at] = static_cast<char>(result[at] + 32);
        at += length;
    }
    return result;
}

bool sameName(const std::string& a, const std::string& b) { return folded(a) == folded(b); }

std::string orEmpty(const char* text) { return text != nullptr ? text : ""; }

// ---- Paths ----------------------------------------------------------------

// The folders and file below the drive, "." and ".." resolved as Windows
// does; nullopt for a path that names no drive the double knows. A path
// rooted without a drive ("\dir\f") is on the current drive, C:.
std::optional<std::vector<std::string>> windowsPathParts(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t at = 0;
    const auto isSeparator = [](char c) { return c == '\\' || c == '/'; };
    if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
        if (path.size() > 2 && !isSeparator(path[2])) return std::nullopt;  // relative to a drive's folder
        parts.push_back(std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])))));
        at = 2;
    } else if (!path.empty() && isSeparator(path[0]) && (path.size() < 2 || !isSeparator(path[1]))) {
        parts.push_back("C");
    } else {
        return std::nullopt;  // relative, UNC or empty: the double has no current folder
    }

    std::string part;
    const auto endPart = [&] {
        if (part == "..") {
            if (parts.size() > 1) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        part.clear();
    };
    while (at < path.size()) {
        const std::size_t length = characterLength(path, at);
        if (length == 1 && isSeparator(path[at])) {
            endPart();
        } else {
            part.append(path, at, length);
        }
        at += length;
    }
    endPart();
    return parts;
}

// Host path of a Windows path: existing files and folders are found whatever
// the case of their names, as on Windows; new names keep the case given.
std::optional<std::string> keyOf(const std::string& windowsPath) {
    const std::optional<std::vector<std::string>> parts = windowsPathParts(windowsPath);
    if (!parts) return std::nullopt;
    fs::path host = live().root / parts->front();
    for (std::size_t i = 1; i < parts->size(); ++i) {
        const std::string& part = (*parts)[i];
        fs::path next = host / part;
        std::error_code error;
        if (!fs::exists(fs::symlink_status(next, error)) && fs::is_directory(host, error)) {
            for (const fs::directory_entry& entry : fs::directory_iterator(host, error)) {
                if (sameName(entry.path().filename().string(), part)) {
                    next = entry.path();
                    break;
                }
            }
        }
        host = next;
    }
    return host.string();
}

std::optional<std::string> keyOf(const char* windowsPath) {
    if (windowsPath == nullptr) return std::nullopt;
    return keyOf(std::string(windowsPath));
}

std::string requireKey(const std::string& windowsPath) {
    const std::optional<std::string> key = keyOf(windowsPath);
    if (!key) throw std::invalid_argument("not a full Windows path: " + windowsPath);
    return *key;
}

bool isFile(const std::string& key) {
    std::error_code error;
    return fs::is_regular_file(key, error);
}

bool isDirectory(const std::string& key) {
    std::error_code error;
    return fs::is_directory(key, error);
}

bool folderExists(const std::string& key) { return isDirectory(fs::path(key).parent_path().string()); }

std::string readWhole(const std::string& key) {
    std::ifstream in(key, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool writeWhole(const std::string& key, const std::string& bytes) {
    std::ofstream out(key, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

// ---- Attributes, times and sharing ----------------------------------------

bool openHere(const std::string& key) {
    for (const auto& [handle, file] : live().openFiles) {
        if (file->key == key) return true;
    }
    return false;
}

// Every open is unshared: one handle anywhere keeps everyone else out.
bool inUse(const std::string& key) { return live().heldOpen.count(key) != 0 || openHere(key); }

std::uint32_t storedAttributes(const std::string& key) {
    const auto found = live().attributes.find(key);
    return found != live().attributes.end() ? found->second : platform::ATTRIBUTE_ARCHIVE;
}

bool hasAttribute(const std::string& key, std::uint32_t attribute) {
    return (storedAttributes(key) & attribute) != 0;
}

std::uint32_t reportedAttributes(const std::string& key) {
    if (isDirectory(key)) {
        const auto found = live().attributes.find(key);
        return platform::ATTRIBUTE_DIRECTORY | (found != live().attributes.end() ? found->second : 0);
    }
    if (!isFile(key)) return platform::INVALID_ATTRIBUTES;
    const std::uint32_t stored = storedAttributes(key);
    return stored != 0 ? stored : platform::ATTRIBUTE_NORMAL;
}

// NORMAL means "none of the others"; DIRECTORY cannot be set.
void storeAttributes(const std::string& key, std::uint32_t attributes) {
    live().attributes[key] = attributes & ~(platform::ATTRIBUTE_NORMAL | platform::ATTRIBUTE_DIRECTORY);
}

platform::FileTimes storedTimes(const std::string& key) {
    const auto found = live().times.find(key);
    return found != live().times.end() ? found->second : DEFAULT_TIMES;
}

std::uint64_t tick() { return live().clock += CLOCK_STEP; }

void forgetFile(const std::string& key) {
    live().attributes.erase(key);
    live().times.erase(key);
}

void stampCreated(const std::string& key) {
    forgetFile(key);
    const std::uint64_t now = tick();
    live().times[key] = {now, now, now};
}

void stampWritten(const std::string& key) {
    platform::FileTimes times = storedTimes(key);
    times.lastAccess = times.lastWrite = tick();
    live().times[key] = times;
}

// Moves (or, with `keepSource`, copies) the table entries of one file to another.
void carryEntries(const std::string& from, const std::string& to, bool keepSource) {
    State& state = live();
    const auto attributes = state.attributes.find(from);
    if (attributes != state.attributes.end()) {
        state.attributes[to] = attributes->second;
    } else {
        state.attributes.erase(to);
    }
    state.times[to] = storedTimes(from);
    if (!keepSource) forgetFile(from);
}

OpenFile* openFile(platform::FileHandle handle, const char* operation) {
    const auto found = live().openFiles.find(handle);
    if (found == live().openFiles.end()) {
        ADD_FAILURE() << operation << " on a file handle that is not open";
        return nullptr;
    }
    return found->second.get();
}

platform::FileHandle addOpenFile(const std::string& key, bool writing, std::ios::openmode mode) {
    auto file = std::make_unique<OpenFile>();
    file->key = key;
    file->writing = writing;
    file->stream.open(key, mode | std::ios::binary);
    if (!file->stream) return nullptr;
    platform::FileHandle handle = file.get();
    live().openFiles[handle] = std::move(file);
    return handle;
}

bool limitReached(const std::map<std::string, std::uint64_t>& limits,
                  const std::map<std::string, std::uint64_t>& passed, const std::string& key) {
    const auto limit = limits.find(key);
    if (limit == limits.end()) return false;
    const auto count = passed.find(key);
    return (count != passed.end() ? count->second : 0) >= limit->second;
}

// ---- Profiles -------------------------------------------------------------

// A file name without a folder lives in the Windows directory.
std::string profilePath(const std::string& path) {
    for (std::size_t at = 0; at < path.size(); at += characterLength(path, at)) {
        if (path[at] == '\\' || path[at] == '/') return path;
    }
    return live().windowsDirectory + "\\" + path;
}

// ---- Messages -------------------------------------------------------------

struct MessageText {
    std::uint32_t id;
    const char* english;
    const char* japanese;
};

#define FAKE_MESSAGE_ROW(id) {id, MESSAGE_EN_##id, MESSAGE_JA_##id},
const MessageText MESSAGE_TEXTS[] = {MESSAGE_IDS(FAKE_MESSAGE_ROW)};
#undef FAKE_MESSAGE_ROW

// ---- Windows and registry -------------------------------------------------

platform::WindowRef findWindow(const std::string& name, bool byTitle) {
    record(fake::CallKind::FindWindow, name, byTitle ? 1 : 0);
    for (const Window& window : live().windows) {
        if (sameName(byTitle ? window.window.title : window.window.className, name)) return window.ref;
    }
    return 0;
}

const char* rootName(platform::RegistryRoot root) {
    switch (root) {
        case platform::RegistryRoot::ClassesRoot: return "HKEY_CLASSES_ROOT";
        case platform::RegistryRoot::CurrentUser: return "HKEY_CURRENT_USER";
        case platform::RegistryRoot::LocalMachine: return "HKEY_LOCAL_MACHINE";
        case platform::RegistryRoot::Users: return "HKEY_USERS";
    }
    return "";
}

std::string registryKeyName(std::string rootAndSubKey) {
    while (!rootAndSubKey.empty() && rootAndSubKey.back() == '\\') rootAndSubKey.pop_back();
    return folded(rootAndSubKey);
}

// A key exists when it was made, or when a key below it was: Windows has no
// key without its parents.
bool registryKeyExists(const std::string& foldedName) {
    const std::map<std::string, fake::RegistryKeyState>& registry = live().registry;
    if (registry.count(foldedName) != 0) return true;
    const std::string below = foldedName + "\\";
    const auto next = registry.lower_bound(below);
    return next != registry.end() && next->first.compare(0, below.size(), below) == 0;
}

OpenKey* openKey(platform::RegistryKey key, const char* operation) {
    const auto found = live().openKeys.find(key);
    if (found == live().openKeys.end()) {
        ADD_FAILURE() << operation << " on a registry key that is not open";
        return nullptr;
    }
    return found->second.get();
}

// Value names compare without case, as the registry's do.
std::map<std::string, fake::RegistryValue>::iterator findValue(fake::RegistryKeyState& key, const std::string& name) {
    for (auto value = key.values.begin(); value != key.values.end(); ++value) {
        if (sameName(value->first, name)) return value;
    }
    return key.values.end();
}

}  // namespace

// =========================================================================
// The platform seam
// =========================================================================

namespace platform {

std::uint32_t readProfileString(const char* section, const char* key, const char* defaultValue, char* buffer,
                                std::uint32_t size, const char* path) {
    if (section == nullptr || key == nullptr || path == nullptr || (buffer == nullptr && size != 0)) {
        ADD_FAILURE() << "readProfileString: the double models single-value reads only";
        return 0;
    }
    const std::optional<std::string> file = keyOf(profilePath(path));
    // A file that cannot be opened reads like a missing one.
    const bool readable = file && isFile(*file) && !inUse(*file);
    return copyProfileString(readable ? readWhole(*file) : std::string(), section, key, defaultValue, buffer, size);
}

bool writeProfileString(const char* section, const char* key, const char* value, const char* path) {
    if (section == nullptr || key == nullptr || value == nullptr || path == nullptr) {
        ADD_FAILURE() << "writeProfileString: the double does not model deleting keys or sections";
        return false;
    }
    const std::optional<std::string> file = keyOf(profilePath(path));
    if (!file || live().failingProfileWrites.count(*file) != 0) return false;
    if (!folderExists(*file) || isDirectory(*file)) return false;
    const bool existed = isFile(*file);
    if (existed && (inUse(*file) || hasAttribute(*file, ATTRIBUTE_READONLY))) return false;
    const std::string content = existed ? readWhole(*file) : std::string();
    if (!writeWhole(*file, withProfileValue(content, section, key, value))) return false;
    if (existed) {
        stampWritten(*file);
    } else {
        stampCreated(*file);
    }
    return true;
}

std::uint32_t moduleFileName(char* buffer, std::uint32_t size) {
    const std::string& path = live().modulePath;
    if (path.empty() || buffer == nullptr || size == 0) return 0;
    // Like GetModuleFileNameA: a path that does not fit is cut, and the
    // result is then the whole buffer size.
    const std::size_t count = std::min<std::size_t>(path.size(), size - 1);
    std::memcpy(buffer, path.data(), count);
    buffer[count] = '\0';
    return path.size() < size ? static_cast<std::uint32_t>(path.size()) : size;
}

std::uint32_t windowsDirectory(char* buffer, std::uint32_t size) {
    const std::string& path = live().windowsDirectory;
    // Like GetWindowsDirectoryA: when it does not fit, only the size needed.
    if (buffer == nullptr || path.size() >= size) return static_cast<std::uint32_t>(path.size() + 1);
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<std::uint32_t>(path.size());
}

std::uint16_t userInterfaceLanguage() { return live().uiLanguage; }

const char* nextChar(const char* text) {
    if (text == nullptr || *text == '\0') return text;
    const bool doubleByte =
        live().uiLanguage == JAPANESE && isLeadByte932(static_cast<unsigned char>(text[0])) && text[1] != '\0';
    return text + (doubleByte ? 2 : 1);
}

int loadString(std::uint32_t id, char* buffer, int capacity) {
    if (buffer == nullptr || capacity <= 0) return 0;
    buffer[0] = '\0';
    const bool japanese = live().uiLanguage == JAPANESE;
    for (const MessageText& message : MESSAGE_TEXTS) {
        if (message.id != id) continue;
        const std::string text = japanese ? toCp932(message.japanese) : message.english;
        // Cut to the buffer like LoadStringA, which never splits a character.
        std::size_t count = 0;
        while (count < text.size()) {
            const std::size_t length = characterLength(text, count);
            if (count + length > static_cast<std::size_t>(capacity - 1)) break;
            count += length;
        }
        std::memcpy(buffer, text.data(), count);
        buffer[count] = '\0';
        return static_cast<int>(count);
    }
    return 0;
}

int showMessageBox(const char* text, const char* caption, std::uint32_t flags) {
    State& state = live();
    record(fake::CallKind::MessageBox, orEmpty(text), flags);
    state.boxes.push_back({orEmpty(text), orEmpty(caption), flags});
    if (state.boxAnswers.empty()) return ANSWER_OK;
    const int answer = state.boxAnswers.front();
    state.boxAnswers.pop_front();
    return answer;
}

void sleepMilliseconds(std::uint32_t milliseconds) {
    record(fake::CallKind::Sleep, "", milliseconds);
    std::vector<Window>& windows = live().windows;
    for (Window& window : windows) {
        if (window.sleepsLeft > 0) --window.sleepsLeft;
    }
    windows.erase(std::remove_if(windows.begin(), windows.end(),
                                 [](const Window& window) { return window.sleepsLeft == 0; }),
                  windows.end());
}

MutexResult acquireNamedMutex(const char* name) {
    State& state = live();
    state.mutexName = orEmpty(name);
    if (state.mutexCreationFails) return MutexResult::Failed;
    // A second creation in the same process finds the name taken, as it
    // does on Windows.
    if (state.mutexHeldElsewhere || state.mutexOwned) return MutexResult::HeldElsewhere;
    state.mutexOwned = true;
    return MutexResult::Acquired;
}

WindowRef findWindowByClass(const char* className) { return findWindow(orEmpty(className), false); }

WindowRef findWindowByTitle(const char* title) { return findWindow(orEmpty(title), true); }

void postQuitMessage(WindowRef window) {
    std::vector<Window>& windows = live().windows;
    const auto found = std::find_if(windows.begin(), windows.end(),
                                    [window](const Window& candidate) { return candidate.ref == window; });
    record(fake::CallKind::PostQuit, found != windows.end() ? found->window.title : "",
           static_cast<std::uint32_t>(window));
    if (found == windows.end() || found->quitPosted) return;
    found->quitPosted = true;
    if (found->window.closesAfterSleeps == 0) {
        windows.erase(found);
    } else if (found->window.closesAfterSleeps > 0) {
        found->sleepsLeft = found->window.closesAfterSleeps;
    }
}

std::uint32_t fileAttributes(const char* path) {
    const std::optional<std::string> key = keyOf(path);
    return key ? reportedAttributes(*key) : INVALID_ATTRIBUTES;
}

bool setFileAttributes(const char* path, std::uint32_t attributes) {
    // Setting attributes needs no data access: files held open allow it.
    const std::optional<std::string> key = keyOf(path);
    if (!key || reportedAttributes(*key) == INVALID_ATTRIBUTES) return false;
    storeAttributes(*key, attributes);
    return true;
}

bool copyFile(const char* source, const char* destination) {
    const std::optional<std::string> from = keyOf(source);
    const std::optional<std::string> to = keyOf(destination);
    if (!from || !to || *from == *to || !isFile(*from) || inUse(*from)) return false;
    if (!folderExists(*to) || isDirectory(*to) || inUse(*to)) return false;
    if (isFile(*to) && hasAttribute(*to, ATTRIBUTE_READONLY | ATTRIBUTE_HIDDEN)) return false;
    std::error_code error;
    fs::copy_file(*from, *to, fs::copy_options::overwrite_existing, error);
    if (error) return false;
    carryEntries(*from, *to, true);
    return true;
}

bool moveFileReplacing(const char* source, const char* destination) {
    const std::optional<std::string> from = keyOf(source);
    const std::optional<std::string> to = keyOf(destination);
    if (!from || !to || !isFile(*from) || inUse(*from)) return false;
    if (live().failingMoves.count(*to) != 0) return false;
    if (*from == *to) return true;
    if (!folderExists(*to) || isDirectory(*to) || inUse(*to)) return false;
    if (isFile(*to) && hasAttribute(*to, ATTRIBUTE_READONLY)) return false;
    std::error_code error;
    fs::rename(*from, *to, error);
    if (error) return false;
    carryEntries(*from, *to, false);
    return true;
}

bool deleteFile(const char* path) {
    const std::optional<std::string> key = keyOf(path);
    if (!key || !isFile(*key) || inUse(*key) || hasAttribute(*key, ATTRIBUTE_READONLY)) return false;
    std::error_code error;
    if (!fs::remove(*key, error)) return false;
    forgetFile(*key);
    return true;
}

FileHandle openFileForReading(const char* path) {
    const std::optional<std::string> key = keyOf(path);
    if (!key || !isFile(*key) || inUse(*key)) return nullptr;
    return addOpenFile(*key, false, std::ios::in);
}

FileHandle createFileForWriting(const char* path) {
    const std::optional<std::string> key = keyOf(path);
    if (!key || !folderExists(*key) || isDirectory(*key) || inUse(*key)) return nullptr;
    const bool existed = isFile(*key);
    if (existed && hasAttribute(*key, ATTRIBUTE_READONLY | ATTRIBUTE_HIDDEN | ATTRIBUTE_SYSTEM)) return nullptr;
    FileHandle handle = addOpenFile(*key, true, std::ios::out | std::ios::trunc);
    if (handle == nullptr) return nullptr;
    if (existed) {
        live().attributes[*key] = ATTRIBUTE_ARCHIVE;
        stampWritten(*key);
    } else {
        stampCreated(*key);
    }
    return handle;
}

bool readFile(FileHandle file, void* buffer, std::uint32_t size, std::uint32_t* bytesRead) {
    if (bytesRead != nullptr) *bytesRead = 0;
    OpenFile* open = openFile(file, "readFile");
    if (open == nullptr) return false;
    State& state = live();
    state.readSizes[open->key].push_back(size);
    if (open->writing || limitReached(state.readLimits, state.bytesRead, open->key)) return false;
    open->stream.read(static_cast<char*>(buffer), size);
    const std::uint32_t count = static_cast<std::uint32_t>(open->stream.gcount());
    open->stream.clear();  // the end of the file is no error
    state.bytesRead[open->key] += count;
    if (bytesRead != nullptr) *bytesRead = count;
    return true;
}

bool writeFile(FileHandle file, const void* data, std::uint32_t size) {
    OpenFile* open = openFile(file, "writeFile");
    if (open == nullptr) return false;
    State& state = live();
    state.writeSizes[open->key].push_back(size);
    if (!open->writing || limitReached(state.writeLimits, state.bytesWritten, open->key)) return false;
    open->stream.write(static_cast<const char*>(data), size);
    if (!open->stream.flush()) return false;
    state.bytesWritten[open->key] += size;
    return true;
}

bool flushFile(FileHandle file) {
    OpenFile* open = openFile(file, "flushFile");
    return open != nullptr && static_cast<bool>(open->stream.flush());
}

// GetFileTime needs read access to the handle and SetFileTime write access.
bool getFileTimes(FileHandle file, FileTimes* times) {
    OpenFile* open = openFile(file, "getFileTimes");
    if (open == nullptr || open->writing || times == nullptr) return false;
    *times = storedTimes(open->key);
    return true;
}

bool setFileTimes(FileHandle file, const FileTimes& times) {
    OpenFile* open = openFile(file, "setFileTimes");
    if (open == nullptr || !open->writing) return false;
    live().times[open->key] = times;
    return true;
}

void closeFile(FileHandle file) {
    if (file == nullptr) return;
    if (openFile(file, "closeFile") != nullptr) live().openFiles.erase(file);
}

RegistryKey openRegistryKey(RegistryRoot root, const char* subKey) {
    std::string name = rootName(root);
    if (subKey != nullptr && *subKey != '\0') name += std::string("\\") + subKey;
    record(fake::CallKind::RegistryOpen, name);
    const std::string foldedName = registryKeyName(name);
    if (!registryKeyExists(foldedName)) return nullptr;
    const auto state = live().registry.find(foldedName);
    if (state != live().registry.end() && state->second.denyAccess) return nullptr;
    auto key = std::make_unique<OpenKey>(OpenKey{name, foldedName});
    RegistryKey handle = key.get();
    live().openKeys[handle] = std::move(key);
    return handle;
}

bool queryRegistryValue(RegistryKey key, const char* valueName, std::uint32_t* type, unsigned char* data,
                        std::uint32_t* size) {
    record(fake::CallKind::RegistryQuery, orEmpty(valueName));
    OpenKey* open = openKey(key, "queryRegistryValue");
    if (open == nullptr || size == nullptr) return false;
    fake::RegistryKeyState& state = live().registry[open->folded];
    const auto value = findValue(state, orEmpty(valueName));
    if (value == state.values.end()) return false;
    const std::string& bytes = value->second.bytes;
    // Without a buffer the call only tells the size, as RegQueryValueExA does;
    // a buffer too small fails (ERROR_MORE_DATA) and leaves *size alone.
    if (data != nullptr) {
        if (bytes.size() > *size) return false;
        std::memcpy(data, bytes.data(), bytes.size());
    }
    if (type != nullptr) *type = value->second.type;
    *size = static_cast<std::uint32_t>(bytes.size());
    return true;
}

bool setRegistryValue(RegistryKey key, const char* valueName, std::uint32_t type, const unsigned char* data,
                      std::uint32_t size) {
    record(fake::CallKind::RegistrySet, orEmpty(valueName), type);
    OpenKey* open = openKey(key, "setRegistryValue");
    if (open == nullptr || (data == nullptr && size != 0)) return false;
    fake::RegistryKeyState& state = live().registry[open->folded];
    if (state.denyWrite) return false;
    const std::string bytes = size != 0 ? std::string(reinterpret_cast<const char*>(data), size) : std::string();
    const auto value = findValue(state, orEmpty(valueName));
    if (value != state.values.end()) {
        value->second = {type, bytes};
    } else {
        state.values[orEmpty(valueName)] = {type, bytes};
    }
    return true;
}

void closeRegistryKey(RegistryKey key) {
    if (key == nullptr) return;
    OpenKey* open = openKey(key, "closeRegistryKey");
    if (open == nullptr) return;
    record(fake::CallKind::RegistryClose, open->name);
    live().openKeys.erase(key);
}

}  // namespace platform

// =========================================================================
// The scripting API
// =========================================================================

namespace fake {

void reset() {
    const fs::path previous = current.root;
    current = State{};  // closes every handle the last test left open
    std::error_code ignored;
    if (!previous.empty()) fs::remove_all(previous, ignored);

    std::string pattern = (fs::temp_directory_path() / "fake_platform.XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create the double's temporary folder");
    current.root = pattern;
    makeDirectory("C:\\package");
    makeDirectory(DEFAULT_WINDOWS_DIRECTORY);
}

const std::filesystem::path& root() { return live().root; }

std::filesystem::path hostPath(const std::string& windowsPath) { return requireKey(windowsPath); }

void writeFile(const std::string& windowsPath, const std::string& bytes) {
    const std::string key = requireKey(windowsPath);
    fs::create_directories(fs::path(key).parent_path());
    const bool existed = isFile(key);
    if (!writeWhole(key, bytes)) throw std::runtime_error("cannot write " + windowsPath);
    if (!existed) forgetFile(key);
}

std::string readFile(const std::string& windowsPath) {
    const std::string key = requireKey(windowsPath);
    if (!isFile(key)) throw std::runtime_error("no such file: " + windowsPath);
    return readWhole(key);
}

bool exists(const std::string& windowsPath) {
    std::error_code error;
    return fs::exists(requireKey(windowsPath), error);
}

void makeDirectory(const std::string& windowsPath) { fs::create_directories(requireKey(windowsPath)); }

void setModulePath(const std::string& path) { live().modulePath = path; }

void setWindowsDirectory(const std::string& path) { live().windowsDirectory = path; }

void setUiLanguage(std::uint16_t language) { live().uiLanguage = language; }

void setAttributes(const std::string& windowsPath, std::uint32_t attributes) {
    const std::string key = requireKey(windowsPath);
    if (reportedAttributes(key) == platform::INVALID_ATTRIBUTES) {
        throw std::runtime_error("no such file or folder: " + windowsPath);
    }
    storeAttributes(key, attributes);
}

std::uint32_t attributes(const std::string& windowsPath) { return reportedAttributes(requireKey(windowsPath)); }

void setTimes(const std::string& windowsPath, const platform::FileTimes& times) {
    const std::string key = requireKey(windowsPath);
    if (!isFile(key)) throw std::runtime_error("no such file: " + windowsPath);
    live().times[key] = times;
}

platform::FileTimes times(const std::string& windowsPath) {
    const std::string key = requireKey(windowsPath);
    if (!isFile(key)) throw std::runtime_error("no such file: " + windowsPath);
    return storedTimes(key);
}

void holdOpen(const std::string& windowsPath) { live().heldOpen.insert(requireKey(windowsPath)); }

void failReadsAfter(const std::string& windowsPath, std::uint64_t afterBytes) {
    live().readLimits[requireKey(windowsPath)] = afterBytes;
}

void failWritesAfter(const std::string& windowsPath, std::uint64_t afterBytes) {
    live().writeLimits[requireKey(windowsPath)] = afterBytes;
}

void failMovesOnto(const std::string& windowsPath) { live().failingMoves.insert(requireKey(windowsPath)); }

void failProfileWrites(const std::string& windowsPath) {
    live().failingProfileWrites.insert(requireKey(profilePath(windowsPath)));
}

std::vector<std::uint32_t> readSizes(const std::string& windowsPath) {
    const auto found = live().readSizes.find(requireKey(windowsPath));
    return found != live().readSizes.end() ? found->second : std::vector<std::uint32_t>{};
}

std::vector<std::uint32_t> writeSizes(const std::string& windowsPath) {
    const auto found = live().writeSizes.find(requireKey(windowsPath));
    return found != live().writeSizes.end() ? found->second : std::vector<std::uint32_t>{};
}

int openFileCount() { return static_cast<int>(live().openFiles.size()); }

int openRegistryKeyCount() { return static_cast<int>(live().openKeys.size()); }

void queueBoxAnswer(int answer) { live().boxAnswers.push_back(answer); }

const std::vector<ShownBox>& shownBoxes() { return live().boxes; }

void addWindow(const FakeWindow& window) {
    State& state = live();
    state.windows.push_back({window, state.nextWindowRef++});
}

int windowCount() { return static_cast<int>(live().windows.size()); }

RegistryKeyState& registryKey(const std::string& rootAndSubKey) {
    return live().registry[registryKeyName(rootAndSubKey)];
}

bool hasRegistryKey(const std::string& rootAndSubKey) { return registryKeyExists(registryKeyName(rootAndSubKey)); }

void holdMutexElsewhere(bool held) { live().mutexHeldElsewhere = held; }

void failMutexCreation(bool fail) { live().mutexCreationFails = fail; }

bool mutexAcquired() { return live().mutexOwned; }

const std::string& mutexName() { return live().mutexName; }

const std::vector<Call>& calls() { return live().calls; }

std::vector<std::uint32_t> sleeps() {
    std::vector<std::uint32_t> milliseconds;
    for (const Call& call : live().calls) {
        if (call.kind == CallKind::Sleep) milliseconds.push_back(call.number);
    }
    return milliseconds;
}

int countCalls(CallKind kind) {
    return static_cast<int>(std::count_if(live().calls.begin(), live().calls.end(),
                                          [kind](const Call& call) { return call.kind == kind; }));
}

}  // namespace fake
