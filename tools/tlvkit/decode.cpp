// decode VALUE: one stored value back to its text, or why it fails.
#include <limits>
#include <memory>

#include "tools/tlvkit/command.h"
#include "tools/tlvkit/stored_text.h"
#include "tools/tlvkit/stored_value.h"
#include "tools/tlvkit/tlvkit.h"

namespace tlvkit {

namespace {

int runDecode(const std::string& value, const Io& io) {
    const DecodedValue decoded = decodeStored(value, std::numeric_limits<std::size_t>::max());
    if (!decoded.ok) {
        reportError(io, "decode", "\"" + value + "\" does not decode: " + decoded.reason);
        return EXIT_FAILED;
    }
    io.out << displayText(decoded.text) << "\n";
    return EXIT_OK;
}

}  // namespace

void addDecodeCommand(CLI::App& app, const Io& io, int& exitCode) {
    auto value = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand("decode", "Decode one stored value and print its text (UTF-8), or "
                                                     "say why the applier could not read it.");
    command->add_option("VALUE", *value, "the value as it stands after KEY= in the INI file")->required();
    command->footer("Bytes that code page 932 cannot read, and control characters, are printed as \\xNN. "
                    "Exit code 1 when the value does not decode.");
    command->callback([value, io, &exitCode] { exitCode = runDecode(*value, io); });
}

}  // namespace tlvkit
