// Lookups of GetPrivateProfileStringA as Windows answers them: one table for
// the portable INI model (tests/platform/profile_text_test.cpp) and for the
// real call (tests/e2e/tools/profile_probe.cpp), so both are held to the same
// answers. Plain data only: the probe is built for Windows from this header.
#pragma once

#include <cstdint>

struct ProfileLookupCase {
    const char* name;
    const char* content;       // the whole INI file; nullptr: there is no file
    const char* section;
    const char* key;
    const char* defaultValue;  // nullptr: none given
    std::uint32_t size;        // of the buffer, in bytes
    const char* expected;      // what the buffer holds afterwards
    std::uint32_t expectedCount;
    // Wine answers otherwise; the expectation is what Windows does.
    bool wineDiffers;
};

inline const ProfileLookupCase PROFILE_LOOKUP_CASES[] = {
    // Finding the entry.
    {"plain value", "[S]\r\nK=value\r\n", "S", "K", "def", 64, "value", 5, false},
    {"LF line ends", "[S]\nA=1\nK=value\n", "S", "K", "def", 64, "value", 5, false},
    {"last line without a line end", "[S]\r\nK=value", "S", "K", "def", 64, "value", 5, false},
    {"names compare without case", "[install]\r\ntarget=v\r\n", "INSTALL", "TARGET", "def", 64, "v", 1, false},
    {"the key is matched whole", "[S]\r\nKEY2=x\r\nKE=y\r\nKEY=z\r\n", "S", "KEY", "def", 64, "z", 1, false},
    {"the section is matched whole", "[SECTION]\r\nK=v\r\n", "SECT", "K", "def", 64, "def", 3, false},
    {"first of two equal keys wins", "[S]\r\nK=first\r\nK=second\r\n", "S", "K", "def", 64, "first", 5, false},
    {"first of two keys differing in case wins", "[S]\r\nk=first\r\nK=second\r\n", "S", "K", "def", 64, "first",
     5, false},
    {"a repeated section is not searched", "[S]\r\nA=1\r\n[T]\r\nB=2\r\n[S]\r\nK=later\r\n", "S", "K", "def", 64,
     "def", 3, false},
    {"a repeated section does not override", "[S]\r\nK=first\r\n[s]\r\nK=second\r\n", "S", "K", "def", 64, "first",
     5, false},
    {"a key of another section is not found", "[S]\r\nA=1\r\n[T]\r\nK=v\r\n", "S", "K", "def", 64, "def", 3,
     false},
    {"a key before any section belongs to none", "K=v\r\n[S]\r\nA=1\r\n", "S", "K", "def", 64, "def", 3, false},
    {"comment lines are skipped", "[S]\r\n;K=commented\r\nK=real\r\n", "S", "K", "def", 64, "real", 4, false},
    {"a commented key is missing", "[S]\r\n;K=commented\r\n", "S", "K", "def", 64, "def", 3, false},
    {"lines without = are ignored", "[S]\r\njust some words\r\nK=v\r\n", "S", "K", "def", 64, "v", 1, false},
    {"blank lines are ignored", "\r\n[S]\r\n\r\n\r\nK=v\r\n\r\n", "S", "K", "def", 64, "v", 1, false},
    {"blanks around the key and =", "[S]\r\n  K  =  value\r\n", "S", "K", "def", 64, "value", 5, false},
    {"blanks inside the brackets", "[ S ]\r\nK=v\r\n", "S", "K", "def", 64, "v", 1, false},
    {"text after ] of a section line", "[S] ; the settings\r\nK=v\r\n", "S", "K", "def", 64, "v", 1, false},
    {"a UTF-8 byte-order mark spoils the first line", "\xEF\xBB\xBF[S]\r\nK=v\r\n", "S", "K", "def", 64, "def", 3,
     true},
    {"a byte-order mark spoils only the first line", "\xEF\xBB\xBF[T]\r\nA=1\r\n[S]\r\nK=v\r\n", "S", "K", "def",
     64, "v", 1, false},

    // Shaping the value.
    {"leading and trailing blanks removed", "[S]\r\nK=   value   \r\n", "S", "K", "def", 64, "value", 5, false},
    {"leading and trailing tabs removed", "[S]\r\nK=\t value \t\r\n", "S", "K", "def", 64, "value", 5, false},
    {"inner blanks kept", "[S]\r\nK=a b  c\r\n", "S", "K", "def", 64, "a b  c", 6, false},
    {"a second = belongs to the value", "[S]\r\nK=a=b\r\n", "S", "K", "def", 64, "a=b", 3, false},
    {"a ; inside the value is kept", "[S]\r\nK=v ; note\r\n", "S", "K", "def", 64, "v ; note", 8, false},
    {"double quotes removed", "[S]\r\nK=\"quoted\"\r\n", "S", "K", "def", 64, "quoted", 6, false},
    {"single quotes removed", "[S]\r\nK='quoted'\r\n", "S", "K", "def", 64, "quoted", 6, false},
    {"blanks inside quotes kept", "[S]\r\nK=\" a b \"\r\n", "S", "K", "def", 64, " a b ", 5, false},
    {"blanks outside quotes removed", "[S]\r\nK=  \"a\"  \r\n", "S", "K", "def", 64, "a", 1, false},
    {"only one pair of quotes removed", "[S]\r\nK=\"\"a\"\"\r\n", "S", "K", "def", 64, "\"a\"", 3, false},
    {"mismatched quotes stay", "[S]\r\nK=\"a'\r\n", "S", "K", "def", 64, "\"a'", 3, false},
    {"a leading quote alone stays", "[S]\r\nK=\"abc\r\n", "S", "K", "def", 64, "\"abc", 4, false},
    {"a trailing quote alone stays", "[S]\r\nK=abc\"\r\n", "S", "K", "def", 64, "abc\"", 4, false},
    {"a value of one quote stays", "[S]\r\nK=\"\r\n", "S", "K", "def", 64, "\"", 1, false},
    {"empty quotes give an empty value", "[S]\r\nK=\"\"\r\n", "S", "K", "def", 64, "", 0, false},
    {"an empty value is no default", "[S]\r\nK=\r\n", "S", "K", "def", 64, "", 0, false},
    {"a value of blanks is empty", "[S]\r\nK=    \r\n", "S", "K", "def", 64, "", 0, false},
    {"code page 932 bytes pass unchanged", "[S]\r\nK=\x83\x5C\x95\x5C\r\n", "S", "K", "def", 64, "\x83\x5C\x95\x5C",
     4, false},
    {"an encoded value passes unchanged", "[S]\r\nK=K3$pQ8*wZ%m2^tR6\r\n", "S", "K", "def", 64, "K3$pQ8*wZ%m2^tR6",
     16, false},

    // The buffer.
    {"a value that fits exactly", "[S]\r\nK=abc\r\n", "S", "K", "def", 4, "abc", 3, false},
    {"a value cut to size - 1", "[S]\r\nK=abcdef\r\n", "S", "K", "def", 4, "abc", 3, false},
    {"a quoted value cut after its quotes go", "[S]\r\nK=\"abcdef\"\r\n", "S", "K", "def", 4, "abc", 3, false},
    {"a buffer of one byte holds nothing", "[S]\r\nK=abc\r\n", "S", "K", "def", 1, "", 0, false},

    // The default.
    {"no file gives the default", nullptr, "S", "K", "def", 64, "def", 3, false},
    {"an empty file gives the default", "", "S", "K", "def", 64, "def", 3, false},
    {"no default gives an empty text", "[S]\r\nA=1\r\n", "S", "K", nullptr, 64, "", 0, false},
    {"the default loses its trailing blanks", "[S]\r\nA=1\r\n", "S", "K", "def  ", 64, "def", 3, false},
    {"the default keeps its leading blanks", "[S]\r\nA=1\r\n", "S", "K", "  def", 64, "  def", 5, false},
    {"the default is cut to size - 1", "[S]\r\nA=1\r\n", "S", "K", "default", 4, "def", 3, false},
};
