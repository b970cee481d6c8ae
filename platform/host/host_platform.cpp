#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/host/code_page.h"
#include "platform/host/host_machine.h"
#include "platform/platform.h"
#include "platform/profile_text.h"
#include "resources/message_texts.h"

namespace fs = std::filesystem;

namespace host {

namespace {

HostMachine& currentMachine() {
    static HostMachine current;
    return current;
}

bool japanese() { return currentMachine().uiLanguage == LANGUAGE_JAPANESE; }

// The ANSI code page goes with the interface language, as under Wine.
CodePage ansiCodePage() { return japanese() ? CodePage::Japanese : CodePage::WesternEuropean; }

std::string memoryKey(const std::string& path) { return fs::path(path).lexically_normal().generic_string(); }

const std::string* memoryFile(const std::string& path) {
    const auto& files = currentMachine().memoryFiles;
    const auto found = files.find(memoryKey(path));
    return found != files.end() ? &found->second : nullptr;
}

// Copies `text` as the Windows calls do: cut to size - 1 bytes and ended with
// a NUL; the number of bytes copied.
std::uint32_t copyOut(const std::string& text, char* buffer, std::uint32_t size) {
    if (buffer == nullptr || size == 0) return 0;
    const std::size_t count = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<std::uint32_t>(count);
}

bool readWholeFile(const std::string& path, std::string* content) {
    if (const std::string* inMemory = memoryFile(path)) {
        *content = *inMemory;
        return true;
    }
    std::ifstream in(fs::u8path(path), std::ios::binary);
    if (!in) return false;
    content->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool hasSeparator(const char* path) { return std::strchr(path, '\\') != nullptr || std::strchr(path, '/') != nullptr; }

// A profile path without a folder lies in the Windows directory, as Windows resolves it.
std::string profileHostPath(const char* path) {
    if (hasSeparator(path)) return hostPath(path);
    return (fs::u8path(currentMachine().windowsDirectory) / fs::u8path(hostPath(path))).u8string();
}

const char* messageText(std::uint32_t id, bool inJapanese) {
    switch (id) {
#define TOLVA_HOST_MESSAGE(number) \
    case number:                   \
        return inJapanese ? MESSAGE_JA_##number : MESSAGE_EN_##number;
        MESSAGE_IDS(TOLVA_HOST_MESSAGE)
#undef TOLVA_HOST_MESSAGE
        default: return nullptr;
    }
}

struct OpenFile {
    std::FILE* file;
};

OpenFile* openFile(const char* path, const char* mode) {
#ifdef _WIN32
    std::FILE* file = _wfopen(fs::u8path(hostPath(path)).c_str(), mode[0] == 'r' ? L"rb" : L"wb");
#else
    std::FILE* file = std::fopen(hostPath(path).c_str(), mode);
#endif
    return file != nullptr ? new OpenFile{file} : nullptr;
}

}  // namespace

void setMachine(HostMachine machine) {
    std::map<std::string, std::string> normalized;
    for (auto& [path, content] : machine.memoryFiles) normalized[memoryKey(path)] = std::move(content);
    machine.memoryFiles = std::move(normalized);
    currentMachine() = std::move(machine);
}

const HostMachine& machine() { return currentMachine(); }

std::string corePath(const std::string& hostPathText) {
    std::string path = hostPathText;
    for (char& character : path) {
        if (character == '/') character = '\\';
    }
    std::string converted;
    if (fromUtf8(ansiCodePage(), path, &converted)) return converted;
    return path;
}

std::string hostPath(const std::string& corePathText) {
    // The code page first: a trail byte of code page 932 may be 0x5C.
    std::string path = corePathText;
    std::string converted;
    if (toUtf8(ansiCodePage(), path, &converted)) path = converted;
#ifndef _WIN32
    for (char& character : path) {
        if (character == '\\') character = '/';
    }
#endif
    return path;
}

}  // namespace host

namespace platform {

std::uint32_t readProfileString(const char* section, const char* key, const char* defaultValue, char* buffer,
                                std::uint32_t size, const char* path) {
    std::string content;
    if (!host::readWholeFile(host::profileHostPath(path), &content)) content.clear();
    return copyProfileString(content, section, key, defaultValue, buffer, size);
}

bool writeProfileString(const char* section, const char* key, const char* value, const char* path) {
    const std::string file = host::profileHostPath(path);
    std::error_code error;
    const fs::path folder = fs::u8path(file).parent_path();
    if (!folder.empty() && !fs::is_directory(folder, error)) return false;
    std::string content;
    if (!host::readWholeFile(file, &content)) content.clear();
    std::ofstream out(fs::u8path(file), std::ios::binary | std::ios::trunc);
    out << withProfileValue(content, section, key, value);
    return static_cast<bool>(out.flush());
}

std::uint32_t moduleFileName(char* buffer, std::uint32_t size) {
    const std::string& path = host::machine().modulePath;
    if (path.empty()) return 0;
    const std::string core = host::corePath(path);
    // As Windows reports a path cut to the buffer: the size, text cut.
    const std::uint32_t copied = host::copyOut(core, buffer, size);
    return core.size() >= size ? size : copied;
}

std::uint32_t windowsDirectory(char* buffer, std::uint32_t size) {
    const std::string core = host::corePath(host::machine().windowsDirectory);
    // As Windows does: the size needed, NUL included, when it does not fit.
    if (core.size() >= size) return static_cast<std::uint32_t>(core.size() + 1);
    return host::copyOut(core, buffer, size);
}

std::uint16_t userInterfaceLanguage() { return host::machine().uiLanguage; }

const char* nextChar(const char* text) {
    if (*text == '\0') return text;
    const auto lead = static_cast<unsigned char>(*text);
    const bool doubleByteLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    if (host::japanese() && doubleByteLead && text[1] != '\0') return text + 2;
    return text + 1;
}

int loadString(std::uint32_t id, char* buffer, int capacity) {
    if (buffer == nullptr || capacity <= 0) return 0;
    const char* utf8 = host::messageText(id, host::japanese());
    if (utf8 == nullptr) return 0;
    std::string text;
    if (!host::fromUtf8(host::ansiCodePage(), utf8, &text)) return 0;
    return static_cast<int>(host::copyOut(text, buffer, static_cast<std::uint32_t>(capacity)));
}

int showMessageBox(const char* /*text*/, const char* /*caption*/, std::uint32_t /*flags*/) { return 0; }

void sleepMilliseconds(std::uint32_t /*milliseconds*/) {}

MutexResult acquireNamedMutex(const char* /*name*/) { return MutexResult::Acquired; }

WindowRef findWindowByClass(const char* /*className*/) { return 0; }
WindowRef findWindowByTitle(const char* /*title*/) { return 0; }
void postQuitMessage(WindowRef /*window*/) {}

std::uint32_t fileAttributes(const char* path) {
    const std::string file = host::hostPath(path);
    if (host::memoryFile(file) != nullptr) return ATTRIBUTE_ARCHIVE;
    std::error_code error;
    const fs::file_status status = fs::status(fs::u8path(file), error);
    if (error || !fs::exists(status)) return INVALID_ATTRIBUTES;
    if (fs::is_directory(status)) return ATTRIBUTE_DIRECTORY;
    const bool writable = (status.permissions() & fs::perms::owner_write) != fs::perms::none;
    return writable ? ATTRIBUTE_ARCHIVE : ATTRIBUTE_ARCHIVE | ATTRIBUTE_READONLY;
}

bool setFileAttributes(const char* path, std::uint32_t attributes) {
    std::error_code error;
    const auto options = (attributes & ATTRIBUTE_READONLY) != 0 ? fs::perm_options::remove : fs::perm_options::add;
    fs::permissions(fs::u8path(host::hostPath(path)), fs::perms::owner_write, options, error);
    return !error;
}

bool copyFile(const char* source, const char* destination) {
    const std::uint32_t existing = fileAttributes(destination);
    if (existing != INVALID_ATTRIBUTES && (existing & (ATTRIBUTE_READONLY | ATTRIBUTE_DIRECTORY)) != 0) return false;
    std::error_code error;
    fs::copy_file(fs::u8path(host::hostPath(source)), fs::u8path(host::hostPath(destination)),
                  fs::copy_options::overwrite_existing, error);
    return !error;
}

bool moveFileReplacing(const char* source, const char* destination) {
    std::error_code error;
    fs::rename(fs::u8path(host::hostPath(source)), fs::u8path(host::hostPath(destination)), error);
    return !error;
}

bool deleteFile(const char* path) {
    std::error_code error;
    return fs::remove(fs::u8path(host::hostPath(path)), error) && !error;
}

FileHandle openFileForReading(const char* path) { return host::openFile(path, "rb"); }

FileHandle createFileForWriting(const char* path) {
    const std::uint32_t existing = fileAttributes(path);
    if (existing != INVALID_ATTRIBUTES && (existing & ATTRIBUTE_READONLY) != 0) return nullptr;
    return host::openFile(path, "wb");
}

bool readFile(FileHandle file, void* buffer, std::uint32_t size, std::uint32_t* bytesRead) {
    auto* open = static_cast<host::OpenFile*>(file);
    const std::size_t count = std::fread(buffer, 1, size, open->file);
    *bytesRead = static_cast<std::uint32_t>(count);
    return std::ferror(open->file) == 0;
}

bool writeFile(FileHandle file, const void* data, std::uint32_t size) {
    auto* open = static_cast<host::OpenFile*>(file);
    return std::fwrite(data, 1, size, open->file) == size;
}

bool flushFile(FileHandle file) { return std::fflush(static_cast<host::OpenFile*>(file)->file) == 0; }

bool getFileTimes(FileHandle /*file*/, FileTimes* /*times*/) { return false; }
bool setFileTimes(FileHandle /*file*/, const FileTimes& /*times*/) { return false; }

void closeFile(FileHandle file) {
    auto* open = static_cast<host::OpenFile*>(file);
    std::fclose(open->file);
    delete open;
}

RegistryKey openRegistryKey(RegistryRoot /*root*/, const char* /*subKey*/) { return nullptr; }

bool queryRegistryValue(RegistryKey /*key*/, const char* /*valueName*/, std::uint32_t* /*type*/,
                        unsigned char* /*data*/, std::uint32_t* /*size*/) {
    return false;
}

bool setRegistryValue(RegistryKey /*key*/, const char* /*valueName*/, std::uint32_t /*type*/,
                      const unsigned char* /*data*/, std::uint32_t /*size*/) {
    return false;
}

void closeRegistryKey(RegistryKey /*key*/) {}

}  // namespace platform
