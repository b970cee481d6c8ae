// What every command shares: where it writes and how it reports.
#pragma once

#include <CLI/CLI.hpp>

#include <ostream>
#include <string>

namespace tlvkit {

struct Io {
    std::ostream& out;
    std::ostream& err;
};

// Each command adds itself to the application; when it is the one chosen,
// its callback runs it and leaves its exit code in `exitCode`.
void addEncodeCommand(CLI::App& app, const Io& io, int& exitCode);
void addDecodeCommand(CLI::App& app, const Io& io, int& exitCode);
void addShowCommand(CLI::App& app, const Io& io, int& exitCode);
void addBuildCommand(CLI::App& app, const Io& io, int& exitCode);
void addRecordCommand(CLI::App& app, const Io& io, int& exitCode);
void addCheckCommand(CLI::App& app, const Io& io, int& exitCode);

// A one-line error: "tlvkit COMMAND: message".
void reportError(const Io& io, const std::string& command, const std::string& message);

// A usage error raised from inside a command's callback, reported like the
// parser's own (exit code 2).
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace tlvkit
