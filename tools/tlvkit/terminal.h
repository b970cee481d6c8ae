// The process's terminal: UTF-8 in and out whatever the host.
#pragma once

#include <string>
#include <vector>

namespace tlvkit {

// The command line after the program's name, in UTF-8.
std::vector<std::string> commandLineArguments(int argc, char** argv);

// Makes the terminal show UTF-8 output as text.
void prepareTerminal();

}  // namespace tlvkit
