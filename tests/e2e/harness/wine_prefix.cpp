#include "tests/e2e/harness/wine_prefix.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "tests/e2e/harness/e2e_setup.h"

namespace e2e {

namespace fs = std::filesystem;

namespace {

constexpr int WINEBOOT_TIMEOUT_MS = 300000;

std::unique_ptr<WinePrefix>& sharedPrefix() {
    static std::unique_ptr<WinePrefix> prefix;
    return prefix;
}

// Removes the prefix once the last test has run.
class PrefixCleanup : public ::testing::Environment {
public:
    void TearDown() override { WinePrefix::destroyShared(); }
};

[[maybe_unused]] const ::testing::Environment* const prefixCleanup =
    ::testing::AddGlobalTestEnvironment(new PrefixCleanup);

fs::path makeRunFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != 0 ? tmp : "/tmp") + "/tolva-e2e-wine.XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a folder under " + pattern);
    return pattern;
}

std::string stderrLog(const fs::path& root) { return (root.parent_path() / "wine-stderr.log").string(); }

}  // namespace

WinePrefix& WinePrefix::shared() {
    auto& prefix = sharedPrefix();
    if (!prefix) {
        // The prefix is a sub-folder, so that Wine's log lies beside it and one
        // removal clears the whole run.
        std::unique_ptr<WinePrefix> created(new WinePrefix(makeRunFolder() / "prefix"));
        created->boot();
        created->installTools();
        prefix = std::move(created);
    }
    return *prefix;
}

void WinePrefix::destroyShared() {
    auto& prefix = sharedPrefix();
    if (!prefix) return;
    prefix->shutDown();
    if (std::getenv("TOLVA_E2E_KEEP_PREFIX") == nullptr) {
        std::error_code ignored;
        fs::remove_all(prefix->root_.parent_path(), ignored);
    } else {
        std::fprintf(stderr, "Wine prefix kept in %s\n", prefix->root_.c_str());
    }
    prefix.reset();
}

LaunchOptions WinePrefix::wineLaunch(std::vector<std::string> args, const UiLanguage& language) const {
    LaunchOptions options;
    options.argv.push_back(e2eSetup().wineLoader);
    options.argv.insert(options.argv.end(), args.begin(), args.end());
    // Wine takes the interface language and the code page from the locale
    // variables; nothing else may override them.
    options.unsetEnvironment = {"LANGUAGE",  "LC_CTYPE",      "LC_MESSAGES",    "LC_COLLATE",
                                "LC_NUMERIC", "LC_MONETARY",   "LC_TIME",        "LC_PAPER",
                                "LC_NAME",    "LC_ADDRESS",    "LC_TELEPHONE",   "LC_MEASUREMENT",
                                "LC_IDENTIFICATION", "WINEARCH"};
    options.setEnvironment = {
        {"WINEPREFIX", root_.string()},
        {"WINEDEBUG", "-all"},
        {"WINESERVER", e2eSetup().wineserver},
        // No Mono or Gecko: nothing here needs them, and their installers
        // would open dialogs.
        {"WINEDLLOVERRIDES", "mscoree,mshtml="},
        {"LANG", language.locale},
        {"LC_ALL", language.locale},
    };
    options.stderrFile = stderrLog(root_);
    return options;
}

void WinePrefix::boot() {
    // The wineserver is tied to the prefix folder, which must exist first.
    fs::create_directories(root_);
    // A wineserver that stays up for the whole run: every program then starts
    // without waiting for a new one.
    LaunchOptions server = wineLaunch({}, ENGLISH_US);
    server.argv = {e2eSetup().wineserver, "-p"};
    const auto [serverExit, serverOutput] = runToEnd(server, 60000);
    if (serverExit != 0) throw std::runtime_error("wineserver -p failed with " + std::to_string(serverExit));

    const auto [bootExit, bootOutput] = runToEnd(wineLaunch({"wineboot", "-i"}, ENGLISH_US), WINEBOOT_TIMEOUT_MS);
    if (bootExit != 0 || !fs::is_directory(windowsDirectory())) {
        throw std::runtime_error("wineboot -i failed with " + std::to_string(bootExit) + "; see " +
                                 stderrLog(root_));
    }
    // A crashing program then just ends with its exception code (and Wine
    // writes the crash to the log) instead of waiting at a crash dialog.
    const auto [regExit, regOutput] = runTool({"reg", "add", "HKCU\\Software\\Wine\\WineDbg", "/v",
                                               "ShowCrashDialog", "/t", "REG_DWORD", "/d", "0", "/f"});
    if (regExit != 0) throw std::runtime_error("cannot turn off Wine's crash dialog: " + regOutput);
}

void WinePrefix::installTools() const {
    const fs::path tools = unixPath(TOOLS_FOLDER);
    fs::create_directories(tools);
    for (const char* program : WINDOWS_PROGRAMS) {
        fs::copy_file(e2eSetup().binDir / program, tools / program, fs::copy_options::overwrite_existing);
    }
}

void WinePrefix::shutDown() const {
    LaunchOptions kill = wineLaunch({}, ENGLISH_US);
    kill.argv = {e2eSetup().wineserver, "-k"};
    try {
        runToEnd(kill, 30000);
    } catch (const std::exception&) {
        // Nothing left to do about a wineserver that does not go; the folder
        // is removed all the same.
    }
}

fs::path WinePrefix::unixPath(const std::string& windowsPath) const {
    if (windowsPath.size() < 2 || (windowsPath[0] != 'C' && windowsPath[0] != 'c') || windowsPath[1] != ':') {
        throw std::invalid_argument("not a path on drive C: " + windowsPath);
    }
    fs::path result = root_ / "drive_c";
    std::string part;
    for (std::size_t i = 2; i <= windowsPath.size(); ++i) {
        if (i == windowsPath.size() || windowsPath[i] == '\\' || windowsPath[i] == '/') {
            if (!part.empty()) result /= part;
            part.clear();
        } else {
            part += windowsPath[i];
        }
    }
    return result;
}

ChildProcess WinePrefix::start(const std::string& windowsProgram, const std::vector<std::string>& args,
                               const UiLanguage& language, const fs::path& workingDirectory,
                               bool captureStdout) const {
    std::vector<std::string> wineArgs{windowsProgram};
    wineArgs.insert(wineArgs.end(), args.begin(), args.end());
    LaunchOptions options = wineLaunch(wineArgs, language);
    options.workingDirectory = workingDirectory.string();
    options.captureStdout = captureStdout;
    return ChildProcess::start(options);
}

std::pair<int, std::string> WinePrefix::runTool(const std::vector<std::string>& args, int timeoutMs) const {
    LaunchOptions options = wineLaunch(args, ENGLISH_US);
    options.captureStdout = true;
    return runToEnd(options, timeoutMs);
}

}  // namespace e2e
