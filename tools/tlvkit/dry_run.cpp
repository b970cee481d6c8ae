#include "tools/tlvkit/dry_run.h"

#include <cstring>

#include "actions/failure_details.h"
#include "actions/stages.h"
#include "app/outcome.h"
#include "platform/host/host_machine.h"
#include "platform/platform.h"
#include "settings/bounded_text.h"
#include "settings/load_settings.h"
#include "settings/number_text.h"
#include "tools/tlvkit/file_io.h"
#include "tools/tlvkit/key_rules.h"
#include "tools/tlvkit/stored_text.h"

namespace fs = std::filesystem;

namespace tlvkit {

namespace {

const char* const RECORD_FILE_NAMES[] = {"Tolva.ini", "VornCreator.ini", "VornLogMng.ini"};
const char* const REGISTRY_ROOTS[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"};

host::HostMachine machineFor(const fs::path& package, const fs::path& record, std::uint16_t language) {
    host::HostMachine machine;
    std::error_code error;
    const fs::path packagePath = fs::absolute(package);
    machine.modulePath = textOf(fs::is_directory(packagePath, error) ? packagePath / APPLIER_FILE_NAME : packagePath);
    const fs::path recordPath = fs::absolute(record);
    if (fs::is_directory(recordPath, error)) {
        machine.windowsDirectory = textOf(recordPath);
    } else {
        machine.windowsDirectory = textOf(recordPath.parent_path());
        // The file given is the record, whichever name the package's target reads.
        if (const std::optional<std::string> bytes = readFileBytes(recordPath)) {
            for (const char* name : RECORD_FILE_NAMES) {
                machine.memoryFiles[textOf(recordPath.parent_path() / name)] = *bytes;
            }
        }
    }
    machine.uiLanguage = language;
    return machine;
}

// moduleDir\SET\platform\sourceName, as file replacement forms it; false when
// it does not fit a path.
bool formSourcePath(const PatchContext& context, const FileEntry& entry, char (&path)[PATH_FIELD]) {
    path[0] = '\0';
    return appendText(path, context.moduleDir) && appendText(path, "\\SET\\") && appendText(path, context.platform) &&
           appendText(path, "\\") && appendText(path, entry.sourceName);
}

// The files as file replacement would take them: the first entry that it
// cannot even try (an unknown mode, a source path too long, a source missing
// from the package) ends the run with 20 and is named in the message.
ResultCode predictFiles(const PatchContext& context, std::vector<FileVerdict>& verdicts) {
    ResultCode result = RESULT_OK;
    for (const FileEntry& entry : context.files) {
        FileVerdict verdict{entry.mode, entry.sourceName, "", false, entry.destPath, ""};
        char sourcePath[PATH_FIELD];
        if (formSourcePath(context, entry, sourcePath)) {
            verdict.sourcePath = sourcePath;
            const std::uint32_t attributes = platform::fileAttributes(sourcePath);
            verdict.sourcePresent =
                attributes != platform::INVALID_ATTRIBUTES && (attributes & platform::ATTRIBUTE_DIRECTORY) == 0;
        }
        if (std::strcmp(entry.mode, "0") != 0 && std::strcmp(entry.mode, "1") != 0) {
            verdict.problem = "mode is neither 0 nor 1";
        } else if (verdict.sourcePath.empty()) {
            verdict.problem = "the source path is longer than 259 characters";
        } else if (!verdict.sourcePresent) {
            verdict.problem = "the source is not in the package";
        }
        if (!verdict.problem.empty() && result == RESULT_OK) {
            copyText(failedFile, entry.destPath);
            result = RESULT_FILE_NOT_REPLACED;
        }
        verdicts.push_back(verdict);
    }
    return result;
}

// Registry values to quote whose root name is none of the four: the
// registry stage stops at the first of them with 30.
ResultCode predictRegistries(const PatchContext& context, std::vector<RegistryVerdict>& verdicts) {
    ResultCode result = RESULT_OK;
    for (const RegistryEntry& entry : context.registries) {
        RegistryVerdict verdict{entry, readNumber(entry.action) == 0, ""};
        bool knownRoot = false;
        for (const char* root : REGISTRY_ROOTS) knownRoot = knownRoot || std::strcmp(entry.rootName, root) == 0;
        if (verdict.quoted && !knownRoot) verdict.problem = "the root is none of the four the applier knows";
        if (!verdict.problem.empty() && result == RESULT_OK && context.registryCount > 0) {
            copyText(failedRegistryValue, entry.rootName);
            appendText(failedRegistryValue, "\\");
            appendText(failedRegistryValue, entry.subKey);
            appendText(failedRegistryValue, "\\");
            appendText(failedRegistryValue, entry.valueName);
            result = RESULT_REGISTRY_FAILED;
        }
        verdicts.push_back(verdict);
    }
    return result;
}

// What the loader could not read, from what it left in the context.
std::string whyLoadFailed(const PatchContext& context, ResultCode code) {
    const std::string description = displayText(context.descriptionPath);
    if (code == RESULT_NOT_INSTALLED) return "no installation record " + displayText(context.productIniPath);
    if (code != RESULT_SETTINGS_UNREADABLE) return "";
    if (platform::fileAttributes(context.descriptionPath) == platform::INVALID_ATTRIBUTES) {
        return "no patch description " + description;
    }
    if (context.fileCount > 0 && context.files.size() < static_cast<std::size_t>(context.fileCount)) {
        return "FILE" + std::to_string(context.files.size() + 1) + " of " + description +
               " is missing, does not decode or has fewer than 3 fields";
    }
    if (context.registryCount > 0 && context.registries.size() < static_cast<std::size_t>(context.registryCount)) {
        return "REGISTRY" + std::to_string(context.registries.size() + 1) + " of " + description +
               " is missing, does not decode, has fewer than 5 fields or a field too long";
    }
    if (context.target[0] < '0' || context.target[0] > '3') {
        return "TARGET of " + description + " is \"" + displayText(context.target) + "\", not 0 to 3";
    }
    const std::string record = displayText(context.productIniPath);
    if (context.installedVersion[0] == '\0') return "VERSION of " + record + " is missing or does not decode";
    if (context.installDir[0] == '\0') return "DIR of " + record + " is missing or does not decode";
    return "a completed destination (DIR, a backslash and the file's destination) is longer than 259 characters";
}

struct LanguageRun {
    Stage stage = Stage::Loading;
    ResultCode code = RESULT_OK;
    std::unique_ptr<PatchContext> context = std::make_unique<PatchContext>();
    std::vector<FileVerdict> files;
    std::vector<RegistryVerdict> registries;
    LanguageOutcome outcome{};
};

LanguageRun runIn(std::uint16_t language, const fs::path& package, const fs::path& record) {
    host::setMachine(machineFor(package, record, language));
    LanguageRun run;
    copyText(failedFile, "");
    copyText(failedRegistryValue, "");
    PatchContext& context = *run.context;
    run.code = loadSettings(context);
    if (run.code == RESULT_OK) {
        // Every file and value is judged, also those after the first failure;
        // the stages' order decides which failure is the run's.
        const ResultCode preconditions = checkPreconditions(context);
        const ResultCode files = predictFiles(context, run.files);
        const ResultCode registries = predictRegistries(context, run.registries);
        const std::pair<Stage, ResultCode> stages[] = {
            {Stage::Preconditions, preconditions}, {Stage::Files, files}, {Stage::Registry, registries}};
        run.stage = Stage::Passed;
        for (const auto& [stage, code] : stages) {
            if (code == RESULT_OK) continue;
            run.stage = stage;
            run.code = code;
            break;
        }
    }
    const Outcome outcome = describeOutcome(run.code, context);
    run.outcome = {language, run.code, outcome.exitCode, outcome.hasBox, context.title, outcome.text};
    return run;
}

}  // namespace

DryRun dryRun(const fs::path& package, const fs::path& record, std::uint16_t language) {
    LanguageRun english = runIn(host::LANGUAGE_ENGLISH_US, package, record);
    LanguageRun japanese = runIn(host::LANGUAGE_JAPANESE, package, record);
    LanguageRun chosen = language == host::LANGUAGE_JAPANESE ? std::move(japanese) : std::move(english);
    // The chosen language's machine again, so that its paths map back to this host's.
    host::setMachine(machineFor(package, record, language));
    DryRun result;
    result.language = language;
    result.stage = chosen.stage;
    result.code = chosen.code;
    result.exitCode = chosen.outcome.exitCode;
    if (result.stage == Stage::Loading) result.why = whyLoadFailed(*chosen.context, chosen.code);
    result.recordFile = textOf(fs::u8path(host::hostPath(chosen.context->productIniPath)));
    std::error_code error;
    if (!fs::is_directory(record, error) && chosen.context->productIniPath[0] != '\0') {
        const std::string read = fs::u8path(result.recordFile).filename().u8string();
        const std::string given = record.filename().u8string();
        bool readsRecord = false;
        for (const char* name : RECORD_FILE_NAMES) readsRecord = readsRecord || read == name;
        if (readsRecord && read != given) {
            result.recordNote = "the package reads " + read + "; " + given + " is checked in its place";
        }
    }
    result.context = std::move(chosen.context);
    result.files = std::move(chosen.files);
    result.registries = std::move(chosen.registries);
    result.japanese = language == host::LANGUAGE_JAPANESE ? chosen.outcome : japanese.outcome;
    result.english = language == host::LANGUAGE_JAPANESE ? english.outcome : chosen.outcome;
    host::setMachine({});
    return result;
}

}  // namespace tlvkit
