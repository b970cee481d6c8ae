// A portable host for the applier's core: platform/platform.h answered from
// this machine's files, as the applier would see one package and one Windows
// directory. Tools use it to run the applier's own loaders and checks
// without Windows (a dry run), on Linux and on Windows alike.
//
// What it models: the executable's path, the Windows directory and the
// interface language are configured; profile (INI) files are read and
// written through platform/profile_text, as the Windows calls do; files are
// this host's files. The ANSI code page goes with the language, as it does
// under Wine: 932 for Japanese (1041), with the Japanese message texts; 1252
// for any other language, with the English ones. Paths are handed to the
// core in that code page (as this host's bytes when it cannot hold them), so
// a name stored in code page 932 is found under Japanese only, as on Windows.
//
// Paths in the core's form use backslashes; on POSIX hosts they map to '/'
// (so a host file name holding a backslash cannot be reached).
//
// What it does not model: there is no desktop (a message box cannot be shown
// and returns 0, no window is ever found), no registry (no key opens), no
// other process (the named mutex is always acquired), and sleeps return at
// once. File times are not carried.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace host {

constexpr std::uint16_t LANGUAGE_JAPANESE = 1041;
constexpr std::uint16_t LANGUAGE_ENGLISH_US = 1033;

struct HostMachine {
    std::string modulePath;        // host path (UTF-8) of the modelled executable
    std::string windowsDirectory;  // host path of the folder standing for the Windows directory
    std::uint16_t uiLanguage = LANGUAGE_ENGLISH_US;
    // Files that exist only in memory, by host path, found before the disk:
    // a package can be read as the applier would read it before it is written.
    std::map<std::string, std::string> memoryFiles;
};

// Replaces the machine that every later platform call sees.
void setMachine(HostMachine machine);
const HostMachine& machine();

// A host path in the core's form (backslashes, the ANSI code page), and
// back. A path that the code page cannot hold passes as it is.
std::string corePath(const std::string& hostPath);
std::string hostPath(const std::string& corePath);

}  // namespace host
