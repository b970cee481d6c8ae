// Closing the running product by its windows: which names are searched and
// how, how often, and how long the stage waits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/stages.h"
#include "settings/bounded_text.h"
#include "tests/support/cp932.h"
#include "tests/support/fake_platform.h"

namespace {

const std::string CREATOR = toCp932("インストーラ生成ソフト");
const std::string CREATOR_ENHANCED = toCp932("セキュリティ強化版インストーラ生成ソフト");
const std::string LOG_MANAGER = toCp932("ログ情報管理");
const std::string LOG_MANAGER_LOGIN = toCp932("ログ情報管理 ログイン");

constexpr int IGNORES_QUIT = -1;

fake::FakeWindow productWindow(int closesAfterSleeps = 0) { return {"TOLVA", "Tolva", closesAfterSleeps}; }
fake::FakeWindow titled(const std::string& title, int closesAfterSleeps = 0) {
    return {"ToolFrame", title, closesAfterSleeps};
}

// What one name costs, written as the recorded calls: F a window search, P a
// quit message, S<ms> a sleep.
std::string absent() { return " F F S3000"; }
std::string goneAtPoll(int poll) {
    std::string trace = " F P";
    for (int i = 0; i < poll; ++i) trace += " S1000 F";
    return trace + " F S3000";
}
std::string stays() {
    std::string trace = " F P";
    for (int i = 0; i < 10; ++i) trace += " S1000 F";
    return trace + " F";
}

std::string recordedTrace() {
    std::string trace;
    for (const fake::Call& call : fake::calls()) {
        switch (call.kind) {
            case fake::CallKind::FindWindow: trace += " F"; break;
            case fake::CallKind::PostQuit: trace += " P"; break;
            case fake::CallKind::Sleep: trace += " S" + std::to_string(call.number); break;
            default: trace += " ?"; break;
        }
    }
    return trace;
}

// The names searched, each run of searches for one name counted once.
std::vector<std::string> searchedNames() {
    std::vector<std::string> names;
    for (const fake::Call& call : fake::calls()) {
        if (call.kind != fake::CallKind::FindWindow) continue;
        if (names.empty() || names.back() != call.argument) names.push_back(call.argument);
    }
    return names;
}

ResultCode closeFor(const char* target) {
    PatchContext context{};
    copyText(context.target, target);
    return closeProduct(context);
}

TEST(CloseProductTest, SearchesPostsAndWaitsForEveryTarget) {
    const struct {
        const char* name;
        const char* target;
        std::vector<fake::FakeWindow> windows;
        ResultCode expected;
        std::string trace;
        std::vector<std::string> names;
        int windowsLeft;
    } cases[] = {
        {"main product not running", "0", {}, 0, absent(), {"TOLVA"}, 0},
        {"enhanced main product not running", "1", {}, 0, absent(), {"TOLVA"}, 0},
        {"quits at once: gone at the first poll", "0", {productWindow(0)}, 0, goneAtPoll(1), {"TOLVA"}, 0},
        {"quits between the second and third poll", "1", {productWindow(3)}, 0, goneAtPoll(3), {"TOLVA"}, 0},
        {"gone at the last poll", "0", {productWindow(10)}, 0, goneAtPoll(10), {"TOLVA"}, 0},
        {"gone just after the last poll", "0", {productWindow(11)}, 4, stays(), {"TOLVA"}, 1},
        {"ignores the quit message", "0", {productWindow(IGNORES_QUIT)}, 4, stays(), {"TOLVA"}, 1},
        {"two windows of the class: only the first is told", "0", {productWindow(0), productWindow(0)}, 4,
         stays(), {"TOLVA"}, 1},
        {"a window titled TOLVA is not the product", "0", {titled("TOLVA")}, 0, absent(), {"TOLVA"}, 1},
        {"installer creator not running", "2", {}, 0, absent() + absent(), {CREATOR, CREATOR_ENHANCED}, 0},
        {"log manager not running", "3", {}, 0, absent() + absent(), {LOG_MANAGER, LOG_MANAGER_LOGIN}, 0},
        {"installer creator quits at poll 2", "2", {titled(CREATOR, 2)}, 0, goneAtPoll(2) + absent(),
         {CREATOR, CREATOR_ENHANCED}, 0},
        {"enhanced installer creator quits", "2", {titled(CREATOR_ENHANCED, 0)}, 0, absent() + goneAtPoll(1),
         {CREATOR, CREATOR_ENHANCED}, 0},
        {"only the login window: titles match whole", "3", {titled(LOG_MANAGER_LOGIN, 0)}, 0,
         absent() + goneAtPoll(1), {LOG_MANAGER, LOG_MANAGER_LOGIN}, 0},
        {"first stays, second still handled and quits", "2",
         {titled(CREATOR, IGNORES_QUIT), titled(CREATOR_ENHANCED, 0)}, 4, stays() + goneAtPoll(1),
         {CREATOR, CREATOR_ENHANCED}, 1},
        {"first quits, second stays", "3", {titled(LOG_MANAGER, 1), titled(LOG_MANAGER_LOGIN, IGNORES_QUIT)}, 4,
         goneAtPoll(1) + stays(), {LOG_MANAGER, LOG_MANAGER_LOGIN}, 1},
        {"both stay", "2", {titled(CREATOR, IGNORES_QUIT), titled(CREATOR_ENHANCED, IGNORES_QUIT)}, 4,
         stays() + stays(), {CREATOR, CREATOR_ENHANCED}, 2},
        {"a tool window found by class only is not the tool", "2", {{CREATOR, "Other", 0}}, 0,
         absent() + absent(), {CREATOR, CREATOR_ENHANCED}, 1},
        {"unknown target: nothing searched", "4", {productWindow(IGNORES_QUIT)}, 0, "", {}, 1},
        {"empty target: nothing searched", "", {productWindow(IGNORES_QUIT)}, 0, "", {}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fake::reset();
        for (const fake::FakeWindow& window : c.windows) fake::addWindow(window);

        EXPECT_EQ(closeFor(c.target), c.expected);
        EXPECT_EQ(recordedTrace(), c.trace);
        EXPECT_EQ(searchedNames(), c.names);
        EXPECT_EQ(fake::windowCount(), c.windowsLeft);
    }
}

TEST(CloseProductTest, AWindowGoneAtTheThirdPollCostsThreePollsAndTheSettlingWait) {
    fake::reset();
    fake::addWindow(productWindow(3));
    EXPECT_EQ(closeFor("0"), 0);
    EXPECT_EQ(fake::sleeps(), (std::vector<std::uint32_t>{1000, 1000, 1000, 3000}));
    EXPECT_EQ(fake::countCalls(fake::CallKind::FindWindow), 5);
    EXPECT_EQ(fake::countCalls(fake::CallKind::PostQuit), 1);
}

TEST(CloseProductTest, OneNameIsAClassOnlyWhenItIsExactlyTolva) {
    const struct {
        const char* name;
        fake::FakeWindow window;
        ResultCode expected;
    } cases[] = {
        {"TOLVA", {"TOLVA", "", IGNORES_QUIT}, 4},
        {"TOLVA", {"Other", "TOLVA", IGNORES_QUIT}, 0},
        {"Tolva", {"Other", "Tolva", IGNORES_QUIT}, 4},  // any other name is a title
        {"Tolva", {"Tolva", "", IGNORES_QUIT}, 0},
        {"TOLVA ", {"TOLVA", "TOLVA ", IGNORES_QUIT}, 4},
        {"TOLVA ", {"TOLVA ", "", IGNORES_QUIT}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("'") + c.name + "' class '" + c.window.className + "' title '" + c.window.title + "'");
        fake::reset();
        fake::addWindow(c.window);
        EXPECT_EQ(closeProductWindow(c.name), c.expected);
    }
}

}  // namespace
