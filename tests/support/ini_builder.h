// INI texts for tests, every value stored through the value codec as the
// applier's files store it.
//
//   fake::writeFile("C:\\package\\tlvIni.ini", buildIni({
//       {"INSTALL", "TARGET", "0"},
//       {"INSTALL", "FILES", "1"},
//       {"INSTALL", "FILE1", "0,a.dll,bin\\a.dll"},
//       {"INSTALL", "VERSION", "not encoded", true},  // written as given
//   }));
#pragma once

#include <string>
#include <vector>

struct IniLine {
    std::string section;
    std::string key;
    std::string value;        // plain text; encoded unless storePlain
    bool storePlain = false;  // write `value` byte for byte (broken values)
};

// The codec's encoding of `plain`; throws std::runtime_error if it cannot.
std::string encodeValue(const std::string& plain);

// The encoding of `plain` with its check character replaced by another
// alphabet character: a stored value that fails its check.
std::string encodeWithWrongCheck(const std::string& plain);

// One "[SECTION]" block per section, in the order sections first appear,
// each holding its keys in the order given; lines end with CR LF.
std::string buildIni(const std::vector<IniLine>& lines);
