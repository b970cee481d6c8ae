// splitFields on any line and field limit: at most the limit of fields, each
// a non-empty run of the line without a comma, in order, and exactly the
// line's comma-separated tokens (empty ones dropped) up to the limit. The
// field array is a heap block of exactly the limit, so a write past it stops
// the run.
//
// Input: the first byte gives the limit (0 to 7), the rest is the line up to
// its first NUL.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "settings/field_split.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

std::vector<std::string> tokens(const std::string& line) {
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start <= line.size()) {
        std::size_t comma = line.find(',', start);
        if (comma == std::string::npos) comma = line.size();
        if (comma > start) result.push_back(line.substr(start, comma - start));
        start = comma + 1;
    }
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t maxFields = data[0] % 8;
    const char* bytes = reinterpret_cast<const char*>(data) + 1;
    const std::string line(bytes, std::find(bytes, bytes + size - 1, '\0'));

    std::unique_ptr<std::string_view[]> fields(new std::string_view[maxFields]);
    const std::size_t count = splitFields(line.c_str(), fields.get(), maxFields);
    require(count <= maxFields);

    const char* lineBegin = line.c_str();
    const char* lineEnd = lineBegin + line.size();
    const char* previousEnd = lineBegin;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view field = fields[i];
        require(!field.empty());
        require(field.data() >= previousEnd && field.data() + field.size() <= lineEnd);
        require(field.find(',') == std::string_view::npos);
        previousEnd = field.data() + field.size();
    }

    const std::vector<std::string> expected = tokens(line);
    require(count == std::min(expected.size(), maxFields));
    for (std::size_t i = 0; i < count; ++i) require(fields[i] == expected[i]);
    return 0;
}
