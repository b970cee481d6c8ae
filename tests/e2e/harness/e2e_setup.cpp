#include "tests/e2e/harness/e2e_setup.h"

#include <unistd.h>

#include <cstdlib>
#include <sstream>

namespace e2e {

namespace fs = std::filesystem;

namespace {

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool isExecutable(const std::string& path) { return !path.empty() && access(path.c_str(), X_OK) == 0; }

std::string onPath(const std::string& program) {
    std::istringstream folders(environmentValue("PATH"));
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::string candidate = folder + "/" + program;
        if (!folder.empty() && isExecutable(candidate)) return candidate;
    }
    return "";
}

std::string findWineLoader() {
    const std::string chosen = environmentValue("TOLVA_E2E_WINE");
    if (!chosen.empty()) return chosen;
    if (isExecutable("/usr/lib/wine/wine64")) return "/usr/lib/wine/wine64";
    return onPath("wine64");
}

std::string findWineserver(const std::string& loader) {
    const std::string chosen = environmentValue("TOLVA_E2E_WINESERVER");
    if (!chosen.empty()) return chosen;
    const std::string beside = fs::path(loader).parent_path() / "wineserver";
    if (isExecutable(beside)) return beside;
    return onPath("wineserver");
}

fs::path findBinDir() {
    const std::string chosen = environmentValue("TOLVA_E2E_BIN_DIR");
    if (!chosen.empty()) return chosen;
#ifdef TOLVA_E2E_DEFAULT_BIN_DIR
    return TOLVA_E2E_DEFAULT_BIN_DIR;
#else
    return {};
#endif
}

struct Discovery {
    E2eSetup setup;
    std::string missing;
};

Discovery discover() {
    Discovery found;
    found.setup.wineLoader = findWineLoader();
    found.setup.wineserver = findWineserver(found.setup.wineLoader);
    found.setup.binDir = findBinDir();
    if (!isExecutable(found.setup.wineLoader)) {
        found.missing = "Wine's 64-bit loader was not found (install wine64, or set TOLVA_E2E_WINE)";
    } else if (!isExecutable(found.setup.wineserver)) {
        found.missing = "wineserver was not found beside " + found.setup.wineLoader + " (set TOLVA_E2E_WINESERVER)";
    } else if (found.setup.binDir.empty()) {
        found.missing = "no folder of Windows programs: set TOLVA_E2E_BIN_DIR to the folder of tlvpatch.exe";
    } else if (environmentValue("DISPLAY").empty()) {
        found.missing = "DISPLAY is not set: message boxes need an X server (scripts/run-e2e.sh starts Xvfb)";
    }
    for (const char* program : WINDOWS_PROGRAMS) {
        if (found.missing.empty() && !fs::is_regular_file(found.setup.binDir / program)) {
            found.missing = std::string(program) + " is not in " + found.setup.binDir.string() +
                            " (build the Windows x86_64 tree, or set TOLVA_E2E_BIN_DIR)";
        }
    }
    return found;
}

const Discovery& discovery() {
    static const Discovery found = discover();
    return found;
}

}  // namespace

const std::string& missingPrerequisite() { return discovery().missing; }

const E2eSetup& e2eSetup() { return discovery().setup; }

}  // namespace e2e
