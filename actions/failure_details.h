// What a failed stage names in its message; written once by the stage that
// fails, read when the outcome is reported.
#pragma once

#include <cstddef>

constexpr std::size_t FAILED_REGISTRY_VALUE_SIZE = 1024;

extern char failedFile[260];  // destination path of the file not replaced
extern char failedRegistryValue[FAILED_REGISTRY_VALUE_SIZE];  // root\subKey\valueName
