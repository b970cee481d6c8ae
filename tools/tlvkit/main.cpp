#include <iostream>

#include "tools/tlvkit/terminal.h"
#include "tools/tlvkit/tlvkit.h"

int main(int argc, char** argv) {
    tlvkit::prepareTerminal();
    return tlvkit::runTlvkit(tlvkit::commandLineArguments(argc, argv), std::cout, std::cerr);
}
