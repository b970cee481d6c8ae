// The record of one run: what the patch description and the installation
// record say, and the two lists of work. Every text is a NUL-terminated ANSI
// byte string in a field whose width counts the NUL; writes are bounded by it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr std::size_t PATH_FIELD = 260;    // paths and most values: 259 characters at most
constexpr std::size_t SHORT_FIELD = 255;   // installedVersion and three registry fields
constexpr std::size_t LONG_FIELD = 1024;   // registry sub-key and data

struct FileEntry {
    char mode[PATH_FIELD];        // "0" plain copy, "1" byte-shift decoding copy
    char sourceName[PATH_FIELD];  // below SET\<platform> in the package
    char destPath[PATH_FIELD];    // relative at first, then completed with installDir
};

struct RegistryEntry {
    char action[SHORT_FIELD];  // decimal; 0 quotes the value
    char rootName[SHORT_FIELD];
    char subKey[LONG_FIELD];
    char valueName[SHORT_FIELD];
    char data[LONG_FIELD];  // kept, read by no stage
};

struct PatchContext {
    char descriptionPath[PATH_FIELD];
    char moduleDir[PATH_FIELD];
    char installedVersion[SHORT_FIELD];
    char platform[PATH_FIELD];
    std::int32_t installedSpNo;
    std::int32_t installedPtNo;
    char editionMarker[PATH_FIELD];
    char installDir[PATH_FIELD];
    char productIniPath[PATH_FIELD];
    char target[PATH_FIELD];
    char productName[PATH_FIELD];
    std::int32_t moduleType;
    char moduleName[PATH_FIELD];
    char title[PATH_FIELD];
    char version[PATH_FIELD];
    char versionDisp[PATH_FIELD];
    std::int32_t spNo;
    std::int32_t ptNo;
    std::int32_t fileCount;
    std::vector<FileEntry> files;
    std::int32_t registryCount;
    std::vector<RegistryEntry> registries;
};

// Both lists own their entries by value: an appended entry is a copy.
void appendFile(PatchContext& context, const FileEntry& entry);
void appendRegistry(PatchContext& context, const RegistryEntry& entry);

// Frees both lists (registries first); harmless when they are already empty.
void releaseLists(PatchContext& context);
