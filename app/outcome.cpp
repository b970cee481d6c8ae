#include "app/outcome.h"

#include <cstring>

#include "actions/failure_details.h"
#include "app/load_text.h"
#include "app/process_values.h"
#include "platform/platform.h"
#include "settings/fixed_texts.h"
#include "settings/number_text.h"

namespace {

enum MessageId : unsigned {
    MESSAGE_VERSION_ONLY = 2,
    MESSAGE_ALREADY_STARTED = 3,
    MESSAGE_PRODUCT_RUNNING = 4,
    MESSAGE_LOAD_FAILED = 6,
    MESSAGE_EXCEPTION = 7,
    MESSAGE_FILE_FAILED = 8,
    MESSAGE_NOT_INSTALLED = 9,
    MESSAGE_APPLIED = 10,
    MESSAGE_UP_TO_DATE = 12,
    MESSAGE_STANDARD_ONLY = 13,
    MESSAGE_INVALID_PARAMETER = 14,
    MESSAGE_ENHANCED_ONLY = 15,
    WORD_SERVICE_PACK = 16,
    WORD_PATCH = 17,
    WORD_ENHANCED_EDITION = 19,
    MESSAGE_REGISTRY_FAILED = 21,
    MESSAGE_RECORD_NOT_WRITTEN = 22,
};

enum class Argument {
    None,
    ModuleName,
    ModuleNameOrDefault,
    ProductName,
    VersionDisp,
    StandardPair,
    EditionWord,
    LevelWord,
    FailedFile,
    FailedRegistryValue,
    ProductIniPath,
};

struct Row {
    ResultCode code;
    int exitCode;
    unsigned messageId;
    Argument first;
    Argument second;
};

constexpr Row ROWS[] = {
    {RESULT_UNEXPECTED, EXIT_UNEXPECTED, MESSAGE_EXCEPTION, Argument::ModuleName, Argument::None},
    {RESULT_SETTINGS_UNREADABLE, 5, MESSAGE_LOAD_FAILED, Argument::ModuleNameOrDefault, Argument::None},
    {RESULT_PRODUCT_RUNNING, 3, MESSAGE_PRODUCT_RUNNING, Argument::ProductName, Argument::ProductName},
    {RESULT_VERSION_MISMATCH, 1, MESSAGE_VERSION_ONLY, Argument::ProductName, Argument::VersionDisp},
    {RESULT_NOT_INSTALLED, 4, MESSAGE_NOT_INSTALLED, Argument::ProductName, Argument::VersionDisp},
    {RESULT_ALREADY_RUNNING, 9, MESSAGE_ALREADY_STARTED, Argument::ModuleName, Argument::None},
    {RESULT_STANDARD_ONLY, 10, MESSAGE_STANDARD_ONLY, Argument::StandardPair, Argument::EditionWord},
    {RESULT_ENHANCED_ONLY, 10, MESSAGE_ENHANCED_ONLY, Argument::EditionWord, Argument::StandardPair},
    {RESULT_UP_TO_DATE, 12, MESSAGE_UP_TO_DATE, Argument::LevelWord, Argument::None},
    {RESULT_INVALID_COMMAND_LINE, 13, MESSAGE_INVALID_PARAMETER, Argument::None, Argument::None},
    {RESULT_FILE_NOT_REPLACED, 2, MESSAGE_FILE_FAILED, Argument::FailedFile, Argument::None},
    {RESULT_REGISTRY_FAILED, 6, MESSAGE_REGISTRY_FAILED, Argument::FailedRegistryValue, Argument::None},
    {RESULT_RECORD_NOT_WRITTEN, 7, MESSAGE_RECORD_NOT_WRITTEN, Argument::ProductName, Argument::ProductIniPath},
};

const Row* findRow(ResultCode code) {
    for (const Row& row : ROWS) {
        if (row.code == code) return &row;
    }
    return nullptr;
}

constexpr std::size_t WORK_TEXT_SIZE = 1024;

// The words that codes 10, 11 and 12 insert, formatted before the row's own
// message is loaded, since every load reuses the same buffer.
struct WorkTexts {
    char standardPair[WORK_TEXT_SIZE];
    char editionWord[WORK_TEXT_SIZE];
    char levelWord[WORK_TEXT_SIZE];
};

// The second character of the patch's VERSION, read as a digit: up to 4 the
// security-enhanced edition's word, from 5 "Enterprise".
void formatEditionWord(char* output, const PatchContext& context) {
    char digit[2] = {};
    if (context.version[0] != '\0') digit[0] = context.version[1];
    if (readNumber(digit) <= 4) {
        formatMessage(output, WORK_TEXT_SIZE, "%s", {loadText(WORD_ENHANCED_EDITION)});
    } else {
        formatMessage(output, WORK_TEXT_SIZE, "%s", {"Enterprise"});
    }
}

void prepareWorkTexts(WorkTexts& work, const Row& row, const PatchContext& context) {
    if (row.code == RESULT_STANDARD_ONLY || row.code == RESULT_ENHANCED_ONLY) {
        formatMessage(work.standardPair, WORK_TEXT_SIZE, "%s / %s", {"Standard", "Professional"});
        formatEditionWord(work.editionWord, context);
    }
    if (row.code == RESULT_UP_TO_DATE) {
        unsigned word = context.moduleType != 0 ? WORD_SERVICE_PACK : WORD_PATCH;
        formatMessage(work.levelWord, WORK_TEXT_SIZE, "%s", {loadText(word)});
    }
}

const char* argumentText(Argument argument, const WorkTexts& work, const PatchContext& context) {
    switch (argument) {
        case Argument::None: return nullptr;
        case Argument::ModuleName: return context.moduleName;
        case Argument::ModuleNameOrDefault:
            return context.moduleName[0] != '\0' ? context.moduleName : DEFAULT_MODULE_NAME;
        case Argument::ProductName: return context.productName;
        case Argument::VersionDisp: return context.versionDisp;
        case Argument::StandardPair: return work.standardPair;
        case Argument::EditionWord: return work.editionWord;
        case Argument::LevelWord: return work.levelWord;
        case Argument::FailedFile: return failedFile;
        case Argument::FailedRegistryValue: return failedRegistryValue;
        case Argument::ProductIniPath: return context.productIniPath;
    }
    return nullptr;
}

Outcome emptyOutcome() {
    Outcome outcome;
    std::memset(&outcome, 0, sizeof outcome);
    return outcome;
}

}  // namespace

Outcome describeOutcome(ResultCode code, const PatchContext& context) {
    Outcome outcome = emptyOutcome();
    if (code == RESULT_OK) {
        outcome.hasBox = true;
        outcome.boxFlags = SUCCESS_BOX_FLAGS;
        outcome.pauseMs = SUCCESS_PAUSE_MS;
        formatMessage(outcome.text, sizeof outcome.text, loadText(MESSAGE_APPLIED),
                      {context.moduleName, context.productName});
        return outcome;
    }
    const Row* row = findRow(code);
    if (row == nullptr) return outcome;  // exit 0, no box

    static WorkTexts work;
    std::memset(&work, 0, sizeof work);
    prepareWorkTexts(work, *row, context);

    outcome.exitCode = row->exitCode;
    outcome.hasBox = true;
    outcome.boxFlags = FAILURE_BOX_FLAGS;
    formatMessage(outcome.text, sizeof outcome.text, loadText(row->messageId),
                  {argumentText(row->first, work, context), argumentText(row->second, work, context)});
    return outcome;
}

Outcome describeUnexpectedFailure(const PatchContext& context) {
    Outcome outcome = emptyOutcome();
    outcome.exitCode = EXIT_UNEXPECTED;
    outcome.hasBox = true;
    outcome.boxFlags = UNEXPECTED_BOX_FLAGS;
    formatMessage(outcome.text, sizeof outcome.text, loadText(MESSAGE_EXCEPTION), {context.moduleName});
    return outcome;
}

int reportOutcome(const Outcome& outcome, const PatchContext& context) {
    if (!silent && outcome.hasBox) {
        if (outcome.pauseMs > 0) platform::sleepMilliseconds(outcome.pauseMs);
        platform::showMessageBox(outcome.text, context.title, outcome.boxFlags);
    }
    return outcome.exitCode;
}
