// A patch package and an installation record laid out in the test double,
// every value encoded as the applier expects it.
#pragma once

#include <string>
#include <utility>
#include <vector>

using IniEntries = std::vector<std::pair<std::string, std::string>>;  // key, plain value

// An INI text of one section with every value encoded by the codec.
std::string encodedIni(const std::string& section, const IniEntries& entries);

// Writes "tlvIni.ini" into C:\package (beside the double's executable).
void writePatchDescription(const IniEntries& entries);
// Writes an installation record C:\Windows\<fileName>.
void writeInstallationRecord(const std::string& fileName, const IniEntries& entries);

// A patch for HARBORSTONE standard edition, version "65" (shown "V6.5"),
// patch level 3, named "Patch 7" with caption "Caption" in English and
// Japanese; no files, no registry entries.
IniEntries standardPatch();
// Its installation record: version "65", patch level 2, standard edition,
// installed in C:\Tolva (created).
IniEntries standardRecord();

// Replaces or adds a key.
IniEntries with(IniEntries entries, const std::string& key, const std::string& value);

// Decoded value of a key of an encoded INI file ("" when missing or undecodable).
std::string readDecoded(const std::string& windowsPath, const std::string& section, const std::string& key);
