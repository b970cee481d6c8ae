#pragma once

#include <filesystem>

#include "tools/tlvkit/package_plan.h"

namespace tlvkit {

// Writes the package into a folder beside `outDir` and renames it into
// place, so that `outDir` is either the former folder or the whole new
// package; a former `outDir` is replaced. Throws std::runtime_error.
void writePackage(const PackagePlan& plan, const std::filesystem::path& outDir);

// The bytes of a mode "1" file as the package stores them: each raised by one.
std::string raisedByOne(std::string bytes);

}  // namespace tlvkit
