#include "tests/e2e/harness/applier_test.h"

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "tests/e2e/harness/e2e_setup.h"
#include "tests/e2e/harness/file_bytes.h"

namespace e2e {

namespace fs = std::filesystem;

namespace {

// Every record the applier may look for; none survives from another test.
const char* const INSTALLATION_RECORDS[] = {"Tolva.ini", "VornCreator.ini", "VornLogMng.ini"};

}  // namespace

std::string currentTestName() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return asIdentifier(test->test_suite_name()) + "." + asIdentifier(test->name());
}

std::string asIdentifier(const std::string& text) {
    std::string result;
    for (char c : text) result += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return result;
}

namespace {

// Set when the prefix could not be made, so that later tests fail at once.
std::string& prefixFailure() {
    static std::string failure;
    return failure;
}

}  // namespace

void Package::writeDescription(const IniValues& values) const {
    writeEncodedIni(descriptionFile(), "INSTALL", values);
}

void Package::writeSource(const std::string& platform, const std::string& name, const std::string& bytes) const {
    writeBytes(unixDir / "SET" / platform / name, bytes);
}

void ApplierTest::SetUp() {
    if (!missingPrerequisite().empty()) {
        // The test script sets TOLVA_E2E_REQUIRE: there a missing piece is a failure, not a skip.
        if (std::getenv("TOLVA_E2E_REQUIRE") != nullptr) {
            FAIL() << "end-to-end tests cannot run: " << missingPrerequisite();
        }
        GTEST_SKIP() << "end-to-end tests skipped: " << missingPrerequisite();
    }
    if (!prefixFailure().empty()) FAIL() << prefixFailure();
    try {
        WinePrefix::shared();
    } catch (const std::exception& error) {
        prefixFailure() = std::string("no Wine prefix: ") + error.what();
        FAIL() << prefixFailure();
    }
    for (const char* record : INSTALLATION_RECORDS) fs::remove(windowsFile(record));
    package = makePackage();
}

Package ApplierTest::makePackage() {
    Package made;
    made.windowsDir = "C:\\packages\\" + currentTestName();
    if (packagesMade_++ > 0) made.windowsDir += "." + std::to_string(packagesMade_);
    made.unixDir = prefix().unixPath(made.windowsDir);
    fs::remove_all(made.unixDir);
    fs::create_directories(made.unixDir);
    fs::copy_file(prefix().unixPath(std::string(TOOLS_FOLDER) + "\\" + APPLIER_PROGRAM), made.unixDir / APPLIER_PROGRAM);
    return made;
}

WindowsProcess ApplierTest::startApplier(const UiLanguage& language, const std::string& arguments,
                                         const Package* in) {
    const Package& target = in != nullptr ? *in : package;
    std::string commandLine = "\"" + target.applier() + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    return WindowsProcess::start(target.applier(), commandLine, language, target.unixDir);
}

std::int64_t ApplierTest::runWithoutBox(const UiLanguage& language, const std::string& arguments,
                                        const Package* in) {
    WindowsProcess applier = startApplier(language, arguments, in);
    // A box would block the applier until someone pressed it, so an applier
    // that ends by itself has shown none.
    if (const auto exitCode = applier.waitForExit(EXIT_TIMEOUT_MS)) return *exitCode;
    BoxReport box = peekBox({language, BoxButton::Cancel, 1000, {}, 0});
    ADD_FAILURE() << "the applier did not end by itself; " << describe(box);
    applier.kill();
    return -1;
}

BoxReport ApplierTest::waitForBox(const UiLanguage& language, BoxButton press,
                                  const std::vector<std::uint64_t>& ignored) {
    return peekBox({language, press, BOX_TIMEOUT_MS, ignored, 0});
}

BoxReport ApplierTest::pressBox(const UiLanguage& language, std::uint64_t hwnd, BoxButton press) {
    return peekBox({language, press, BOX_TIMEOUT_MS, {}, hwnd});
}

bool ApplierTest::waitUntilBoxGone(const UiLanguage& language, std::uint64_t hwnd, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (peekBox({language, BoxButton::None, 0, {}, hwnd}).found) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
    }
    return true;
}

std::string ApplierTest::makeInstallDir() {
    // Numbered rather than named: the paths appear in messages of bounded size.
    static int installDirsMade = 0;
    const std::string dir = "C:\\installs\\" + std::to_string(++installDirsMade);
    fs::remove_all(prefix().unixPath(dir));
    fs::create_directories(prefix().unixPath(dir));
    return dir;
}

WindowsProcess ApplierTest::startProductWindow(const UiLanguage& language, const std::vector<std::string>& args) {
    const std::string readyFile = package.windowsDir + "\\product-ready-" + std::to_string(++productsStarted_);
    std::vector<std::string> allArgs = args;
    allArgs.insert(allArgs.end(), {"--ready-file", readyFile});
    const std::string program = std::string(TOOLS_FOLDER) + "\\" + FAKE_PRODUCT_PROGRAM;
    WindowsProcess product = WindowsProcess::start(program, commandLineOf(program, allArgs), language);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(BOX_TIMEOUT_MS);
    while (!fs::exists(prefix().unixPath(readyFile))) {
        if (product.hasExited() || std::chrono::steady_clock::now() >= deadline) {
            throw std::runtime_error("fake_product.exe did not open its window");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return product;
}

fs::path ApplierTest::windowsFile(const std::string& name) const { return prefix().windowsDirectory() / name; }

void ApplierTest::writeInstallationRecord(const std::string& fileName, const IniValues& values) const {
    writeEncodedIni(windowsFile(fileName), "LICENSE", values);
}

std::int64_t exitCodeOf(WindowsProcess& process, int timeoutMs) {
    if (const auto exitCode = process.waitForExit(timeoutMs)) return *exitCode;
    ADD_FAILURE() << "the program still runs after " << timeoutMs << " ms";
    process.kill();
    return -1;
}

}  // namespace e2e
