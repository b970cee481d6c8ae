#include "tests/support/package_fixture.h"

#include <vector>

#include "settings/fixed_texts.h"
#include "settings/read_setting.h"
#include "tests/support/cp932.h"
#include "tests/support/fake_platform.h"
#include "tests/support/ini_builder.h"

std::string encodedIni(const std::string& section, const IniEntries& entries) {
    std::vector<IniLine> lines;
    for (const auto& [key, value] : entries) lines.push_back({section, key, value});
    return buildIni(lines);
}

void writePatchDescription(const IniEntries& entries) {
    fake::writeFile("C:\\package\\tlvIni.ini", encodedIni("INSTALL", entries));
}

void writeInstallationRecord(const std::string& fileName, const IniEntries& entries) {
    fake::writeFile("C:\\Windows\\" + fileName, encodedIni("LICENSE", entries));
}

IniEntries standardPatch() {
    return {
        {"TARGET", "0"},
        {"MODULE_TYPE", "0"},
        {"MODULE_NM", toCp932("修正パッチ7")},
        {"TITLE_NM", toCp932("キャプション")},
        {"MODULE_NM_E", "Patch 7"},
        {"TITLE_NM_E", "Caption"},
        {"VERSION", "65"},
        {"VERSION_DISP", "V6.5"},
        {"SPNO651", "1"},
        {"PTNO", "3"},
        {"FILES", "0"},
        {"REGISTRIES", "0"},
    };
}

IniEntries standardRecord() {
    fake::makeDirectory("C:\\Tolva");
    return {
        {"VERSION", "65"},
        {"PLATFORM", "x86"},
        {"SPNO651", "1"},
        {"PTNO", "2"},
        {"VORN_INST", ENHANCED_NOT_INSTALLED_MARKER},
        {"DIR", "C:\\Tolva"},
    };
}

IniEntries with(IniEntries entries, const std::string& key, const std::string& value) {
    for (auto& entry : entries) {
        if (entry.first == key) {
            entry.second = value;
            return entries;
        }
    }
    entries.emplace_back(key, value);
    return entries;
}

std::string readDecoded(const std::string& windowsPath, const std::string& section, const std::string& key) {
    char value[1024] = {};
    readSetting(section.c_str(), key.c_str(), "", value, sizeof value, windowsPath.c_str());
    return value;
}
