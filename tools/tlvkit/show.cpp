// show FILE: a patch description or an installation record, every value
// decoded, each entry that the applier would not read as written marked.
#include <algorithm>
#include <cstdio>
#include <limits>
#include <memory>
#include <string_view>

#include "settings/field_split.h"
#include "settings/number_text.h"
#include "settings/patch_context.h"
#include "tools/tlvkit/command.h"
#include "tools/tlvkit/file_io.h"
#include "tools/tlvkit/ini_listing.h"
#include "tools/tlvkit/json_text.h"
#include "tools/tlvkit/key_rules.h"
#include "tools/tlvkit/stored_text.h"
#include "tools/tlvkit/stored_value.h"
#include "tools/tlvkit/tlvkit.h"

namespace fs = std::filesystem;

namespace tlvkit {

namespace {

constexpr char MARK_UNREADABLE = '!';  // fails: the applier reads the default
constexpr char MARK_NOT_READ = '-';    // the applier never looks at it

struct ShowOptions {
    std::string file;
    bool json = false;
};

struct ShownEntry {
    IniEntry entry;
    char mark = ' ';
    bool decoded = false;
    std::string text;     // decoded bytes
    std::string problem;  // why it is marked
    std::vector<std::string> notes;
};

std::string listNameOf(ValueKind kind) { return kind == ValueKind::FileLine ? "FILES" : "REGISTRIES"; }

std::size_t fieldsNeeded(ValueKind kind) { return kind == ValueKind::FileLine ? 3 : 5; }

// The number a list key carries: FILE12 gives 12.
long long listNumber(const std::string& key, ValueKind kind) {
    const std::string digits = key.substr(kind == ValueKind::FileLine ? 4 : 8);
    // Past any count the applier can read.
    if (digits.size() > 12) return std::numeric_limits<long long>::max();
    return std::stoll(digits);
}

std::string ordinal(std::size_t n) {
    static const char* const NAMES[] = {"first", "second", "third", "fourth", "fifth"};
    return n >= 1 && n <= 5 ? NAMES[n - 1] : std::to_string(n) + "th";
}

// What the description's FILES and REGISTRIES say, as the applier reads them.
std::int32_t listCount(const std::vector<IniEntry>& entries, const char* countKey) {
    for (const IniEntry& entry : entries) {
        if (!entry.read || !sameName(entry.section, DESCRIPTION_SECTION) || !sameName(entry.key, countKey)) continue;
        const DecodedValue decoded = decodeStored(entry.value, PATH_FIELD);
        return decoded.ok ? readNumber(decoded.text.c_str()) : 0;
    }
    return 0;
}

// How the applier splits a FILE or REGISTRY line, and what of it fails or moves.
void judgeListLine(ShownEntry& shown, ValueKind kind) {
    const std::size_t needed = fieldsNeeded(kind);
    std::string_view fields[5];
    const std::size_t found = splitFields(shown.text.c_str(), fields, needed);
    if (found < needed) {
        shown.mark = MARK_UNREADABLE;
        shown.problem = "has " + std::to_string(found) + " field(s) once empty ones are dropped; the applier needs " +
                        std::to_string(needed) + " and refuses the file (code 2)";
        return;
    }
    if (kind == ValueKind::RegistryLine) {
        static const std::size_t WIDTHS[] = {SHORT_FIELD, SHORT_FIELD, LONG_FIELD, SHORT_FIELD, LONG_FIELD};
        for (std::size_t i = 0; i < needed; ++i) {
            if (fields[i].size() >= WIDTHS[i]) {
                shown.mark = MARK_UNREADABLE;
                shown.problem = "its " + ordinal(i + 1) + " field is " + std::to_string(fields[i].size()) +
                                " bytes, more than the " + std::to_string(WIDTHS[i] - 1) +
                                " it may hold; the applier refuses the file (code 2)";
                return;
            }
        }
    }
    if (shown.text.find(",,") != std::string::npos || shown.text.front() == ',') {
        shown.notes.push_back("empty fields are dropped: the fields after them move forward");
    }
    const std::size_t usedEnd = static_cast<std::size_t>(fields[needed - 1].data() - shown.text.c_str()) +
                                fields[needed - 1].size();
    if (shown.text.find_first_not_of(',', usedEnd) != std::string::npos) {
        shown.notes.push_back("what follows the " + ordinal(needed) + " field is ignored");
    }
}

ShownEntry judge(const IniEntry& entry, std::int32_t fileCount, std::int32_t registryCount) {
    ShownEntry shown;
    shown.entry = entry;
    const KeyRule* rule = findKeyRule(entry.section, entry.key);
    const std::size_t capacity = rule != nullptr ? rule->capacity : std::numeric_limits<std::size_t>::max();
    const DecodedValue decoded = decodeStored(entry.value, capacity);
    shown.decoded = decoded.ok;
    shown.text = decoded.text;

    if (!entry.read) {
        shown.mark = MARK_NOT_READ;
        shown.notes.push_back("not read: an earlier entry of this name wins");
    } else if (rule == nullptr) {
        shown.mark = MARK_NOT_READ;
        shown.notes.push_back("not read by the applier");
    } else if (rule->kind == ValueKind::FileLine || rule->kind == ValueKind::RegistryLine) {
        const std::int32_t count = rule->kind == ValueKind::FileLine ? fileCount : registryCount;
        if (listNumber(entry.key, rule->kind) > count) {
            shown.mark = MARK_NOT_READ;
            shown.notes.push_back("not read: " + listNameOf(rule->kind) + " is " + std::to_string(count));
        }
    }
    const bool counts = shown.mark == ' ';
    if (!decoded.ok) {
        if (!counts) {
            shown.notes.push_back("does not decode: " + decoded.reason);
            return shown;
        }
        shown.mark = MARK_UNREADABLE;
        shown.problem = decoded.reason + "; reads as its default \"" + rule->defaultValue + "\"";
        if (rule->required) shown.problem += ", and the applier then refuses the file (code 2)";
        return shown;
    }
    if (!counts) return shown;
    if (rule->kind == ValueKind::Number) {
        const std::string number = std::to_string(readNumber(decoded.text.c_str()));
        if (number != decoded.text) shown.notes.push_back("reads as the number " + number);
    } else if (rule->kind == ValueKind::FileLine || rule->kind == ValueKind::RegistryLine) {
        judgeListLine(shown, rule->kind);
    }
    return shown;
}

std::string fileKind(const std::vector<IniEntry>& entries) {
    bool description = false;
    bool record = false;
    for (const IniEntry& entry : entries) {
        description = description || sameName(entry.section, DESCRIPTION_SECTION);
        record = record || sameName(entry.section, RECORD_SECTION);
    }
    if (description && !record) return "patch description";
    if (record && !description) return "installation record";
    return "INI file";
}

std::string joined(const std::vector<std::string>& notes) {
    std::string text;
    for (const std::string& note : notes) text += (text.empty() ? "" : "; ") + note;
    return text;
}

void printPlain(const Io& io, const std::string& file, const std::string& kind, const std::vector<ShownEntry>& shown) {
    io.out << file << ": " << kind << "\n";
    std::size_t keyWidth = 0;
    for (const ShownEntry& entry : shown) keyWidth = std::max(keyWidth, entry.entry.key.size());
    std::string section;
    bool first = true;
    for (const ShownEntry& entry : shown) {
        if (first || entry.entry.section != section) {
            io.out << "[" << entry.entry.section << "]\n";
            section = entry.entry.section;
            first = false;
        }
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "%c %4d  ", entry.mark, entry.entry.line);
        std::string key = entry.entry.key;
        key.resize(keyWidth, ' ');
        io.out << prefix << key;
        if (entry.mark == MARK_UNREADABLE && !entry.decoded) {
            io.out << " : " << entry.problem;
        } else {
            io.out << " = " << displayText(entry.text);
            if (!entry.problem.empty()) io.out << "  (" << entry.problem << ")";
        }
        if (!entry.notes.empty()) io.out << "  (" << joined(entry.notes) << ")";
        io.out << "\n";
    }
}

// The text as UTF-8 when it converts exactly; otherwise the escaped form and
// the bytes in hexadecimal.
std::string jsonText(const std::string& key, const std::string& bytes) {
    if (const auto utf8 = utf8FromStored(bytes)) return jsonString(key) + ":" + jsonString(*utf8);
    std::string hex;
    for (const char byte : bytes) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned>(static_cast<unsigned char>(byte)));
        hex += digits;
    }
    return jsonString(key) + ":" + jsonString(displayText(bytes)) + "," + jsonString(key + "Hex") + ":" +
           jsonString(hex);
}

void printJson(const Io& io, const std::string& file, const std::string& kind, const std::vector<ShownEntry>& shown) {
    io.out << "{\"file\":" << jsonString(file) << ",\"kind\":" << jsonString(kind) << ",\"entries\":[";
    bool first = true;
    for (const ShownEntry& entry : shown) {
        io.out << (first ? "" : ",") << "\n  {\"line\":" << entry.entry.line
               << ",\"section\":" << jsonString(entry.entry.section) << ",\"key\":" << jsonString(entry.entry.key)
               << ",\"stored\":" << jsonString(entry.entry.value)
               << ",\"read\":" << (entry.mark != MARK_NOT_READ ? "true" : "false")
               << ",\"decoded\":" << (entry.decoded ? "true" : "false");
        if (entry.decoded) io.out << "," << jsonText("value", entry.text);
        io.out << ",\"ok\":" << (entry.mark == MARK_UNREADABLE ? "false" : "true");
        if (!entry.problem.empty()) io.out << ",\"problem\":" << jsonString(entry.problem);
        if (!entry.notes.empty()) io.out << ",\"notes\":" << jsonString(joined(entry.notes));
        io.out << "}";
        first = false;
    }
    io.out << "\n]}\n";
}

int runShow(const ShowOptions& options, const Io& io) {
    fs::path file = pathOf(options.file);
    std::error_code error;
    if (fs::is_directory(file, error)) file /= DESCRIPTION_FILE_NAME;
    const std::optional<std::string> content = readFileBytes(file);
    if (!content) {
        reportError(io, "show", "cannot read " + textOf(file));
        return EXIT_FAILED;
    }
    const std::vector<IniEntry> entries = listIniEntries(*content);
    const std::int32_t fileCount = listCount(entries, "FILES");
    const std::int32_t registryCount = listCount(entries, "REGISTRIES");
    std::vector<ShownEntry> shown;
    bool anyUnreadable = false;
    for (const IniEntry& entry : entries) {
        shown.push_back(judge(entry, fileCount, registryCount));
        anyUnreadable = anyUnreadable || shown.back().mark == MARK_UNREADABLE;
    }
    const std::string kind = fileKind(entries);
    if (options.json) {
        printJson(io, textOf(file), kind, shown);
    } else {
        printPlain(io, textOf(file), kind, shown);
    }
    return anyUnreadable ? EXIT_FAILED : EXIT_OK;
}

}  // namespace

void addShowCommand(CLI::App& app, const Io& io, int& exitCode) {
    auto options = std::make_shared<ShowOptions>();
    CLI::App* command = app.add_subcommand(
        "show", "Print a patch description or an installation record with every value decoded.");
    command->add_option("FILE", options->file, "the INI file, or a package folder (its tlvIni.ini)")->required();
    command->add_flag("--json", options->json, "print JSON for scripts instead of text");
    command->footer(
        "Each line: a mark, the line number, the key and its decoded value. Marks:\n"
        "  !  the applier cannot read the value as written (it fails to decode, does not fit its\n"
        "     field, or a list line lacks fields): it reads the default instead, or refuses the file\n"
        "  -  the applier never reads this entry (unknown key, hidden by an earlier one, past the count)\n"
        "Exit code 1 when any line is marked '!'.");
    command->callback([options, io, &exitCode] { exitCode = runShow(*options, io); });
}

}  // namespace tlvkit
