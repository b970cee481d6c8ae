#include "actions/stages.h"

#include <cstdint>
#include <cstring>

#include "platform/platform.h"
#include "settings/fixed_texts.h"

namespace {

// The main product is found by its window class, whatever its title shows.
constexpr char MAIN_PRODUCT_CLASS[] = "TOLVA";

constexpr int MAX_POLLS = 10;
constexpr std::uint32_t POLL_INTERVAL_MS = 1000;
// A window that is gone may belong to a process still shutting down and
// holding its files: give it time before they are replaced.
constexpr std::uint32_t SETTLE_MS = 3000;

platform::WindowRef findProductWindow(const char* windowName) {
    if (std::strcmp(windowName, MAIN_PRODUCT_CLASS) == 0) return platform::findWindowByClass(windowName);
    return platform::findWindowByTitle(windowName);
}

ResultCode closeBoth(const char* firstName, const char* secondName) {
    // The second is handled even when the first stays, so that as much as
    // possible of the tool is closed before the user is told.
    const ResultCode first = closeProductWindow(firstName);
    const ResultCode second = closeProductWindow(secondName);
    return (first != RESULT_OK || second != RESULT_OK) ? RESULT_PRODUCT_RUNNING : RESULT_OK;
}

}  // namespace

ResultCode closeProductWindow(const char* windowName) {
    try {
        const platform::WindowRef window = findProductWindow(windowName);
        if (window != 0) {
            platform::postQuitMessage(window);
            for (int poll = 0; poll < MAX_POLLS; ++poll) {
                platform::sleepMilliseconds(POLL_INTERVAL_MS);
                if (findProductWindow(windowName) == 0) break;
            }
        }
        if (findProductWindow(windowName) != 0) throw ResultCode{RESULT_PRODUCT_RUNNING};
        platform::sleepMilliseconds(SETTLE_MS);
        return RESULT_OK;
    } catch (ResultCode code) {
        return code;
    } catch (...) {
        return RESULT_UNEXPECTED;
    }
}

ResultCode closeProduct(const PatchContext& context) {
    try {
        switch (context.target[0]) {
            case '0':
            case '1':
                return closeProductWindow(MAIN_PRODUCT_CLASS);
            case '2':
                return closeBoth(INSTALLER_CREATOR_NAME, INSTALLER_CREATOR_ENHANCED_TITLE);
            case '3':
                return closeBoth(LOG_MANAGER_TITLE, LOG_MANAGER_LOGIN_TITLE);
            default:
                return RESULT_OK;
        }
    } catch (ResultCode code) {
        return code;
    } catch (...) {
        return RESULT_UNEXPECTED;
    }
}
