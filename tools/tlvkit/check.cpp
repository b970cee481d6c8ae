// check PACKAGE RECORD: what the applier would decide for that package on
// that installation, and the exit code it would end with; changes nothing.
#include <memory>

#include "platform/host/host_machine.h"
#include "tools/tlvkit/command.h"
#include "tools/tlvkit/dry_run.h"
#include "tools/tlvkit/file_io.h"
#include "tools/tlvkit/stored_text.h"
#include "tools/tlvkit/tlvkit.h"

namespace fs = std::filesystem;

namespace tlvkit {

namespace {

struct CheckOptions {
    std::string package;
    std::string record;
    std::string language = "ja";
};

std::string quoted(const char* stored) { return "\"" + displayText(stored) + "\""; }

const char* targetName(char target) {
    switch (target) {
        case '0': return "HARBORSTONE standard edition";
        case '1': return "HARBORSTONE security-enhanced edition";
        case '2': return "installer creator";
        case '3': return "log manager";
        default: return "no product";
    }
}

void printMessage(const Io& io, const char* languageName, const LanguageOutcome& outcome) {
    if (!outcome.hasBox) {
        io.out << "  " << languageName << ": no message box\n";
        return;
    }
    io.out << "  " << languageName << " box, caption " << quoted(outcome.title.c_str()) << ":\n";
    std::size_t begin = 0;
    for (;;) {
        const std::size_t newline = outcome.message.find('\n', begin);
        io.out << "    " << displayText(outcome.message.substr(begin, newline - begin)) << "\n";
        if (newline == std::string::npos) break;
        begin = newline + 1;
    }
}

void printPatch(const Io& io, const PatchContext& context) {
    const bool servicePack = context.moduleType != 0;
    io.out << "Patch         " << quoted(context.moduleName) << ": "
           << (servicePack ? "service pack " + std::to_string(context.spNo) + " (SPNO651)"
                           : "patch " + std::to_string(context.ptNo) + " (PTNO)")
           << " for version " << quoted(context.version) << " (" << displayText(context.versionDisp)
           << "), target " << displayText(std::string(context.target).substr(0, 1)) << " ("
           << targetName(context.target[0]) << ")\n";
}

void printInstallation(const Io& io, const PatchContext& context) {
    io.out << "Installation  " << displayText(context.productName) << " version " << quoted(context.installedVersion)
           << ", platform " << displayText(context.platform) << ", service pack " << context.installedSpNo
           << ", patch " << context.installedPtNo << ", edition marker " << quoted(context.editionMarker)
           << ", folder " << displayText(context.installDir) << "\n";
}

void printFiles(const Io& io, const DryRun& run) {
    io.out << "Files         " << run.files.size() << ", from SET\\" << displayText(run.context->platform) << "\n";
    std::size_t number = 0;
    for (const FileVerdict& file : run.files) {
        io.out << "  " << ++number << "  mode " << displayText(file.mode) << "  " << displayText(file.sourceName)
               << (file.sourcePresent ? "  present" : "  MISSING") << "  -> " << displayText(file.destination);
        if (!file.problem.empty()) io.out << "  (not replaced: " << file.problem << ")";
        io.out << "\n";
    }
}

void printRegistries(const Io& io, const DryRun& run) {
    io.out << "Registry      " << run.registries.size() << " value(s)\n";
    std::size_t number = 0;
    for (const RegistryVerdict& value : run.registries) {
        io.out << "  " << ++number << "  " << (value.quoted ? "quote " : "skip  ") << displayText(value.entry.rootName)
               << "\\" << displayText(value.entry.subKey) << "  value " << quoted(value.entry.valueName);
        if (!value.problem.empty()) io.out << "  (fails: " << value.problem << ")";
        io.out << "\n";
    }
}

std::string verdictWords(const DryRun& run) {
    switch (run.stage) {
        case Stage::Loading: return "the applier cannot load the package or the record";
        case Stage::Preconditions: return "the applier refuses the patch before changing anything";
        case Stage::Files: return "the applier stops at a file it cannot replace";
        case Stage::Registry: return "the applier stops at a registry value it cannot quote";
        case Stage::Passed: return "the applier would apply the patch";
    }
    return "";
}

int runCheck(const CheckOptions& options, const Io& io) {
    const fs::path package = pathOf(options.package);
    const fs::path record = pathOf(options.record);
    const bool japanese = options.language == "ja";
    const DryRun run = dryRun(package, record, japanese ? host::LANGUAGE_JAPANESE : host::LANGUAGE_ENGLISH_US);
    const PatchContext& context = *run.context;

    io.out << "Package       " << textOf(fs::absolute(package)) << "\n";
    io.out << "Record        " << textOf(fs::absolute(record)) << "\n";
    if (!run.recordNote.empty()) io.out << "              (" << run.recordNote << ")\n";
    if (run.stage == Stage::Loading) {
        io.out << "Loading       refused: " << run.why << "\n";
    } else {
        printPatch(io, context);
        printInstallation(io, context);
        io.out << "Preconditions " << (run.stage == Stage::Preconditions ? "refused" : "passed") << "\n";
    }
    if (run.stage != Stage::Loading) {
        printFiles(io, run);
        printRegistries(io, run);
        if (run.stage == Stage::Passed) {
            io.out << "Level         "
                   << (context.moduleType != 0 ? "SPNO651 := " + std::to_string(context.spNo)
                                               : "PTNO := " + std::to_string(context.ptNo))
                   << " in " << run.recordFile << "\n";
        }
    }
    io.out << "\nOutcome under " << (japanese ? "a Japanese" : "an English") << " interface: code " << run.code
           << ", exit code " << run.exitCode << ": " << verdictWords(run) << "\n";
    printMessage(io, "English", run.english);
    printMessage(io, "Japanese", run.japanese);
    const LanguageOutcome& other = japanese ? run.english : run.japanese;
    if (other.code != run.code) {
        io.out << "Note: under " << (japanese ? "an English interface (code page 1252)" : "a Japanese interface")
               << " the code would be " << other.code << ", exit code " << other.exitCode
               << (japanese ? "; names stored in code page 932 are other names there" : "") << "\n";
    }
    if (run.stage == Stage::Passed) {
        io.out << "A dry run cannot see whether the product is running (exit code 3), whether each destination "
                  "can be written (2), whether the registry values exist (6) or whether the record can be "
                  "written (7).\n";
    }
    return run.exitCode;
}

}  // namespace

void addCheckCommand(CLI::App& app, const Io& io, int& exitCode) {
    auto options = std::make_shared<CheckOptions>();
    CLI::App* command = app.add_subcommand(
        "check", "Dry run: what the applier would decide for a package on an installation. Changes nothing.");
    command->add_option("PACKAGE", options->package, "the package folder (or its tlvpatch.exe)")->required();
    command->add_option("RECORD", options->record,
                        "the installation record; or a folder standing for the Windows directory")
        ->required();
    command->add_option("--language", options->language,
                        "the interface language of the machine: ja (Japanese, code page 932; the default) or en "
                        "(English, code page 1252)")
        ->check(CLI::IsMember({"ja", "en"}));
    command->footer("Runs the applier's own loaders, precondition check and outcome table, as tlvpatch.exe in "
                    "PACKAGE would on a machine whose installation record is RECORD, and prints the verdict with "
                    "the message in English and Japanese. The exit code is the one the applier would end with "
                    "(0 applied, 1 other version, 2 a file it cannot replace, 4 not installed, 5 unreadable "
                    "settings, 6 registry, 10 other edition, 12 up to date, 99 unexpected); a usage error also "
                    "exits with 2.");
    command->callback([options, io, &exitCode] { exitCode = runCheck(*options, io); });
}

}  // namespace tlvkit
