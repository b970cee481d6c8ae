#include "settings/read_setting.h"

#include "platform/platform.h"
#include "settings/bounded_text.h"
#include "settings/value_codec.h"

namespace {
// An encoded value is at most 1023 characters; a longer one is cut here
// before it is decoded (and then fails its check).
constexpr std::uint32_t STORED_VALUE_SIZE = 1024;
}  // namespace

std::int32_t readSetting(const char* section, const char* key, const char* defaultValue,
                         char* output, std::int32_t capacity, const char* iniPath) {
    char stored[STORED_VALUE_SIZE] = {};
    platform::readProfileString(section, key, "", stored, STORED_VALUE_SIZE, iniPath);
    if (stored[0] != '\0' && codeValue('-', stored, output, capacity) == 0) return 0;

    if (capacity > 0) copyText(output, static_cast<std::size_t>(capacity), defaultValue);
    return -1;
}

bool fileExists(const char* path) {
    return platform::fileAttributes(path) != platform::INVALID_ATTRIBUTES;
}
