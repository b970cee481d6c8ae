// A consistent patch package and installation record that the end-to-end
// tests start from and vary one key at a time.
#pragma once

#include <string>

#include "tests/e2e/harness/encoded_ini.h"
#include "tests/e2e/harness/ui_language.h"

namespace e2e {

// Where the sample installation lives (the record's DIR).
inline constexpr const char* SAMPLE_INSTALL_DIR = "C:\\Tolva";

// A patch (MODULE_TYPE 0, PTNO 3) for HARBORSTONE standard edition (TARGET
// "0"), version "65" shown as "V6.5", with names and captions in Japanese and
// English; no files and no registry values.
IniValues samplePatch();
// Its installation record: version "65", PTNO 2, SPNO651 1, standard
// edition, platform "x86", installed in SAMPLE_INSTALL_DIR.
IniValues sampleRecord();

// The sample's module name and caption as the applier reads them in
// `language`: MODULE_NM/TITLE_NM in code page 932 under 1041,
// MODULE_NM_E/TITLE_NM_E under 1033, nothing under any other language.
std::string sampleModuleName(const UiLanguage& language);
std::string sampleTitle(const UiLanguage& language);
inline constexpr const char* SAMPLE_VERSION_DISP = "V6.5";

}  // namespace e2e
