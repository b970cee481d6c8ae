#include "tools/tlvkit/description_round_trip.h"

#include <algorithm>
#include <memory>

#include "platform/host/host_machine.h"
#include "settings/load_settings.h"
#include "tools/tlvkit/key_rules.h"
#include "tools/tlvkit/stored_text.h"

namespace tlvkit {

namespace {

// A folder that stands for the package while it exists only in memory.
constexpr char PACKAGE_IN_MEMORY[] = "/tlvkit-package-in-memory";

class Comparison {
public:
    explicit Comparison(std::vector<std::string>& problems) : problems_(problems) {}

    void same(const std::string& what, const std::string& read, const std::string& meant) {
        if (read != meant) {
            problems_.push_back("the applier would read " + what + " as \"" + displayText(read) + "\", not \"" +
                                displayText(meant) + "\"");
        }
    }
    void same(const std::string& what, long long read, long long meant) {
        same(what, std::to_string(read), std::to_string(meant));
    }

private:
    std::vector<std::string>& problems_;
};

void compare(const PatchContext& context, const ExpectedDescription& expected, bool japanese,
             std::vector<std::string>& problems) {
    Comparison check(problems);
    const std::string& name = japanese ? expected.moduleName : expected.moduleNameEnglish;
    const std::string& title = japanese ? expected.title : expected.titleEnglish;
    check.same("TARGET", context.target, expected.target);
    check.same("MODULE_TYPE", context.moduleType, expected.moduleType);
    check.same(japanese ? "MODULE_NM" : "MODULE_NM_E", context.moduleName, name);
    check.same(japanese ? "TITLE_NM" : "TITLE_NM_E", context.title, title.empty() ? name : title);
    check.same("VERSION", context.version, expected.version);
    check.same("VERSION_DISP", context.versionDisp, expected.versionDisp);
    check.same("SPNO651", context.spNo, expected.spNo);
    check.same("PTNO", context.ptNo, expected.ptNo);
    check.same("the number of files", static_cast<long long>(context.files.size()),
               static_cast<long long>(expected.files.size()));
    for (std::size_t i = 0; i < context.files.size() && i < expected.files.size(); ++i) {
        const FileEntry& entry = context.files[i];
        const auto& fields = expected.files[i];
        const std::string key = "FILE" + std::to_string(i + 1);
        check.same(key + " mode", entry.mode, fields[0]);
        check.same(key + " name", entry.sourceName, fields[1]);
        check.same(key + " destination", entry.destPath, fields[2]);
    }
    check.same("the number of registry values", static_cast<long long>(context.registries.size()),
               static_cast<long long>(expected.registries.size()));
    for (std::size_t i = 0; i < context.registries.size() && i < expected.registries.size(); ++i) {
        const RegistryEntry& entry = context.registries[i];
        const auto& fields = expected.registries[i];
        const std::string key = "REGISTRY" + std::to_string(i + 1);
        check.same(key + " action", entry.action, fields[0]);
        check.same(key + " root", entry.rootName, fields[1]);
        check.same(key + " key", entry.subKey, fields[2]);
        check.same(key + " value name", entry.valueName, fields[3]);
        check.same(key + " data", entry.data, fields[4]);
    }
}

}  // namespace

std::vector<std::string> roundTripProblems(const PackagePlan& plan) {
    std::vector<std::string> problems;
    const std::string folder = PACKAGE_IN_MEMORY;
    for (const std::uint16_t language : {host::LANGUAGE_JAPANESE, host::LANGUAGE_ENGLISH_US}) {
        host::HostMachine machine;
        machine.modulePath = folder + "/" + APPLIER_FILE_NAME;
        machine.windowsDirectory = folder;
        machine.uiLanguage = language;
        machine.memoryFiles[folder + "/" + DESCRIPTION_FILE_NAME] = plan.description;
        host::setMachine(std::move(machine));

        auto context = std::make_unique<PatchContext>();
        try {
            loadPatchDescription(*context);
        } catch (ResultCode code) {
            problems.push_back("the applier's loader refuses the description (code " + std::to_string(code) + ")");
            continue;
        }
        compare(*context, plan.expected, language == host::LANGUAGE_JAPANESE, problems);
    }
    host::setMachine({});
    // A value read wrongly in both languages is told once.
    std::vector<std::string> distinct;
    for (const std::string& problem : problems) {
        if (std::find(distinct.begin(), distinct.end(), problem) == distinct.end()) distinct.push_back(problem);
    }
    return distinct;
}

}  // namespace tlvkit
