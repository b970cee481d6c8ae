#include "tests/e2e/harness/wine_registry.h"

#include <sstream>
#include <stdexcept>

#include "tests/e2e/harness/wine_prefix.h"

namespace e2e {

void setRegistryString(const std::string& key, const std::string& valueName, const std::string& data) {
    const auto [exitCode, output] = WinePrefix::shared().runTool(
        {"reg", "add", key, "/v", valueName, "/t", "REG_SZ", "/d", data, "/f", "/reg:32"});
    if (exitCode != 0) throw std::runtime_error("reg add " + key + " failed: " + output);
}

std::optional<std::string> registryString(const std::string& key, const std::string& valueName) {
    const auto [exitCode, output] = WinePrefix::shared().runTool({"reg", "query", key, "/v", valueName, "/reg:32"});
    if (exitCode != 0) return std::nullopt;
    // reg.exe prints "    <name>    REG_SZ    <data>"; the data is the rest of the line.
    std::istringstream lines(output);
    std::string line;
    const std::string marker = "    REG_SZ    ";
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t type = line.find(marker);
        if (type == std::string::npos || line.compare(0, type, "    " + valueName) != 0) continue;
        return line.substr(type + marker.size());
    }
    return std::nullopt;
}

}  // namespace e2e
