// A temporary folder per test and the kit's command line run in-process in
// it, over the portable host platform and real files.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tools_test {

struct CommandResult {
    int exitCode;
    std::string out;
    std::string err;
};

// Bytes every value 0x00 to 0xFF, repeated to `size`.
std::string allByteValues(std::size_t size);

// Replaces line `number` (from 1) of `text`; an empty replacement keeps an empty line.
std::string replaceLine(const std::string& text, int number, const std::string& line);

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    CommandResult run(const std::vector<std::string>& args);

    std::filesystem::path path(const std::string& relative) const;
    void write(const std::string& relative, const std::string& bytes) const;
    std::optional<std::string> read(const std::string& relative) const;
    // Every file below a folder with its bytes, by relative path.
    std::vector<std::pair<std::string, std::string>> tree(const std::string& relative) const;

    // A manifest (manifest.ini) with its payload files and an applier to copy:
    // a patch (PTNO 3) for HARBORSTONE V6.5 standard edition with Japanese
    // names, one file stored raised by one, one copied as it is (Japanese
    // name, destination whose "表" ends in the byte 0x5C), one registry value.
    static std::string sampleManifest();
    void writeSamplePackageSources(const std::string& manifest = sampleManifest()) const;
    // Its installation record: version 65, patch 2, standard edition, in C:\Tolva.
    void writeSampleRecord(const std::string& relative = "windows/Tolva.ini");

    std::filesystem::path root;
};

// Line numbers of the sample manifest, for the cases that change one line.
namespace sample_line {
constexpr int TARGET = 3;
constexpr int MODULE_TYPE = 4;
constexpr int MODULE_NM = 5;
constexpr int TITLE_NM = 6;
constexpr int MODULE_NM_E = 7;
constexpr int TITLE_NM_E = 8;
constexpr int VERSION = 9;
constexpr int PTNO = 11;
constexpr int FILE1 = 14;
constexpr int FILE2 = 15;
constexpr int REGISTRY1 = 18;
constexpr int PACKAGE_SPARE = 22;  // an empty line at the end of [PACKAGE]
}  // namespace sample_line

}  // namespace tools_test
