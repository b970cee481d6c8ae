#pragma once

#include <cstdint>

// Reads one encoded value from an INI file, decodes it into `output`
// (`capacity` bytes, the width of the receiving field) and returns 0; or puts
// `defaultValue` there and returns -1 when the value is missing, empty, fails
// to decode or does not fit.
std::int32_t readSetting(const char* section, const char* key, const char* defaultValue,
                         char* output, std::int32_t capacity, const char* iniPath);

// Directory of the running executable, without a trailing backslash: 0, or 2
// when the executable's path cannot be obtained.
std::int32_t getModuleDir(char* output, std::int32_t capacity);

// True when the path's attributes can be read (a folder counts).
bool fileExists(const char* path);
