// Whether a patch fits the installation: version, edition, level, in that
// order, before anything on the machine is touched.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "actions/stages.h"
#include "settings/bounded_text.h"
#include "tests/support/cp932.h"
#include "tests/support/fake_platform.h"

namespace {

constexpr std::int32_t INT_MIN_32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t INT_MAX_32 = std::numeric_limits<std::int32_t>::max();

// The marker as the installer writes it, built independently of the code's constant.
std::string notInstalledMarker() { return toCp932("VORN未インストール"); }

// A patch (level 3) for the standard edition of version 65, installed at patch
// level 2. The service-pack numbers are equal, so a patch that looked at them
// would be refused.
PatchContext fittingPatch() {
    PatchContext context{};
    copyText(context.installedVersion, "65");
    copyText(context.version, "65");
    copyText(context.target, "0");
    copyText(context.editionMarker, notInstalledMarker().c_str());
    context.moduleType = 0;
    context.installedPtNo = 2;
    context.ptNo = 3;
    context.installedSpNo = 1;
    context.spNo = 1;
    return context;
}

struct Case {
    const char* name;
    void (*change)(PatchContext&);
    ResultCode expected;
};

void expectCases(const Case* first, const Case* last) {
    for (const Case* c = first; c != last; ++c) {
        SCOPED_TRACE(c->name);
        fake::reset();
        PatchContext context = fittingPatch();
        c->change(context);
        EXPECT_EQ(checkPreconditions(context), c->expected);
        // A refused patch has asked nothing of the system: no box, no window, no registry.
        EXPECT_TRUE(fake::calls().empty());
        EXPECT_EQ(fake::openFileCount(), 0);
    }
}

template <std::size_t N>
void expectCases(const Case (&cases)[N]) {
    expectCases(cases, cases + N);
}

TEST(PreconditionsTest, VersionIsComparedByteForByte) {
    const Case cases[] = {
        {"same version", [](PatchContext&) {}, 0},
        {"patch version with a trailing blank",
         [](PatchContext& c) { copyText(c.version, "65 "); }, 5},
        {"installed version with a leading blank",
         [](PatchContext& c) { copyText(c.installedVersion, " 65"); }, 5},
        {"2.0 against 2.0 and a blank",
         [](PatchContext& c) {
             copyText(c.installedVersion, "2.0");
             copyText(c.version, "2.0 ");
         },
         5},
        {"only the case of a letter differs",
         [](PatchContext& c) {
             copyText(c.installedVersion, "6.5a");
             copyText(c.version, "6.5A");
         },
         5},
        {"numerically equal, textually not",
         [](PatchContext& c) { copyText(c.installedVersion, "065"); }, 5},
        {"installed version a prefix of the patch's",
         [](PatchContext& c) { copyText(c.installedVersion, "6"); }, 5},
        {"patch version a prefix of the installed one",
         [](PatchContext& c) { copyText(c.version, "6"); }, 5},
        {"equal double-byte versions",
         [](PatchContext& c) {
             copyText(c.installedVersion, toCp932("第6版").c_str());
             copyText(c.version, toCp932("第6版").c_str());
         },
         0},
        {"longest installed version, equal",
         [](PatchContext& c) {
             const std::string longest(254, '9');
             copyText(c.installedVersion, longest.c_str());
             copyText(c.version, longest.c_str());
         },
         0},
        {"version fails before the edition",
         [](PatchContext& c) {
             copyText(c.version, "66");
             copyText(c.editionMarker, "");
         },
         5},
        {"version fails before the level",
         [](PatchContext& c) {
             copyText(c.version, "66");
             c.moduleType = 7;
         },
         5},
    };
    expectCases(cases);
}

TEST(PreconditionsTest, EditionIsJudgedByTheMarkerBytesForTheMainProductOnly) {
    const Case cases[] = {
        {"standard patch, marker present", [](PatchContext&) {}, 0},
        {"standard patch, marker missing from the record",
         [](PatchContext& c) { copyText(c.editionMarker, ""); }, 10},
        {"standard patch, marker in UTF-8 instead of code page 932",
         [](PatchContext& c) { copyText(c.editionMarker, "VORN\xE6\x9C\xAA\xE3\x82\xA4\xE3\x83\xB3\xE3\x82\xB9\xE3\x83\x88\xE3\x83\xBC\xE3\x83\xAB"); },
         10},
        {"standard patch, marker with a trailing blank",
         [](PatchContext& c) { copyText(c.editionMarker, (notInstalledMarker() + " ").c_str()); }, 10},
        {"standard patch, marker without its last byte",
         [](PatchContext& c) {
             const std::string marker = notInstalledMarker();
             copyText(c.editionMarker, marker.substr(0, marker.size() - 1).c_str());
         },
         10},
        {"standard patch, marker in lower case",
         [](PatchContext& c) { copyText(c.editionMarker, ("vorn" + notInstalledMarker().substr(4)).c_str()); },
         10},
        {"standard patch, the ASCII letters alone",
         [](PatchContext& c) { copyText(c.editionMarker, "VORN"); }, 10},
        {"enhanced patch, marker present",
         [](PatchContext& c) { copyText(c.target, "1"); }, 11},
        {"enhanced patch, marker missing from the record",
         [](PatchContext& c) {
             copyText(c.target, "1");
             copyText(c.editionMarker, "");
         },
         0},
        {"enhanced patch, another value",
         [](PatchContext& c) {
             copyText(c.target, "1");
             copyText(c.editionMarker, "VORN");
         },
         0},
        {"enhanced patch, marker in UTF-8 is not the marker",
         [](PatchContext& c) {
             copyText(c.target, "1");
             copyText(c.editionMarker, "VORN\xE6\x9C\xAA\xE3\x82\xA4\xE3\x83\xB3\xE3\x82\xB9\xE3\x83\x88\xE3\x83\xBC\xE3\x83\xAB");
         },
         0},
        {"only the first character of the target counts",
         [](PatchContext& c) { copyText(c.target, "1x"); }, 11},
        {"installer-creator tool, marker present",
         [](PatchContext& c) { copyText(c.target, "2"); }, 0},
        {"installer-creator tool, marker absent",
         [](PatchContext& c) {
             copyText(c.target, "2");
             copyText(c.editionMarker, "");
         },
         0},
        {"log-management tool, marker present",
         [](PatchContext& c) { copyText(c.target, "3"); }, 0},
        {"log-management tool, other value",
         [](PatchContext& c) {
             copyText(c.target, "3");
             copyText(c.editionMarker, "anything");
         },
         0},
        {"unknown target: no edition test",
         [](PatchContext& c) {
             copyText(c.target, "9");
             copyText(c.editionMarker, "");
         },
         0},
        {"standard edition fails before the level",
         [](PatchContext& c) {
             copyText(c.editionMarker, "");
             c.installedPtNo = 3;
         },
         10},
        {"enhanced edition fails before the level",
         [](PatchContext& c) {
             copyText(c.target, "1");
             c.installedPtNo = 3;
         },
         11},
    };
    expectCases(cases);
}

TEST(PreconditionsTest, LevelComparesTheNumbersOfTheKindOfPackageSigned) {
    const struct {
        const char* name;
        std::int32_t moduleType;
        std::int32_t installedSpNo, spNo;
        std::int32_t installedPtNo, ptNo;
        ResultCode expected;
    } cases[] = {
        {"service pack above", 1, 2, 3, 0, 0, 0},
        {"service pack equal", 1, 3, 3, 0, 9, 12},
        {"service pack below", 1, 4, 3, 0, 9, 12},
        {"service pack ignores patch numbers", 1, 2, 3, 9, 1, 0},
        {"service pack from -1 to 0", 1, -1, 0, 0, 0, 0},
        {"service pack 0 against -1", 1, 0, -1, 0, 9, 12},
        {"service pack at the limits", 1, INT_MIN_32, INT_MAX_32, 0, 0, 0},
        {"service pack at the limits, reversed", 1, INT_MAX_32, INT_MIN_32, 0, 9, 12},
        {"patch from a missing level", 0, 0, 0, 0, 1, 0},
        {"patch equal", 0, 0, 9, 3, 3, 12},
        {"patch below", 0, 0, 9, 4, 3, 12},
        {"patch ignores service-pack numbers", 0, 9, 1, 2, 3, 0},
        {"patch 0 against -1", 0, 0, 9, 0, -1, 12},
        {"patch -5 to -4", 0, 0, 0, -5, -4, 0},
        {"module type 2, both levels would pass", 2, 0, 5, 0, 5, 12},
        {"module type -1, both levels would pass", -1, 0, 5, 0, 5, 12},
        {"module type at the 32-bit limit", INT_MAX_32, 0, 5, 0, 5, 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fake::reset();
        PatchContext context = fittingPatch();
        context.moduleType = c.moduleType;
        context.installedSpNo = c.installedSpNo;
        context.spNo = c.spNo;
        context.installedPtNo = c.installedPtNo;
        context.ptNo = c.ptNo;
        EXPECT_EQ(checkPreconditions(context), c.expected);
        EXPECT_TRUE(fake::calls().empty());
    }
}

}  // namespace
