// record: installation records for test machines, read back by the
// applier's own loader.
#include <gtest/gtest.h>

#include <memory>

#include "platform/host/host_machine.h"
#include "settings/fixed_texts.h"
#include "settings/load_settings.h"
#include "tests/tools/tool_fixture.h"

namespace fs = std::filesystem;

namespace tools_test {
namespace {

class Record : public ToolTest {
protected:
    // The record as the applier's loader reads it, for a patch of `target`.
    std::unique_ptr<PatchContext> loadRecord(const char* target) {
        host::HostMachine machine;
        machine.modulePath = path("package/tlvpatch.exe").u8string();
        machine.windowsDirectory = path("windows").u8string();
        host::setMachine(machine);
        auto context = std::make_unique<PatchContext>();
        context->target[0] = target[0];
        loadInstallationRecord(*context);
        host::setMachine({});
        return context;
    }
};

TEST_F(Record, CreatesARecordThatTheAppliersLoaderReads) {
    fs::create_directories(path("windows"));
    const CommandResult made = run({"record", "windows/VornCreator.ini", "--version", "3.1", "--platform", "x64",
                                    "--sp", "2", "--pt", "-1", "--edition", "standard", "--dir", "D:\\ツール"});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_EQ(made.err, "");

    const auto context = loadRecord("2");
    EXPECT_STREQ(context->installedVersion, "3.1");
    EXPECT_STREQ(context->platform, "x64");
    EXPECT_EQ(context->installedSpNo, 2);
    EXPECT_EQ(context->installedPtNo, -1);
    EXPECT_STREQ(context->editionMarker, ENHANCED_NOT_INSTALLED_MARKER);
    EXPECT_STREQ(context->installDir, "D:\\\x83" "c\x81[\x83\x8B");  // "D:\ツール" in code page 932
}

TEST_F(Record, ChangesOnlyTheValuesAskedAndKeepsEveryOtherLine) {
    writeSampleRecord();
    std::string before = *read("windows/Tolva.ini");
    before = "; written by the product's installer\r\n" + before + "[OTHER]\r\nKEEP=1\r\n";
    write("windows/Tolva.ini", before);

    const CommandResult changed = run({"record", "windows/Tolva.ini", "--pt", "7", "--edition", "enhanced"});
    ASSERT_EQ(changed.exitCode, 0) << changed.err;
    EXPECT_EQ(changed.out, "Changed windows/Tolva.ini: PTNO=\"7\" VORN_INST=\"\"\n");
    const std::string after = *read("windows/Tolva.ini");
    EXPECT_EQ(after.substr(0, 40), before.substr(0, 40));
    EXPECT_NE(after.find("[OTHER]\r\nKEEP=1\r\n"), std::string::npos);

    const auto context = loadRecord("1");
    EXPECT_EQ(context->installedPtNo, 7);
    EXPECT_EQ(context->installedSpNo, 1);
    EXPECT_STREQ(context->editionMarker, "");
    EXPECT_STREQ(context->installDir, "C:\\Tolva");
}

struct RefusedRecord {
    const char* name;
    std::vector<std::string> args;  // after "record windows/Tolva.ini"
    std::string message;
};

TEST_F(Record, RefusesWhatTheApplierCouldNotReadAndWritesNothing) {
    writeSampleRecord();
    const std::string before = *read("windows/Tolva.ini");
    const std::vector<RefusedRecord> cases = {
        {"number", {"--pt", "3a"}, "tlvkit record: windows/Tolva.ini: PTNO: \"3a\" is not a whole number such as 3\n"},
        {"edition", {"--edition", "pro"}, "tlvkit record: windows/Tolva.ini: --edition \"pro\": use standard or enhanced\n"},
        {"width", {"--version", std::string(255, '6')},
         "tlvkit record: windows/Tolva.ini: VERSION: 255 bytes, more than the 254 the applier reads\n"},
        {"set", {"--set", "NOEQUALS"}, "tlvkit record: windows/Tolva.ini: --set \"NOEQUALS\": write KEY=VALUE\n"},
    };
    for (const RefusedRecord& refused : cases) {
        std::vector<std::string> args = {"record", "windows/Tolva.ini"};
        args.insert(args.end(), refused.args.begin(), refused.args.end());
        const CommandResult result = run(args);
        EXPECT_EQ(result.exitCode, 1) << refused.name;
        EXPECT_EQ(result.err, refused.message + "tlvkit record: nothing written\n") << refused.name;
        EXPECT_EQ(read("windows/Tolva.ini"), std::optional<std::string>(before)) << refused.name;
    }

    const CommandResult incomplete = run({"record", "windows/VornLogMng.ini", "--version", "2"});
    EXPECT_EQ(incomplete.exitCode, 1);
    EXPECT_NE(incomplete.err.find("a new record needs --version and --dir"), std::string::npos) << incomplete.err;
    EXPECT_FALSE(fs::exists(path("windows/VornLogMng.ini")));
}

}  // namespace
}  // namespace tools_test
