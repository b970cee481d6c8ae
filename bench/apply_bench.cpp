// apply_bench: lays out a patch package for tlvpatch.exe and times whole
// silent runs of it.
//
//   apply_bench.exe lay-out WORK APPLIER COUNT SIZE_KIB
//   apply_bench.exe record WORK
//   apply_bench.exe time-runs WORK APPLIER COUNT SIZE_KIB [ROUNDS]
//
// lay-out: WORK\package holds a copy of APPLIER, its tlvIni.ini and COUNT
// files of SIZE_KIB KiB in SET\x86 (modes "1" and "0" in turn, "1" first);
// WORK\install holds the installed files they replace; and the record (below).
//
// record: the installation record Tolva.ini in the Windows folder names
// WORK\install and says patch level 2, so that the package (a patch of level
// 3 for the standard edition) applies once more.
//
// time-runs: lays out, then ROUNDS times (default 5) and in this order:
// copies the package's files the way the applier does (plainCopyFile,
// shiftCopyFile) into WORK\scratch; runs a copy of the applier with /Silent
// in WORK\bare, a folder without a patch description, where it ends at once
// with exit code 5: what starting and ending the program costs; writes the
// record afresh and runs the packaged applier with /Silent. Prints
// "key=value" lines, the medians in milliseconds: run_ms, copy_ms,
// process_start_ms; and exit_code and bare_exit_code, the last exit codes.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "actions/stages.h"
#include "bench/win_bench_support.h"
#include "settings/fixed_texts.h"
#include "settings/value_codec.h"

namespace {

constexpr int VALUE_SIZE = 1024;

struct Layout {
    std::string work;
    std::string package;
    std::string set;  // package\SET\x86
    std::string install;
    std::string scratch;
    std::string applier;      // the copy in the package
    std::string bareApplier;  // a copy beside no patch description
    std::string record;
    int count = 0;
};

Layout layoutOf(const std::string& work, int count) {
    Layout layout;
    layout.work = work;
    layout.package = work + "\\package";
    layout.set = layout.package + "\\SET\\x86";
    layout.install = work + "\\install";
    layout.scratch = work + "\\scratch";
    layout.applier = layout.package + "\\tlvpatch.exe";
    layout.bareApplier = work + "\\bare\\tlvpatch.exe";
    char windowsDir[MAX_PATH] = {};
    GetWindowsDirectoryA(windowsDir, MAX_PATH);
    layout.record = std::string(windowsDir) + "\\Tolva.ini";
    layout.count = count;
    return layout;
}

bool shifted(int index) { return index % 2 == 0; }
std::string fileName(int index) { return "file" + std::to_string(index + 1) + ".bin"; }

// Every value of both INI files is stored encoded.
void writeValue(const std::string& file, const char* section, const std::string& key, const std::string& plain) {
    char encoded[VALUE_SIZE] = {};
    if (codeValue('+', plain.c_str(), encoded, VALUE_SIZE) != 0 ||
        !WritePrivateProfileStringA(section, key.c_str(), encoded, file.c_str())) {
        throw std::runtime_error("cannot write " + key + " to " + file);
    }
}

void writeRecord(const Layout& layout) {
    DeleteFileA(layout.record.c_str());
    const char* const record[][2] = {
        {"VERSION", "65"}, {"PLATFORM", "x86"}, {"SPNO651", "1"}, {"PTNO", "2"},
        {"VORN_INST", ENHANCED_NOT_INSTALLED_MARKER},
    };
    for (const auto& value : record) writeValue(layout.record, "LICENSE", value[0], value[1]);
    writeValue(layout.record, "LICENSE", "DIR", layout.install);
}

void layOut(const Layout& layout, const std::string& applier, std::uint64_t fileSize) {
    bench::createFolders(layout.set);
    bench::createFolders(layout.install);
    bench::createFolders(layout.scratch);
    bench::createFolders(layout.work + "\\bare");
    if (!CopyFileA(applier.c_str(), layout.applier.c_str(), FALSE) ||
        !CopyFileA(applier.c_str(), layout.bareApplier.c_str(), FALSE)) {
        throw std::runtime_error("cannot copy " + applier);
    }

    const std::string description = layout.package + "\\tlvIni.ini";
    DeleteFileA(description.c_str());
    const char* const patch[][2] = {
        {"TARGET", "0"},          {"MODULE_TYPE", "0"},       {"MODULE_NM", "Bench Patch"},
        {"TITLE_NM", "Bench"},    {"MODULE_NM_E", "Bench Patch"}, {"TITLE_NM_E", "Bench"},
        {"VERSION", "65"},        {"VERSION_DISP", "V6.5"},   {"SPNO651", "1"},
        {"PTNO", "3"},            {"REGISTRIES", "0"},
    };
    for (const auto& value : patch) writeValue(description, "INSTALL", value[0], value[1]);
    writeValue(description, "INSTALL", "FILES", std::to_string(layout.count));
    for (int i = 0; i < layout.count; ++i) {
        const std::string name = fileName(i);
        writeValue(description, "INSTALL", "FILE" + std::to_string(i + 1),
                   std::string(shifted(i) ? "1," : "0,") + name + "," + name);
        bench::writePseudoRandomFile(layout.set + "\\" + name, fileSize, static_cast<std::uint32_t>(i + 1), shifted(i));
        bench::writePseudoRandomFile(layout.install + "\\" + name, 1024, 0, false);
    }
    writeRecord(layout);
}

// Milliseconds from the start of the program to its end; its exit code in `exitCode`.
double timeProgram(const std::string& program, const std::string& arguments, DWORD& exitCode) {
    std::string commandLine = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const double start = bench::now();
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        throw std::runtime_error("cannot start " + program);
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    const double elapsed = (bench::now() - start) * 1000;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return elapsed;
}

// The applier's copying alone: the same files, the same calls.
double timeCopying(const Layout& layout) {
    const double start = bench::now();
    for (int i = 0; i < layout.count; ++i) {
        const std::string source = layout.set + "\\" + fileName(i);
        const std::string destination = layout.scratch + "\\" + fileName(i);
        const int result = shifted(i) ? shiftCopyFile('-', source.c_str(), destination.c_str())
                                      : plainCopyFile(source.c_str(), destination.c_str());
        if (result != 0) throw std::runtime_error("cannot copy " + source);
    }
    return (bench::now() - start) * 1000;
}

int usage() {
    std::fprintf(stderr,
                 "usage: apply_bench lay-out WORK APPLIER COUNT SIZE_KIB\n"
                 "       apply_bench record WORK\n"
                 "       apply_bench time-runs WORK APPLIER COUNT SIZE_KIB [ROUNDS]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "record" && argc == 3) {
        try {
            writeRecord(layoutOf(argv[2], 0));
            return 0;
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s\n", error.what());
            return 3;
        }
    }
    if ((command != "lay-out" || argc != 6) && (command != "time-runs" || argc < 6 || argc > 7)) return usage();
    const Layout layout = layoutOf(argv[2], std::atoi(argv[4]));
    const std::uint64_t fileSize = std::strtoull(argv[5], nullptr, 10) * 1024;
    try {
        layOut(layout, argv[3], fileSize);
        if (command == "lay-out") return 0;

        const int rounds = argc == 7 ? std::atoi(argv[6]) : 5;
        std::vector<double> copyMs, startMs, runMs;
        DWORD exitCode = 0;
        DWORD bareExitCode = 0;
        for (int round = 0; round < rounds; ++round) {
            copyMs.push_back(timeCopying(layout));
            startMs.push_back(timeProgram(layout.bareApplier, "/Silent", bareExitCode));
            writeRecord(layout);
            runMs.push_back(timeProgram(layout.applier, "/Silent", exitCode));
        }
        bench::report("run_ms", bench::median(runMs));
        bench::report("copy_ms", bench::median(copyMs));
        bench::report("process_start_ms", bench::median(startMs));
        bench::report("exit_code", exitCode);
        bench::report("bare_exit_code", bareExitCode);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 3;
    }
    return 0;
}
