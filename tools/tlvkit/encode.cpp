// encode TEXT: one value through the codec, as the INI files store it.
#include <memory>

#include "tools/tlvkit/command.h"
#include "tools/tlvkit/stored_text.h"
#include "tools/tlvkit/stored_value.h"
#include "tools/tlvkit/tlvkit.h"

namespace tlvkit {

namespace {

int runEncode(const std::string& text, const Io& io) {
    const std::optional<std::string> stored = storedFromUtf8(text);
    if (!stored) {
        reportError(io, "encode", "the text holds a character that code page 932 cannot store");
        return EXIT_FAILED;
    }
    const std::string encoded = encodeText(*stored);
    if (encoded.size() > STORED_VALUE_LIMIT) {
        reportError(io, "encode",
                    "the text is " + std::to_string(stored->size()) + " bytes in code page 932 and encodes to " +
                        std::to_string(encoded.size()) + " characters; the applier reads at most " +
                        std::to_string(STORED_VALUE_LIMIT) + " of a value, so it would read as its default");
        return EXIT_FAILED;
    }
    io.out << encoded << "\n";
    return EXIT_OK;
}

}  // namespace

void addEncodeCommand(CLI::App& app, const Io& io, int& exitCode) {
    auto text = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand("encode", "Encode one text as the patch description and the "
                                                     "installation record store their values.");
    command->add_option("TEXT", *text, "the plain text (UTF-8; it is stored in code page 932)")->required();
    command->footer("Example: tlvkit encode 'V6.5'   prints the value to write after VERSION_DISP=");
    command->callback([text, io, &exitCode] { exitCode = runEncode(*text, io); });
}

}  // namespace tlvkit
