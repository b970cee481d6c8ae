#include "tests/e2e/harness/box_peek.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <stdexcept>

#include "tests/e2e/harness/e2e_setup.h"
#include "tests/e2e/harness/wine_prefix.h"

namespace e2e {

namespace {

// Time for boxpeek itself to start under Wine and to see the pressed box go.
constexpr int BOXPEEK_OVERHEAD_MS = 30000;

std::string fromHex(const std::string& hex) {
    if (hex.size() % 2 != 0) throw std::runtime_error("odd hex text from boxpeek: " + hex);
    std::string bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    return bytes;
}

std::map<std::string, std::string> keyValues(const std::string& output) {
    std::map<std::string, std::string> values;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos) values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return values;
}

std::string handleText(std::uint64_t handle) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(handle));
    return text;
}

}  // namespace

std::string hexOf(const std::string& bytes) {
    std::string hex;
    char pair[3];
    for (unsigned char byte : bytes) {
        std::snprintf(pair, sizeof pair, "%02x", byte);
        hex += pair;
    }
    return hex;
}

BoxReport peekBox(const BoxPeek& request) {
    std::vector<std::string> args{"--timeout", std::to_string(request.timeoutMs), "--press",
                                  request.press == BoxButton::Ok       ? "ok"
                                  : request.press == BoxButton::Cancel ? "cancel"
                                                                       : "none"};
    for (std::uint64_t ignored : request.ignored) {
        args.push_back("--ignore");
        args.push_back(handleText(ignored));
    }
    if (request.only != 0) {
        args.push_back("--hwnd");
        args.push_back(handleText(request.only));
    }
    ChildProcess boxpeek = WinePrefix::shared().start(std::string(TOOLS_FOLDER) + "\\" + BOXPEEK_PROGRAM, args,
                                                      request.language, {}, true);
    const std::optional<int> exitCode = boxpeek.waitForExit(request.timeoutMs + BOXPEEK_OVERHEAD_MS);
    if (!exitCode) throw std::runtime_error("boxpeek did not end");
    if (*exitCode != 0 && *exitCode != 1 && *exitCode != 3) {
        throw std::runtime_error("boxpeek failed with " + std::to_string(*exitCode) + ": " + boxpeek.output());
    }

    auto values = keyValues(boxpeek.output());
    BoxReport box;
    box.rawOutput = boxpeek.output();
    box.found = values["found"] == "1";
    if (!box.found) return box;
    box.hwnd = std::strtoull(values["hwnd"].c_str(), nullptr, 0);
    box.caption = fromHex(values["caption"]);
    box.text = fromHex(values["text"]);
    box.style = static_cast<std::uint32_t>(std::strtoul(values["style"].c_str(), nullptr, 0));
    box.exStyle = static_cast<std::uint32_t>(std::strtoul(values["exstyle"].c_str(), nullptr, 0));
    box.topmost = values["topmost"] == "1";
    box.icon = values["icon"] == "1";
    box.buttons = values["buttons"];
    box.closed = values["closed"] == "1";
    return box;
}

std::string describe(const BoxReport& box) {
    if (!box.found) return "no message box";
    std::ostringstream text;
    text << "message box " << handleText(box.hwnd) << ": caption hex [" << hexOf(box.caption) << "], text hex ["
         << hexOf(box.text) << "], buttons " << box.buttons << ", icon " << box.icon << ", topmost " << box.topmost;
    return text.str();
}

}  // namespace e2e
