// fake_product: stands in for a running product of the line. It opens one
// top-level window of the given class and title and reacts to a posted
// WM_QUIT as told, so that tests can see the applier close it or give up.
//
//   fake_product.exe [--class NAME] [--title TEXT | --title-hex HEX]
//                    [--on-quit exit|ignore|exit-after:MS] [--ready-file PATH]
//                    [--quit-log PATH] [--lifetime MS]
//
// --on-quit exit          ends at the first WM_QUIT (default)
// --on-quit ignore        keeps its window whatever it receives
// --on-quit exit-after:MS keeps its window MS milliseconds after WM_QUIT, then ends
// --ready-file            written once the window exists
// --quit-log              gets one line "quit" per WM_QUIT received
// --lifetime              ends by itself after MS milliseconds (default 120000), so
//                         that no test leaves it behind
// Exit code: 0 after WM_QUIT, 1 when its lifetime ran out, 2 bad command line,
// 3 the window could not be created.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr UINT_PTR LIFETIME_TIMER = 1;

enum class OnQuit { Exit, Ignore, ExitAfterDelay };

struct Options {
    std::string className = "TolvaE2EFakeProduct";
    std::string title;
    OnQuit onQuit = OnQuit::Exit;
    DWORD exitDelayMs = 0;
    std::string readyFile;
    std::string quitLog;
    UINT lifetimeMs = 120000;
};

bool fromHex(const std::string& hex, std::string& bytes) {
    if (hex.size() % 2 != 0) return false;
    bytes.clear();
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        char* end = nullptr;
        const std::string pair = hex.substr(i, 2);
        const long value = std::strtol(pair.c_str(), &end, 16);
        if (*end != 0) return false;
        bytes += static_cast<char>(value);
    }
    return true;
}

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc) return false;
        const std::string value = argv[++i];
        if (name == "--class") {
            options.className = value;
        } else if (name == "--title") {
            options.title = value;
        } else if (name == "--title-hex") {
            if (!fromHex(value, options.title)) return false;
        } else if (name == "--on-quit") {
            if (value == "exit") {
                options.onQuit = OnQuit::Exit;
            } else if (value == "ignore") {
                options.onQuit = OnQuit::Ignore;
            } else if (value.rfind("exit-after:", 0) == 0) {
                options.onQuit = OnQuit::ExitAfterDelay;
                options.exitDelayMs = static_cast<DWORD>(std::strtoul(value.c_str() + 11, nullptr, 10));
            } else {
                return false;
            }
        } else if (name == "--ready-file") {
            options.readyFile = value;
        } else if (name == "--quit-log") {
            options.quitLog = value;
        } else if (name == "--lifetime") {
            options.lifetimeMs = static_cast<UINT>(std::strtoul(value.c_str(), nullptr, 10));
        } else {
            return false;
        }
    }
    return true;
}

void appendLine(const std::string& path, const char* line) {
    if (path.empty()) return;
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
    WriteFile(file, "\n", 1, &written, nullptr);
    CloseHandle(file);
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Closing is the applier's job through WM_QUIT; a stray WM_CLOSE must not
    // end the window, or a test could pass for the wrong reason.
    if (message == WM_CLOSE) return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) return 2;

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = options.className.c_str();
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    if (RegisterClassA(&windowClass) == 0) return 3;
    HWND window = CreateWindowExA(0, options.className.c_str(), options.title.c_str(), WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 320, 200, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    if (window == nullptr) return 3;
    // Left hidden: the applier finds hidden top-level windows all the same, and
    // Wine without a window manager spends two seconds unmapping a shown one,
    // which would blur the timing of the applier's polls.
    SetTimer(window, LIFETIME_TIMER, options.lifetimeMs, nullptr);
    appendLine(options.readyFile, "ready");

    MSG message;
    for (;;) {
        const BOOL result = GetMessageA(&message, nullptr, 0, 0);
        if (result == -1) break;
        if (result == 0) {
            appendLine(options.quitLog, "quit");
            if (options.onQuit == OnQuit::Ignore) continue;
            if (options.onQuit == OnQuit::ExitAfterDelay) Sleep(options.exitDelayMs);
            DestroyWindow(window);
            return 0;
        }
        if (message.message == WM_TIMER && message.wParam == LIFETIME_TIMER) break;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DestroyWindow(window);
    return 1;
}
