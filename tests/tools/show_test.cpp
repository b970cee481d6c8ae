// show: every value decoded; a hand-damaged value marked with why it fails
// and what the applier reads instead.
#include <gtest/gtest.h>

#include "tests/tools/tool_fixture.h"

namespace tools_test {
namespace {

class Show : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        writeSamplePackageSources();
        ASSERT_EQ(run({"build", "manifest.ini", "package"}).exitCode, 0);
        description = *read("package/tlvIni.ini");
    }

    // The description with the stored value of `key` replaced.
    void setStored(const std::string& key, const std::string& stored) {
        const std::size_t at = description.find("\r\n" + key + "=");
        ASSERT_NE(at, std::string::npos) << key;
        const std::size_t begin = at + 2 + key.size() + 1;
        description.replace(begin, description.find("\r\n", begin) - begin, stored);
        write("package/tlvIni.ini", description);
    }
    std::string stored(const std::string& key) const {
        const std::size_t begin = description.find("\r\n" + key + "=") + 2 + key.size() + 1;
        return description.substr(begin, description.find("\r\n", begin) - begin);
    }
    static std::string lineOf(const std::string& output, const std::string& key) {
        const std::size_t at = output.find("  " + key + " ");
        if (at == std::string::npos) return "";
        const std::size_t begin = output.rfind('\n', at) + 1;
        return output.substr(begin, output.find('\n', at) - begin);
    }

    std::string description;
};

TEST_F(Show, PrintsEveryValueDecodedInUtf8) {
    const CommandResult shown = run({"show", "package"});
    EXPECT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_NE(shown.out.find("tlvIni.ini: patch description\n[INSTALL]\n"), std::string::npos) << shown.out;
    EXPECT_EQ(lineOf(shown.out, "MODULE_NM"), "     4  MODULE_NM    = テスト修正パッチ");
    EXPECT_EQ(lineOf(shown.out, "FILE2"), "    13  FILE2        = 0,説明書.txt,文書\\表.txt");
    EXPECT_EQ(lineOf(shown.out, "FILES"), "    11  FILES        = 2");
}

struct Damage {
    const char* name;
    const char* key;
    std::string (*stored)(const std::string& good);
    std::string reason;
};

std::string withWrongCheck(const std::string& good) {
    std::string value = good;
    value.back() = value.back() == 'K' ? '3' : 'K';
    return value;
}

TEST_F(Show, MarksHandDamagedValuesWithTheReasonAndTheDefaultTheyReadAs) {
    const std::string goodVersion = stored("VERSION");
    const std::vector<Damage> damages = {
        {"check", "VERSION", withWrongCheck, ""},
        {"prefix", "TITLE_NM", [](const std::string& good) { return "x" + good.substr(1); },
         "prefix 'x' is not in the codec alphabet; reads as its default \"\""},
        {"short", "MODULE_NM_E", [](const std::string&) { return std::string("K"); },
         "too short: 1 character(s), a value has at least 2; reads as its default \"\""},
        {"target", "TARGET", [](const std::string&) { return std::string("6w"); }, ""},
    };
    for (const Damage& damage : damages) setStored(damage.key, damage.stored(stored(damage.key)));

    const CommandResult shown = run({"show", "package/tlvIni.ini"});
    EXPECT_EQ(shown.exitCode, 1);
    const std::string expectedCheck = std::string("check character '") + withWrongCheck(goodVersion).back() +
                                      "' is wrong (expected '" + goodVersion.back() + "')";
    EXPECT_EQ(lineOf(shown.out, "VERSION"),
              "!    8  VERSION      : " + expectedCheck + "; reads as its default \"\"");
    EXPECT_EQ(lineOf(shown.out, "TITLE_NM"), "!    5  TITLE_NM     : " + damages[1].reason);
    EXPECT_EQ(lineOf(shown.out, "MODULE_NM_E"), "!    6  MODULE_NM_E  : " + damages[2].reason);
    EXPECT_NE(lineOf(shown.out, "TARGET").find("and the applier then refuses the file (code 2)"), std::string::npos)
        << shown.out;
    // Values around them still read.
    EXPECT_EQ(lineOf(shown.out, "VERSION_DISP"), "     9  VERSION_DISP = V6.5");

    const CommandResult json = run({"show", "--json", "package/tlvIni.ini"});
    EXPECT_EQ(json.exitCode, 1);
    EXPECT_NE(json.out.find("\"key\":\"VERSION\",\"stored\":\"" + stored("VERSION") +
                            "\",\"read\":true,\"decoded\":false,\"ok\":false,\"problem\":\"" + expectedCheck +
                            "; reads as its default \\\"\\\"\"}"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("\"key\":\"MODULE_NM\",\"stored\":\"" + stored("MODULE_NM") +
                            "\",\"read\":true,\"decoded\":true,\"value\":\"テスト修正パッチ\",\"ok\":true}"),
              std::string::npos)
        << json.out;
}

TEST_F(Show, MarksListLinesTheApplierRefusesAndEntriesItNeverReads) {
    const std::string encoded = run({"encode", "1,,tolva.exe"}).out;
    setStored("FILE1", encoded.substr(0, encoded.size() - 1));
    description += "FILE3=" + stored("FILE2") + "\r\nVERSION=" + stored("VERSION") + "\r\nCOMMENT=K6\r\n";
    write("package/tlvIni.ini", description);

    const CommandResult shown = run({"show", "package"});
    EXPECT_EQ(shown.exitCode, 1);
    EXPECT_EQ(lineOf(shown.out, "FILE1"),
              "!   12  FILE1        = 1,,tolva.exe  (has 2 field(s) once empty ones are dropped; the applier needs 3 "
              "and refuses the file (code 2))");
    EXPECT_NE(lineOf(shown.out, "FILE3").find("- "), std::string::npos);
    EXPECT_NE(lineOf(shown.out, "FILE3").find("(not read: FILES is 2)"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("(not read: an earlier entry of this name wins)"), std::string::npos) << shown.out;
    EXPECT_NE(lineOf(shown.out, "COMMENT").find("(not read by the applier"), std::string::npos) << shown.out;
}

TEST_F(Show, ReadsAnInstallationRecordWithItsOwnDefaults) {
    writeSampleRecord();
    std::string record = *read("windows/Tolva.ini");
    record += "PLATFORM=zz\r\n";
    write("windows/Tolva.ini", record);
    const CommandResult shown = run({"show", "windows/Tolva.ini"});
    EXPECT_EQ(shown.exitCode, 1);
    EXPECT_NE(shown.out.find("Tolva.ini: installation record\n[LICENSE]\n"), std::string::npos) << shown.out;
    EXPECT_NE(lineOf(shown.out, "VORN_INST").find("= VORN未インストール"), std::string::npos) << shown.out;
    EXPECT_NE(lineOf(shown.out, "PLATFORM").find("reads as its default \"x86\""), std::string::npos) << shown.out;
}

TEST_F(Show, RefusesAFileItCannotRead) {
    const CommandResult shown = run({"show", "nowhere.ini"});
    EXPECT_EQ(shown.exitCode, 1);
    EXPECT_EQ(shown.err, "tlvkit show: cannot read nowhere.ini\n");
}

}  // namespace
}  // namespace tools_test
