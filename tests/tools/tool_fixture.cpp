#include "tests/tools/tool_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tools/tlvkit/tlvkit.h"

namespace fs = std::filesystem;

namespace tools_test {

std::string allByteValues(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i % 256);
    return bytes;
}

std::string replaceLine(const std::string& text, int number, const std::string& line) {
    std::istringstream in(text);
    std::string result;
    std::string current;
    for (int n = 1; std::getline(in, current); ++n) result += (n == number ? line : current) + "\n";
    return result;
}

void ToolTest::SetUp() {
    std::string pattern = (fs::temp_directory_path() / "tlvkit-test.XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root = pattern;
}

void ToolTest::TearDown() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

CommandResult ToolTest::run(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    // Relative paths in the arguments are relative to the test's folder.
    const fs::path before = fs::current_path();
    fs::current_path(root);
    const int exitCode = tlvkit::runTlvkit(args, out, err);
    fs::current_path(before);
    return {exitCode, out.str(), err.str()};
}

fs::path ToolTest::path(const std::string& relative) const { return root / fs::u8path(relative); }

void ToolTest::write(const std::string& relative, const std::string& bytes) const {
    const fs::path file = path(relative);
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::optional<std::string> ToolTest::read(const std::string& relative) const {
    std::ifstream in(path(relative), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::pair<std::string, std::string>> ToolTest::tree(const std::string& relative) const {
    std::vector<std::pair<std::string, std::string>> files;
    const fs::path base = path(relative);
    if (!fs::exists(base)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(base)) {
        if (!entry.is_regular_file()) continue;
        const std::string name = fs::relative(entry.path(), base).generic_u8string();
        files.emplace_back(name, *read(relative + "/" + name));
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string ToolTest::sampleManifest() {
    return "# Patch 7 for HARBORSTONE V6.5, standard edition\n"  // 1
           "[INSTALL]\n"                                         // 2
           "TARGET = 0\n"                                        // 3
           "MODULE_TYPE = 0\n"                                   // 4
           "MODULE_NM = テスト修正パッチ\n"                      // 5
           "TITLE_NM = テスト表示タイトル\n"                     // 6
           "MODULE_NM_E = Test Patch 7\n"                        // 7
           "TITLE_NM_E = Test Patch Title\n"                     // 8
           "VERSION = 65\n"                                      // 9
           "VERSION_DISP = V6.5\n"                               // 10
           "PTNO = 3\n"                                          // 11
           "\n"                                                  // 12
           "[FILES]\n"                                           // 13
           "file = 1, payload/tolva.exe, tolva.exe, bin\\tolva.exe\n"       // 14
           "file = 0, payload/説明書.txt, 説明書.txt, 文書\\表.txt\n"         // 15
           "\n"                                                  // 16
           "[REGISTRY]\n"                                        // 17
           "registry = 0, HKEY_LOCAL_MACHINE, SOFTWARE\\Tolva, Command, -\n"  // 18
           "\n"                                                  // 19
           "[PACKAGE]\n"                                         // 20
           "applier = tlvpatch.exe\n"                            // 21
           "\n";                                                 // 22
}

void ToolTest::writeSamplePackageSources(const std::string& manifest) const {
    write("manifest.ini", manifest);
    write("payload/tolva.exe", allByteValues(2500));
    write("payload/説明書.txt", "読んでください\r\n");
    write("tlvpatch.exe", "MZ applier stand-in");
}

void ToolTest::writeSampleRecord(const std::string& relative) {
    fs::create_directories(path(relative).parent_path());
    const CommandResult made = run({"record", relative, "--version", "65", "--pt", "2", "--sp", "1", "--edition",
                                    "standard", "--dir", "C:\\Tolva"});
    ASSERT_EQ(made.exitCode, 0) << made.err;
}

}  // namespace tools_test
