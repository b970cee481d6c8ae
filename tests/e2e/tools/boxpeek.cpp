// boxpeek: waits for a message box of any process on this desktop, reports
// what it shows and, if asked, presses one of its buttons.
//
//   boxpeek.exe [--timeout MS] [--press ok|cancel|none] [--ignore HWND]... [--hwnd HWND]
//
// A message box is a top-level window of class "#32770" that is visible and
// holds the text item 0xFFFF. Texts are printed as hex bytes in this
// process's ANSI code page, so code page 932 bytes reach the caller intact
// whatever its terminal does with them. Output, one "key=value" per line:
//
//   found=1  hwnd=0x...  pid=N  caption=HEX  text=HEX  style=0x...  exstyle=0x...
//   topmost=0|1  icon=0|1  buttons=ok,cancel,...  pressed=ok|cancel|none  closed=0|1
//
// or "found=0" when no box appeared within the timeout.
// Exit code: 0 a box was found (and, if asked, closed), 1 no box, 2 bad
// command line, 3 the box did not close after the press.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int MESSAGE_TEXT_ITEM = 0xFFFF;

enum class Press { None, Ok, Cancel };

struct Options {
    DWORD timeoutMs = 10000;
    Press press = Press::None;
    std::vector<HWND> ignored;
    HWND only = nullptr;
};

HWND parseHandle(const char* text) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(text, nullptr, 0)));
}

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (name == "--timeout") {
            options.timeoutMs = static_cast<DWORD>(std::strtoul(value, nullptr, 10));
        } else if (name == "--press") {
            const std::string press = value;
            if (press == "ok") options.press = Press::Ok;
            else if (press == "cancel") options.press = Press::Cancel;
            else if (press == "none") options.press = Press::None;
            else return false;
        } else if (name == "--ignore") {
            options.ignored.push_back(parseHandle(value));
        } else if (name == "--hwnd") {
            options.only = parseHandle(value);
        } else {
            return false;
        }
    }
    return true;
}

bool isMessageBox(HWND window) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    return std::strcmp(className, "#32770") == 0 && IsWindowVisible(window) &&
           GetDlgItem(window, MESSAGE_TEXT_ITEM) != nullptr;
}

struct Search {
    const Options* options;
    HWND found;
};

BOOL CALLBACK considerWindow(HWND window, LPARAM parameter) {
    Search& search = *reinterpret_cast<Search*>(parameter);
    if (search.options->only != nullptr && window != search.options->only) return TRUE;
    for (HWND ignored : search.options->ignored) {
        if (window == ignored) return TRUE;
    }
    if (!isMessageBox(window)) return TRUE;
    search.found = window;
    return FALSE;
}

HWND waitForBox(const Options& options) {
    const DWORD start = GetTickCount();
    for (;;) {
        Search search{&options, nullptr};
        EnumWindows(considerWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) return search.found;
        if (GetTickCount() - start >= options.timeoutMs) return nullptr;
        Sleep(50);
    }
}

std::string hexBytes(const char* text) {
    std::string hex;
    char pair[3];
    for (const unsigned char* byte = reinterpret_cast<const unsigned char*>(text); *byte != 0; ++byte) {
        std::snprintf(pair, sizeof pair, "%02x", *byte);
        hex += pair;
    }
    return hex;
}

bool hasIcon(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[16] = {};
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") != 0) continue;
        if (SendMessageA(child, STM_GETICON, 0, 0) != 0 && IsWindowVisible(child)) return true;
    }
    return false;
}

std::string buttonList(HWND box) {
    static const struct {
        int id;
        const char* name;
    } buttons[] = {{IDOK, "ok"}, {IDCANCEL, "cancel"}, {IDABORT, "abort"}, {IDRETRY, "retry"},
                   {IDIGNORE, "ignore"}, {IDYES, "yes"}, {IDNO, "no"}};
    std::string list;
    for (const auto& button : buttons) {
        HWND item = GetDlgItem(box, button.id);
        if (item == nullptr || !IsWindowVisible(item)) continue;
        if (!list.empty()) list += ",";
        list += button.name;
    }
    return list;
}

bool pressAndWait(HWND box, Press press, DWORD timeoutMs) {
    const int id = press == Press::Ok ? IDOK : IDCANCEL;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
    const DWORD start = GetTickCount();
    while (IsWindow(box)) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

void report(HWND box) {
    std::vector<char> caption(GetWindowTextLengthA(box) + 2, 0);
    GetWindowTextA(box, caption.data(), static_cast<int>(caption.size()));
    HWND textItem = GetDlgItem(box, MESSAGE_TEXT_ITEM);
    std::vector<char> text(GetWindowTextLengthA(textItem) + 2, 0);
    GetDlgItemTextA(box, MESSAGE_TEXT_ITEM, text.data(), static_cast<int>(text.size()));
    DWORD processId = 0;
    GetWindowThreadProcessId(box, &processId);
    const LONG style = GetWindowLongA(box, GWL_STYLE);
    const LONG exStyle = GetWindowLongA(box, GWL_EXSTYLE);

    std::printf("found=1\n");
    std::printf("hwnd=0x%llx\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(box)));
    std::printf("pid=%lu\n", static_cast<unsigned long>(processId));
    std::printf("caption=%s\n", hexBytes(caption.data()).c_str());
    std::printf("text=%s\n", hexBytes(text.data()).c_str());
    std::printf("style=0x%08lx\n", static_cast<unsigned long>(style));
    std::printf("exstyle=0x%08lx\n", static_cast<unsigned long>(exStyle));
    std::printf("topmost=%d\n", (exStyle & WS_EX_TOPMOST) != 0 ? 1 : 0);
    std::printf("icon=%d\n", hasIcon(box) ? 1 : 0);
    std::printf("buttons=%s\n", buttonList(box).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: boxpeek [--timeout MS] [--press ok|cancel|none] [--ignore HWND]... [--hwnd HWND]\n");
        return 2;
    }
    HWND box = waitForBox(options);
    if (box == nullptr) {
        std::printf("found=0\n");
        std::fflush(stdout);
        return 1;
    }
    report(box);
    int exitCode = 0;
    if (options.press == Press::None) {
        std::printf("pressed=none\n");
    } else {
        const bool closed = pressAndWait(box, options.press, 5000);
        std::printf("pressed=%s\n", options.press == Press::Ok ? "ok" : "cancel");
        std::printf("closed=%d\n", closed ? 1 : 0);
        if (!closed) exitCode = 3;
    }
    std::fflush(stdout);
    return exitCode;
}
