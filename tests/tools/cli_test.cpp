// The command line's conventions: help for every command on stdout, usage
// errors on stderr with exit code 2.
#include <gtest/gtest.h>

#include "tests/tools/tool_fixture.h"

namespace tools_test {
namespace {

class CommandLine : public ToolTest {};

TEST_F(CommandLine, EveryCommandHasHelp) {
    for (const std::string command : {"encode", "decode", "show", "build", "record", "check"}) {
        const CommandResult help = run({command, "--help"});
        EXPECT_EQ(help.exitCode, 0) << command;
        EXPECT_NE(help.out.find("Usage: tlvkit " + command), std::string::npos) << help.out;
        EXPECT_EQ(help.err, "") << command;
    }
    const CommandResult top = run({"--help"});
    EXPECT_EQ(top.exitCode, 0);
    EXPECT_NE(top.out.find("check"), std::string::npos);
}

struct Misuse {
    std::vector<std::string> args;
    std::string firstLine;
};

TEST_F(CommandLine, UsageErrorsGoToStderrWithExitCodeTwo) {
    const std::vector<Misuse> cases = {
        {{}, "tlvkit: A subcommand is required"},
        {{"unpack"}, "tlvkit: unknown command 'unpack': the commands are encode, decode, show, build, record and check"},
        {{"build", "manifest.ini"}, "tlvkit build: OUTDIR is required"},
        {{"check", "--language", "fr", "package", "record.ini"}, "tlvkit check: --language: fr not in {ja,en}"},
        {{"record", "Tolva.ini"}, "tlvkit record: nothing to change: give at least one option"},
        {{"show", "a.ini", "b.ini"}, "tlvkit show: The following argument was not expected: b.ini"},
    };
    for (const Misuse& misuse : cases) {
        const CommandResult result = run(misuse.args);
        EXPECT_EQ(result.exitCode, 2) << misuse.firstLine;
        EXPECT_EQ(result.out, "") << misuse.firstLine;
        EXPECT_EQ(result.err.substr(0, result.err.find('\n')), misuse.firstLine);
        EXPECT_NE(result.err.find("--help' for usage."), std::string::npos) << result.err;
    }
}

}  // namespace
}  // namespace tools_test
