// record FILE: create or change an installation record, every value encoded
// as the product's installer writes it.
#include <memory>

#include "platform/profile_text.h"
#include "settings/fixed_texts.h"
#include "settings/number_text.h"
#include "tools/tlvkit/command.h"
#include "tools/tlvkit/file_io.h"
#include "tools/tlvkit/key_rules.h"
#include "tools/tlvkit/stored_text.h"
#include "tools/tlvkit/stored_value.h"
#include "tools/tlvkit/tlvkit.h"

namespace fs = std::filesystem;

namespace tlvkit {

namespace {

const char* const RECORD_FILE_NAMES[] = {"Tolva.ini", "VornCreator.ini", "VornLogMng.ini"};

struct RecordOptions {
    std::string file;
    std::string version;
    std::string platform;
    std::string servicePack;
    std::string patch;
    std::string edition;
    std::string dir;
    std::vector<std::string> settings;  // KEY=VALUE
};

struct Change {
    std::string key;
    std::string text;  // code page 932
    std::string shown; // UTF-8, for the report
};

// The changes asked for, in the order the record keeps its keys; the
// problems with them as one-line errors.
std::vector<Change> changesOf(const RecordOptions& options, std::vector<std::string>& errors) {
    struct Asked {
        std::string key;
        std::string text;
        bool stored;  // already code page 932
    };
    std::vector<Asked> asked;
    auto ask = [&asked](const char* key, const std::string& utf8) {
        if (!utf8.empty()) asked.push_back({key, utf8, false});
    };
    ask("VERSION", options.version);
    ask("PLATFORM", options.platform);
    ask("SPNO651", options.servicePack);
    ask("PTNO", options.patch);
    if (options.edition == "standard") {
        asked.push_back({"VORN_INST", ENHANCED_NOT_INSTALLED_MARKER, true});
    } else if (options.edition == "enhanced") {
        asked.push_back({"VORN_INST", "", true});
    } else if (!options.edition.empty()) {
        errors.push_back("--edition \"" + options.edition + "\": use standard or enhanced");
    }
    ask("DIR", options.dir);
    for (const std::string& setting : options.settings) {
        const std::size_t equals = setting.find('=');
        if (equals == std::string::npos || equals == 0) {
            errors.push_back("--set \"" + setting + "\": write KEY=VALUE");
            continue;
        }
        asked.push_back({setting.substr(0, equals), setting.substr(equals + 1), false});
    }

    std::vector<Change> changes;
    for (const Asked& item : asked) {
        const std::optional<std::string> stored = item.stored ? item.text : storedFromUtf8(item.text);
        if (!stored) {
            errors.push_back(item.key + ": the value holds a character that code page 932 cannot store");
            continue;
        }
        const KeyRule* rule = findKeyRule(RECORD_SECTION, item.key);
        if (rule != nullptr && rule->kind == ValueKind::Number &&
            std::to_string(readNumber(stored->c_str())) != *stored) {
            errors.push_back(item.key + ": \"" + item.text + "\" is not a whole number such as 3");
        }
        if (rule != nullptr && stored->size() + 1 > rule->capacity) {
            errors.push_back(item.key + ": " + std::to_string(stored->size()) + " bytes, more than the " +
                             std::to_string(rule->capacity - 1) + " the applier reads");
        }
        if (encodeText(*stored).size() > STORED_VALUE_LIMIT) errors.push_back(item.key + ": too long to store");
        changes.push_back({item.key, *stored, displayText(*stored)});
    }
    return changes;
}

int runRecord(const RecordOptions& options, const Io& io) {
    const fs::path file = pathOf(options.file);
    std::vector<std::string> errors;
    const std::vector<Change> changes = changesOf(options, errors);
    if (changes.empty() && errors.empty()) throw UsageError("nothing to change: give at least one option");

    std::error_code error;
    const bool exists = fs::exists(file, error);
    std::string content;
    if (exists) {
        const std::optional<std::string> bytes = readFileBytes(file);
        if (!bytes) {
            reportError(io, "record", "cannot read " + options.file);
            return EXIT_FAILED;
        }
        content = *bytes;
    } else {
        const fs::path folder = fs::absolute(file).parent_path();
        if (!fs::is_directory(folder, error)) errors.push_back("the folder " + textOf(folder) + " does not exist");
        if (options.version.empty() || options.dir.empty()) {
            errors.push_back(options.file + " does not exist: a new record needs --version and --dir, without "
                             "which the applier refuses it");
        }
    }
    if (!errors.empty()) {
        for (const std::string& problem : errors) reportError(io, "record", options.file + ": " + problem);
        reportError(io, "record", "nothing written");
        return EXIT_FAILED;
    }

    for (const Change& change : changes) {
        content = withProfileValue(content, RECORD_SECTION, change.key.c_str(), encodeText(change.text).c_str());
    }
    replaceFileBytes(file, content);

    io.out << (exists ? "Changed " : "Created ") << textOf(file) << ":";
    for (const Change& change : changes) io.out << " " << change.key << "=\"" << change.shown << "\"";
    io.out << "\n";
    bool knownName = false;
    for (const char* name : RECORD_FILE_NAMES) knownName = knownName || file.filename() == name;
    if (!knownName) {
        io.err << "tlvkit record: note: the applier reads only Tolva.ini, VornCreator.ini or VornLogMng.ini in the "
                  "Windows directory\n";
    }
    return EXIT_OK;
}

}  // namespace

void addRecordCommand(CLI::App& app, const Io& io, int& exitCode) {
    auto options = std::make_shared<RecordOptions>();
    CLI::App* command = app.add_subcommand(
        "record", "Create or change an installation record (Tolva.ini, VornCreator.ini or VornLogMng.ini).");
    command->add_option("FILE", options->file, "the record; created when it does not exist")->required();
    command->add_option("--version", options->version, "VERSION: the installed version, e.g. 65");
    command->add_option("--platform", options->platform, "PLATFORM: the package folder below SET, e.g. x86");
    command->add_option("--sp", options->servicePack, "SPNO651: the installed service-pack number");
    command->add_option("--pt", options->patch, "PTNO: the installed patch number");
    command->add_option("--edition", options->edition,
                        "VORN_INST: 'standard' writes the marker that the security-enhanced edition is not "
                        "installed; 'enhanced' writes an empty marker");
    command->add_option("--dir", options->dir, "DIR: the installation folder, e.g. 'C:\\Tolva'");
    command->add_option("--set", options->settings, "KEY=VALUE: any other value of section LICENSE (repeatable)");
    command->footer("Values are plain UTF-8 and are stored encoded in code page 932. Other keys and lines of an "
                    "existing record stay as they are.");
    command->callback([options, io, &exitCode] { exitCode = runRecord(*options, io); });
}

}  // namespace tlvkit
