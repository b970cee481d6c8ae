#include "tests/e2e/harness/sample_patch.h"

#include <cstring>

#include "settings/fixed_texts.h"
#include "tests/e2e/harness/expected_messages.h"

namespace e2e {

namespace {

// The caption's "表" ends in the byte 0x5C, a backslash in ASCII, so that a
// caption passed on byte by byte is told from one cut at that byte.
const std::string JAPANESE_MODULE_NAME_UTF8 = "テスト修正パッチ";
const std::string JAPANESE_TITLE_UTF8 = "テスト表示タイトル";
const std::string ENGLISH_MODULE_NAME = "Test Patch 7";
const std::string ENGLISH_TITLE = "Test Patch Title";

}  // namespace

IniValues samplePatch() {
    return {
        {"TARGET", "0"},
        {"MODULE_TYPE", "0"},
        {"MODULE_NM", cp932(JAPANESE_MODULE_NAME_UTF8)},
        {"TITLE_NM", cp932(JAPANESE_TITLE_UTF8)},
        {"MODULE_NM_E", ENGLISH_MODULE_NAME},
        {"TITLE_NM_E", ENGLISH_TITLE},
        {"VERSION", "65"},
        {"VERSION_DISP", SAMPLE_VERSION_DISP},
        {"SPNO651", "1"},
        {"PTNO", "3"},
        {"FILES", "0"},
        {"REGISTRIES", "0"},
    };
}

IniValues sampleRecord() {
    return {
        {"VERSION", "65"},
        {"PLATFORM", "x86"},
        {"SPNO651", "1"},
        {"PTNO", "2"},
        {"VORN_INST", ENHANCED_NOT_INSTALLED_MARKER},
        {"DIR", SAMPLE_INSTALL_DIR},
    };
}

std::string sampleModuleName(const UiLanguage& language) {
    if (std::strcmp(language.locale, JAPANESE.locale) == 0) return cp932(JAPANESE_MODULE_NAME_UTF8);
    if (std::strcmp(language.locale, ENGLISH_US.locale) == 0) return ENGLISH_MODULE_NAME;
    return "";
}

std::string sampleTitle(const UiLanguage& language) {
    if (std::strcmp(language.locale, JAPANESE.locale) == 0) return cp932(JAPANESE_TITLE_UTF8);
    if (std::strcmp(language.locale, ENGLISH_US.locale) == 0) return ENGLISH_TITLE;
    return "";
}

}  // namespace e2e
