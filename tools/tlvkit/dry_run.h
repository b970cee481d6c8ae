// What the applier would decide for one package on one installation, found
// by running its own loaders, precondition check and outcome table over the
// portable host; nothing on disk is changed.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "settings/patch_context.h"
#include "settings/result_code.h"

namespace tlvkit {

enum class Stage { Loading, Preconditions, Files, Registry, Passed };

struct FileVerdict {
    std::string mode;
    std::string sourceName;
    std::string sourcePath;   // as the applier forms it; empty when it does not fit
    bool sourcePresent;
    std::string destination;  // completed
    std::string problem;      // why the applier would not replace it; empty when it would try
};

struct RegistryVerdict {
    RegistryEntry entry;
    bool quoted;        // action reads as 0
    std::string problem;
};

struct LanguageOutcome {
    std::uint16_t language;
    ResultCode code;
    int exitCode;
    bool hasBox;
    std::string title;    // code page of the language (932 for Japanese)
    std::string message;
};

struct DryRun {
    std::uint16_t language;      // the interface language that the verdict is for
    Stage stage;                 // where the run would stop
    ResultCode code;
    int exitCode;
    std::string why;             // for a refused load: what the loader could not read
    std::string recordNote;      // when the record file stands in for another name
    std::string recordFile;      // host path of the record the applier reads
    std::unique_ptr<PatchContext> context;  // as loaded under `language`
    std::vector<FileVerdict> files;
    std::vector<RegistryVerdict> registries;
    LanguageOutcome japanese;
    LanguageOutcome english;
};

// `package`: a package folder (its tlvpatch.exe is the executable modelled)
// or the executable itself. `record`: an installation record file, read as
// the record of whatever product the package targets; or a folder standing
// for the Windows directory. The verdict is the one under `language` (1041
// or 1033); the messages are given in both.
DryRun dryRun(const std::filesystem::path& package, const std::filesystem::path& record, std::uint16_t language);

}  // namespace tlvkit
