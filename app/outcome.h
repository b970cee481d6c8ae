// The outcome table: for every code, the exit code, the message and its
// arguments, and the flags of the box that reports it.
#pragma once

#include <cstdint>

#include "app/message_format.h"
#include "settings/patch_context.h"
#include "settings/result_code.h"

constexpr int EXIT_UNEXPECTED = 99;

constexpr std::uint32_t SUCCESS_PAUSE_MS = 1000;
constexpr std::uint32_t SUCCESS_BOX_FLAGS = 0x50000;     // OK, topmost, foreground, no icon
constexpr std::uint32_t FAILURE_BOX_FLAGS = 0x50010;     // the same with the error icon
constexpr std::uint32_t UNEXPECTED_BOX_FLAGS = 0x51010;  // and system-modal

struct Outcome {
    int exitCode;
    bool hasBox;          // false for codes without a row (a refused confirmation, ...)
    std::uint32_t boxFlags;
    std::uint32_t pauseMs;  // wait before the box
    char text[MESSAGE_BUFFER_SIZE];
};

// What the run reports for `code`; reads the context and the process-wide
// failure details, shows nothing.
Outcome describeOutcome(ResultCode code, const PatchContext& context);

// Anything raised that is not a code: exit 99 and message 7, system-modal.
Outcome describeUnexpectedFailure(const PatchContext& context);

// Waits and shows the box unless the run is silent; returns the exit code.
int reportOutcome(const Outcome& outcome, const PatchContext& context);
