// A model of the Windows profile (INI) calls over the text of an INI file held
// in memory: what GetPrivateProfileStringA reads from it and what
// WritePrivateProfileStringA makes of it. Pure and portable (no file access,
// no Windows), so that the test double and tools off Windows read and write
// INI files exactly as the applier sees them.
//
// The file's shape, as Windows reads it: lines end with CR LF or LF; a line
// "[name]" opens a section (blanks inside the brackets and anything after "]"
// do not count); "key=value" is an entry; blank lines, lines starting with
// ';' and lines without '=' are skipped. Section and key names compare
// without regard to ASCII case. Only the first section of a name is searched,
// and the first of equal keys in it wins. A UTF-8 byte-order mark is not
// recognised: it spoils the first line.
#pragma once

#include <cstdint>
#include <string>

// The value of `key` in the first section named `section`, without leading
// and trailing blanks and tabs and then without one pair of matching outer
// quotes (double or single). False when the section or the key is missing.
bool findProfileValue(const std::string& content, const char* section, const char* key, std::string* value);

// What GetPrivateProfileStringA puts into `buffer`: the value found, or else
// `defaultValue` ("" when null) without its trailing blanks (its quotes stay:
// only a value read from the file loses them). Cut to `size` - 1 bytes and
// NUL-terminated; returns the number of bytes copied. A size of 0 leaves the
// buffer alone and returns 0. An absent file reads as empty content.
std::uint32_t copyProfileString(const std::string& content, const char* section, const char* key,
                                const char* defaultValue, char* buffer, std::uint32_t size);

// `content` after WritePrivateProfileStringA(section, key, value): the first
// entry of `key` in the first section named `section` becomes "key=value" in
// place; without one, that line is added after the section's last line that
// is not blank; without the section, "[section]" and the line are appended
// at the end. Lines it adds end with CR LF; every other byte stays. The value
// is written as given, blanks and quotes included.
std::string withProfileValue(const std::string& content, const char* section, const char* key, const char* value);
