#include "settings/field_split.h"

std::size_t splitFields(const char* line, std::string_view* fields, std::size_t maxFields) {
    std::size_t count = 0;
    const char* cursor = line;
    while (count < maxFields) {
        while (*cursor == ',') ++cursor;
        if (*cursor == '\0') break;
        const char* start = cursor;
        while (*cursor != ',' && *cursor != '\0') ++cursor;
        fields[count++] = std::string_view(start, static_cast<std::size_t>(cursor - start));
    }
    return count;
}
