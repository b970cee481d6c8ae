// check: the applier's verdict on a package and an installation, with its
// code, its exit code and its message in both languages; nothing changes.
#include <gtest/gtest.h>

#include "tests/tools/tool_fixture.h"

namespace fs = std::filesystem;

namespace tools_test {
namespace {

struct Verdict {
    const char* name;
    std::vector<std::string> recordArgs;  // for "record windows/Tolva.ini"; empty: no record
    int manifestLine;                      // 0: the sample as it is
    std::string manifestReplacement;
    const char* removedFromPackage;        // nullptr: nothing
    std::string outcome;                   // the "Outcome ..." line
    int exitCode;
    std::vector<std::string> messageLines;  // English, then Japanese
};

void PrintTo(const Verdict& row, std::ostream* out) { *out << row.name; }

const std::vector<std::string> SAMPLE_RECORD = {"--version", "65", "--pt", "2", "--sp", "1", "--edition", "standard",
                                                "--dir", "C:\\Tolva"};

std::vector<std::string> recordWith(const std::string& option, const std::string& value) {
    std::vector<std::string> args = SAMPLE_RECORD;
    for (std::size_t i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == option) args[i + 1] = value;
    }
    return args;
}

std::vector<Verdict> verdicts() {
    return {
        {"Applies", SAMPLE_RECORD, 0, "", nullptr,
         "Outcome under a Japanese interface: code 0, exit code 0: the applier would apply the patch", 0,
         // Under English the Japanese file name is another name (see CheckDetails).
         {"    テスト修正パッチ は正常に適用されました。", "    HARBORSTONE を起動してください。"}},
        {"OtherVersion", recordWith("--version", "66"), 0, "", nullptr,
         "Outcome under a Japanese interface: code 5, exit code 1: the applier refuses the patch before changing "
         "anything",
         1,
         {"    This program is HARBORSTONE V6.5 only.",
          "    当プログラムは HARBORSTONE V6.5 専用です。"}},
        {"EnhancedEditionInstalled", recordWith("--edition", "enhanced"), 0, "", nullptr,
         "Outcome under a Japanese interface: code 10, exit code 10: the applier refuses the patch before changing "
         "anything",
         10,
         // The second character of VERSION "65" is 5 or more: the edition word is "Enterprise".
         {"    This program is Standard / Professional only.",
          "    Can not be performed because of the product is Enterprise that are installed.",
          "    当プログラムは  Standard / Professional 専用です。",
          "    インストールされている製品は Enterprise のため実行できません。"}},
        {"EnhancedEditionMissing", SAMPLE_RECORD, 3, "TARGET = 1", nullptr,
         "Outcome under a Japanese interface: code 11, exit code 10: the applier refuses the patch before changing "
         "anything",
         10, {"    This program is Enterprise only.", "    Product can not be executed because of Standard / Professional is installed.",
              "    当プログラムは Enterprise 専用です。"}},
        {"AlreadyUpToDate", recordWith("--pt", "3"), 0, "", nullptr,
         "Outcome under a Japanese interface: code 12, exit code 12: the applier refuses the patch before changing "
         "anything",
         12, {"    Are already up-to-date Patch apply.", "    既に最新の 修正パッチ が適用されています。"}},
        {"NotInstalled", {}, 0, "", nullptr,
         "Outcome under a Japanese interface: code 8, exit code 4: the applier cannot load the package or the record",
         4,
         {"    After you have installed the product version of HARBORSTONE V6.5, please run.",
          "    HARBORSTONE V6.5 製品版をインストールした後、実行してください。"}},
        {"SourceMissingFromThePackage", SAMPLE_RECORD, 0, "", "package/SET/x86/tolva.exe",
         "Outcome under a Japanese interface: code 20, exit code 2: the applier stops at a file it cannot replace", 2,
         {"    I failed to update the file (C:\\Tolva\\bin\\tolva.exe).", "    [ファイル名：C:\\Tolva\\bin\\tolva.exe] "}},
        {"UnreadableDescription", SAMPLE_RECORD, 0, "", "package/tlvIni.ini",
         "Outcome under a Japanese interface: code 2, exit code 5: the applier cannot load the package or the record",
         5, {"    A failure occurred loading パッチ・SP適用ファイル information.", "Loading       refused: no patch description "}},
    };
}

class Check : public ToolTest, public ::testing::WithParamInterface<Verdict> {};

TEST_P(Check, PredictsTheAppliersCodeExitCodeAndMessagesAndChangesNothing) {
    const Verdict& row = GetParam();
    std::string manifest = sampleManifest();
    if (row.manifestLine > 0) manifest = replaceLine(manifest, row.manifestLine, row.manifestReplacement);
    writeSamplePackageSources(manifest);
    ASSERT_EQ(run({"build", "manifest.ini", "package"}).exitCode, 0);
    fs::create_directories(path("windows"));
    if (!row.recordArgs.empty()) {
        std::vector<std::string> args = {"record", "windows/Tolva.ini"};
        args.insert(args.end(), row.recordArgs.begin(), row.recordArgs.end());
        ASSERT_EQ(run(args).exitCode, 0);
    }
    if (row.removedFromPackage != nullptr) fs::remove(path(row.removedFromPackage));
    const auto packageBefore = tree("package");
    const auto windowsBefore = tree("windows");

    const CommandResult checked = run({"check", "package", "windows/Tolva.ini"});
    EXPECT_EQ(checked.exitCode, row.exitCode) << checked.out << checked.err;
    EXPECT_NE(checked.out.find("\n" + row.outcome + "\n"), std::string::npos) << checked.out;
    for (const std::string& line : row.messageLines) {
        EXPECT_NE(checked.out.find(line), std::string::npos) << line << "\n" << checked.out;
    }
    EXPECT_EQ(tree("package"), packageBefore);
    EXPECT_EQ(tree("windows"), windowsBefore);
}

INSTANTIATE_TEST_SUITE_P(Cases, Check, ::testing::ValuesIn(verdicts()),
                         [](const auto& info) { return std::string(info.param.name); });

class CheckDetails : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        writeSamplePackageSources();
        ASSERT_EQ(run({"build", "manifest.ini", "package"}).exitCode, 0);
        writeSampleRecord();
    }
};

TEST_F(CheckDetails, ListsEveryFileWithItsSourceAndCompletedDestinationAndTheRegistryValues) {
    fs::remove(path("package/SET/x86/説明書.txt"));
    const CommandResult checked = run({"check", "package", "windows/Tolva.ini"});
    EXPECT_EQ(checked.exitCode, 2);
    EXPECT_NE(checked.out.find("Files         2, from SET\\x86\n"
                               "  1  mode 1  tolva.exe  present  -> C:\\Tolva\\bin\\tolva.exe\n"
                               "  2  mode 0  説明書.txt  MISSING  -> C:\\Tolva\\文書\\表.txt  (not replaced: the "
                               "source is not in the package)\n"
                               "Registry      1 value(s)\n"
                               "  1  quote HKEY_LOCAL_MACHINE\\SOFTWARE\\Tolva  value \"Command\"\n"),
              std::string::npos)
        << checked.out;
}

TEST_F(CheckDetails, TellsThatNamesInCodePage932AreOtherNamesUnderAnEnglishInterface) {
    const CommandResult japanese = run({"check", "package", "windows/Tolva.ini"});
    EXPECT_EQ(japanese.exitCode, 0);
    EXPECT_NE(japanese.out.find("Note: under an English interface (code page 1252) the code would be 20, exit code 2"),
              std::string::npos)
        << japanese.out;
    const CommandResult english = run({"check", "--language", "en", "package", "windows/Tolva.ini"});
    EXPECT_EQ(english.exitCode, 2);
}

TEST_F(CheckDetails, ReadsARecordOfAnyNameAsTheOneThePackageTargets) {
    fs::rename(path("windows/Tolva.ini"), path("windows/case-4711.ini"));
    const CommandResult checked = run({"check", "package", "windows/case-4711.ini"});
    EXPECT_EQ(checked.exitCode, 0) << checked.out;
    EXPECT_NE(checked.out.find("(the package reads Tolva.ini; case-4711.ini is checked in its place)"),
              std::string::npos)
        << checked.out;
    // A folder stands for the Windows directory: there the name counts.
    EXPECT_EQ(run({"check", "package", "windows"}).exitCode, 4);
}

TEST_F(CheckDetails, NamesTheRecordValueThatTheLoaderCouldNotRead) {
    std::string record = *read("windows/Tolva.ini");
    const std::size_t dir = record.find("DIR=");
    record.replace(dir + 4, 1, "x");
    write("windows/Tolva.ini", record);
    const CommandResult checked = run({"check", "package", "windows/Tolva.ini"});
    EXPECT_EQ(checked.exitCode, 5);
    EXPECT_NE(checked.out.find("Loading       refused: DIR of "), std::string::npos) << checked.out;
}

}  // namespace
}  // namespace tools_test
