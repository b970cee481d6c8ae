#pragma once

#include <cstddef>
#include <string_view>

// Splits a FILE or REGISTRY line at commas. A run of commas is one separator
// and leading commas are skipped, so no field is ever empty; blanks belong to
// the fields. At most `maxFields` fields are taken: what follows the comma
// after the last one is ignored. Returns the number of fields found.
std::size_t splitFields(const char* line, std::string_view* fields, std::size_t maxFields);
