// Outcome codes of a run. 0 is success; a stage returns one, start-up and the
// apply sequence raise it as an integer exception, the entry reports it.
#pragma once

#include <cstdint>

using ResultCode = std::int32_t;

constexpr ResultCode RESULT_OK = 0;
constexpr ResultCode RESULT_UNEXPECTED = -1;
constexpr ResultCode RESULT_SETTINGS_UNREADABLE = 2;
constexpr ResultCode RESULT_PRODUCT_RUNNING = 4;
constexpr ResultCode RESULT_VERSION_MISMATCH = 5;
constexpr ResultCode RESULT_REFUSED_BY_USER = 7;
constexpr ResultCode RESULT_NOT_INSTALLED = 8;
constexpr ResultCode RESULT_ALREADY_RUNNING = 9;
constexpr ResultCode RESULT_STANDARD_ONLY = 10;
constexpr ResultCode RESULT_ENHANCED_ONLY = 11;
constexpr ResultCode RESULT_UP_TO_DATE = 12;
constexpr ResultCode RESULT_INVALID_COMMAND_LINE = 13;
constexpr ResultCode RESULT_FILE_NOT_REPLACED = 20;
constexpr ResultCode RESULT_REGISTRY_FAILED = 30;
constexpr ResultCode RESULT_RECORD_NOT_WRITTEN = 40;
