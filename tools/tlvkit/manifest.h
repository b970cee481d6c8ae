// The patch manifest: the plain, human-readable source of a package.
//
//   [INSTALL]                       the patch description's keys, plain UTF-8 values
//   TARGET = 0
//   MODULE_NM = テスト修正パッチ
//   ...
//   [FILES]                         mode, file on disk, name in SET\<platform>, destination
//   file = 1, payload/tolva.exe, tolva.exe, bin\tolva.exe
//   [REGISTRY]                      action, root, key, value name, data
//   registry = 0, HKEY_LOCAL_MACHINE, SOFTWARE\Tolva, Command, -
//   [PACKAGE]                       how the package is made
//   platforms = x86, x64
//
// Lines are "[SECTION]", "key = value", blank, or comments starting with '#'
// or ';'. Blanks around keys, values and list fields are not part of them.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tlvkit {

struct ManifestLine {
    int line;  // from 1
    std::string key;
    std::string value;  // UTF-8, trimmed
};

struct Manifest {
    std::string path;  // as given, for messages
    std::vector<ManifestLine> install;
    std::vector<ManifestLine> files;
    std::vector<ManifestLine> registries;
    std::vector<ManifestLine> package;
};

struct ManifestError {
    int line;  // 0: the file as a whole
    std::string message;
};

// Parses a manifest's text; the lines that break its syntax are returned as
// errors, the rest still fills the manifest.
Manifest parseManifest(const std::string& path, const std::string& text, std::vector<ManifestError>& errors);

// A list line's fields: split at every comma, each trimmed; empty fields stay.
std::vector<std::string> splitManifestFields(const std::string& value);

}  // namespace tlvkit
