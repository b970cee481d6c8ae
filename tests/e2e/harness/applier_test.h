// The fixture of the end-to-end tests: the shared Wine prefix, a fresh
// package folder per test holding a copy of tlvpatch.exe, no installation
// record left from an earlier test, and helpers to run the applier and read
// its boxes.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/harness/box_peek.h"
#include "tests/e2e/harness/encoded_ini.h"
#include "tests/e2e/harness/ui_language.h"
#include "tests/e2e/harness/wine_prefix.h"
#include "tests/e2e/harness/windows_process.h"

namespace e2e {

// How long a box may take to appear, and a program to end once nothing holds
// it any more: generous, as Wine starts slowly on a loaded machine.
inline constexpr int BOX_TIMEOUT_MS = 20000;
inline constexpr int EXIT_TIMEOUT_MS = 30000;

// A package folder on drive C with its own copy of tlvpatch.exe.
struct Package {
    std::string windowsDir;  // C:\packages\<name>
    std::filesystem::path unixDir;

    std::string applier() const { return windowsDir + "\\tlvpatch.exe"; }
    std::filesystem::path descriptionFile() const { return unixDir / "tlvIni.ini"; }
    void writeDescription(const IniValues& values) const;
    // Puts a replacement file into SET\<platform>.
    void writeSource(const std::string& platform, const std::string& name, const std::string& bytes) const;
};

class ApplierTest : public ::testing::Test {
protected:
    void SetUp() override;

    // Another package folder for this test, with its own tlvpatch.exe.
    Package makePackage();

    // Starts the package's applier (this test's package when none is given).
    // Its command line is its quoted path, then a blank and `arguments` as
    // they stand, when there are any.
    WindowsProcess startApplier(const UiLanguage& language, const std::string& arguments = "",
                                const Package* in = nullptr);
    // Runs the applier where it must show no box: it has to end by itself. Its
    // exit code; when a box holds it up instead, the test fails naming the box
    // and -1 is returned.
    std::int64_t runWithoutBox(const UiLanguage& language, const std::string& arguments = "",
                               const Package* in = nullptr);

    // Waits for the next box in `language`, reports it and presses `press`.
    BoxReport waitForBox(const UiLanguage& language, BoxButton press, const std::vector<std::uint64_t>& ignored = {});
    // Presses a button of a box already seen.
    BoxReport pressBox(const UiLanguage& language, std::uint64_t hwnd, BoxButton press);
    // Waits until a box seen before has gone (its program killed, say); false
    // when it is still there after timeoutMs.
    bool waitUntilBoxGone(const UiLanguage& language, std::uint64_t hwnd, int timeoutMs = BOX_TIMEOUT_MS);

    // A fresh, empty installation folder for this test (C:\installs\<test>);
    // its Windows path.
    std::string makeInstallDir();

    // Starts fake_product.exe with `args` and waits until its window exists.
    WindowsProcess startProductWindow(const UiLanguage& language, const std::vector<std::string>& args);

    // Linux path of a file in the Windows directory (C:\windows).
    std::filesystem::path windowsFile(const std::string& name) const;
    void writeInstallationRecord(const std::string& fileName, const IniValues& values) const;

    WinePrefix& prefix() const { return WinePrefix::shared(); }

    Package package;

private:
    int packagesMade_ = 0;
    int productsStarted_ = 0;
};

// "<suite>.<test>" of the running test, usable as a file or key name.
std::string currentTestName();

// `text` with every character but letters and digits turned into '_', as
// test names and registry key names want it.
std::string asIdentifier(const std::string& text);

// The exit code of a program that must end within timeoutMs; a test failure
// and -1 when it is still running (it is killed then).
std::int64_t exitCodeOf(WindowsProcess& process, int timeoutMs = EXIT_TIMEOUT_MS);

}  // namespace e2e
