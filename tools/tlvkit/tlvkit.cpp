#include "tools/tlvkit/tlvkit.h"

#include "tools/tlvkit/command.h"

namespace tlvkit {

namespace {

std::string chosenCommand(const CLI::App& app) {
    const auto chosen = app.get_subcommands();
    return chosen.empty() ? "" : chosen.front()->get_name();
}

int usageError(const Io& io, const CLI::App& app, const std::string& message) {
    const std::string command = chosenCommand(app);
    const std::string name = command.empty() ? "tlvkit" : "tlvkit " + command;
    io.err << name << ": " << message << "\n"
           << "Run '" << name << " --help' for usage.\n";
    return EXIT_USAGE;
}

}  // namespace

void reportError(const Io& io, const std::string& command, const std::string& message) {
    io.err << "tlvkit " << command << ": " << message << "\n";
}

int runTlvkit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Io io{out, err};
    CLI::App app{"tlvkit: writes and reads the patch packages and installation records of the Tolva patch "
                 "applier (tlvpatch.exe)."};
    app.name("tlvkit");
    app.require_subcommand(1);
    app.footer("Run 'tlvkit COMMAND --help' for the options of a command. Texts on the terminal are UTF-8; "
               "the files store them in code page 932.");

    int exitCode = EXIT_OK;
    addEncodeCommand(app, io, exitCode);
    addDecodeCommand(app, io, exitCode);
    addShowCommand(app, io, exitCode);
    addBuildCommand(app, io, exitCode);
    addRecordCommand(app, io, exitCode);
    addCheckCommand(app, io, exitCode);

    // The parser would only say that a command is required.
    bool knownCommand = false;
    for (CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) {
        knownCommand = knownCommand || (!args.empty() && command->check_name(args.front()));
    }
    if (!args.empty() && !args.front().empty() && args.front()[0] != '-' && !knownCommand) {
        return usageError(io, app,
                          "unknown command '" + args.front() +
                              "': the commands are encode, decode, show, build, record and check");
    }

    std::vector<std::string> argvTexts{"tlvkit"};
    argvTexts.insert(argvTexts.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& text : argvTexts) argv.push_back(text.data());
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return EXIT_OK;
    } catch (const CLI::CallForAllHelp&) {
        out << app.help("", CLI::AppFormatMode::All);
        return EXIT_OK;
    } catch (const CLI::ParseError& error) {
        return usageError(io, app, error.what());
    } catch (const UsageError& error) {
        return usageError(io, app, error.what());
    } catch (const std::exception& error) {
        reportError(io, chosenCommand(app), error.what());
        return EXIT_FAILED;
    }
    return exitCode;
}

}  // namespace tlvkit
