#include <windows.h>

#include "platform/platform.h"

namespace platform {

WindowRef findWindowByClass(const char* className) {
    return reinterpret_cast<WindowRef>(FindWindowA(className, nullptr));
}

WindowRef findWindowByTitle(const char* title) {
    return reinterpret_cast<WindowRef>(FindWindowA(nullptr, title));
}

void postQuitMessage(WindowRef window) {
    PostMessageA(reinterpret_cast<HWND>(window), WM_QUIT, 0, 0);
}

}  // namespace platform
