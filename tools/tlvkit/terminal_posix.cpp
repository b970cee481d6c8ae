#include "tools/tlvkit/terminal.h"

namespace tlvkit {

// POSIX terminals of this product line's machines are UTF-8 already.
std::vector<std::string> commandLineArguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

void prepareTerminal() {}

}  // namespace tlvkit
