// From a manifest to everything a package holds, judged before anything is
// written: whatever the applier would refuse or read otherwise than the
// manifest says is an error here.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tools/tlvkit/manifest.h"

namespace tlvkit {

// Where a package is assumed to run from and install into, when the manifest
// does not say: the source paths and completed destinations must fit the
// applier's 259 characters with these.
constexpr char DEFAULT_RUN_FROM[] = "C:\\Users\\Administrator\\AppData\\Local\\Temp\\TolvaPatch";
constexpr char DEFAULT_INSTALL_DIR[] = "C:\\Program Files (x86)\\Tolva\\HARBORSTONE";

// What the applier must read back from the description; texts in code page 932.
struct ExpectedDescription {
    std::string target;
    std::int32_t moduleType = 0;
    std::string moduleName;       // MODULE_NM
    std::string title;            // TITLE_NM
    std::string moduleNameEnglish;
    std::string titleEnglish;
    std::string version;
    std::string versionDisp;
    std::int32_t spNo = 0;
    std::int32_t ptNo = 0;
    std::vector<std::vector<std::string>> files;       // mode, sourceName, destPath
    std::vector<std::vector<std::string>> registries;  // action, root, subKey, valueName, data
};

struct PackageFile {
    std::string platform;      // folder below SET
    std::string nameInPackage; // UTF-8, parts separated by backslashes
    std::filesystem::path source;
    bool raised;               // mode "1": stored with every byte raised by one
};

struct PackagePlan {
    std::string description;  // the bytes of tlvIni.ini
    ExpectedDescription expected;
    std::vector<std::string> platforms;
    std::vector<PackageFile> files;
    std::filesystem::path applier;
};

// `applierOverride` (from the command line, "" when not given) wins over the
// manifest's [PACKAGE] applier. Errors are one line each, naming the
// manifest, the line and the key.
std::optional<PackagePlan> planPackage(const Manifest& manifest, const std::filesystem::path& manifestDir,
                                       const std::string& applierOverride, std::vector<std::string>& errors);

}  // namespace tlvkit
