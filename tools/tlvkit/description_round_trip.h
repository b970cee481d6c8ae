// The last word on a package before it is written: its patch description,
// read by the applier's own loader (in memory, in both interface languages),
// must give back exactly what the manifest says.
#pragma once

#include <string>
#include <vector>

#include "tools/tlvkit/package_plan.h"

namespace tlvkit {

// One line for every value that the applier would read otherwise; none when
// the description reads back whole.
std::vector<std::string> roundTripProblems(const PackagePlan& plan);

}  // namespace tlvkit
