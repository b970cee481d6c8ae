// The patch authoring kit: one command line, run in-process so that tests
// drive it exactly as a user would.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tlvkit {

constexpr int EXIT_OK = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

// `args` without the program's name, in UTF-8. Returns the exit code; normal
// output goes to `out`, errors and warnings to `err`.
int runTlvkit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tlvkit
