#include "platform/profile_text.h"

#include <cstddef>
#include <cstring>
#include <vector>

namespace {

struct Line {
    std::size_t begin;
    std::size_t end;   // before the line end (CR LF, LF or none)
    std::size_t next;  // where the following line begins
};

enum class LineKind { Skipped, Section, Entry };

struct ParsedLine {
    LineKind kind = LineKind::Skipped;
    std::string name;   // of the section or the key
    std::string value;  // of an entry, trimmed but still quoted
};

bool isBlank(char character) { return character == ' ' || character == '\t'; }

std::string trimmed(const std::string& text, std::size_t begin, std::size_t end) {
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

char lowerAscii(char character) {
    return character >= 'A' && character <= 'Z' ? static_cast<char>(character - 'A' + 'a') : character;
}

// Names are ASCII in every file we know; bytes above 0x7F compare as they are.
bool sameName(const std::string& name, const char* wanted) {
    const std::size_t length = std::strlen(wanted);
    if (name.size() != length) return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (lowerAscii(name[i]) != lowerAscii(wanted[i])) return false;
    }
    return true;
}

std::vector<Line> splitLines(const std::string& content) {
    std::vector<Line> lines;
    std::size_t begin = 0;
    while (begin < content.size()) {
        const std::size_t newline = content.find('\n', begin);
        const std::size_t next = newline == std::string::npos ? content.size() : newline + 1;
        std::size_t end = newline == std::string::npos ? content.size() : newline;
        if (end > begin && content[end - 1] == '\r') --end;
        lines.push_back({begin, end, next});
        begin = next;
    }
    return lines;
}

ParsedLine parseLine(const std::string& content, const Line& line) {
    const std::string text = trimmed(content, line.begin, line.end);
    ParsedLine parsed;
    if (text.empty() || text[0] == ';') return parsed;
    if (text[0] == '[') {
        const std::size_t close = text.find(']');
        if (close != std::string::npos) {
            parsed.kind = LineKind::Section;
            parsed.name = trimmed(text, 1, close);
            return parsed;
        }
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos) return parsed;
    parsed.kind = LineKind::Entry;
    parsed.name = trimmed(text, 0, equals);
    parsed.value = trimmed(text, equals + 1, text.size());
    return parsed;
}

std::string withoutOuterQuotes(const std::string& value) {
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    return quoted ? value.substr(1, value.size() - 2) : value;
}

}  // namespace

bool findProfileValue(const std::string& content, const char* section, const char* key, std::string* value) {
    bool inSection = false;
    for (const Line& line : splitLines(content)) {
        const ParsedLine parsed = parseLine(content, line);
        if (parsed.kind == LineKind::Section) {
            if (inSection) return false;  // a later section of the same name is never searched
            inSection = sameName(parsed.name, section);
        } else if (inSection && parsed.kind == LineKind::Entry && sameName(parsed.name, key)) {
            *value = withoutOuterQuotes(parsed.value);
            return true;
        }
    }
    return false;
}

std::uint32_t copyProfileString(const std::string& content, const char* section, const char* key,
                                const char* defaultValue, char* buffer, std::uint32_t size) {
    if (size == 0) return 0;
    std::string text;
    if (!findProfileValue(content, section, key, &text)) {
        text = defaultValue != nullptr ? defaultValue : "";
        while (!text.empty() && text.back() == ' ') text.pop_back();
    }
    const std::size_t count = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<std::uint32_t>(count);
}

std::string withProfileValue(const std::string& content, const char* section, const char* key,
                             const char* value) {
    const std::string entry = std::string(key) + "=" + value;
    const std::vector<Line> lines = splitLines(content);
    bool inSection = false;
    std::size_t lastFilledLine = 0;  // of the section: its header at least
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        const ParsedLine parsed = parseLine(content, line);
        if (parsed.kind == LineKind::Section) {
            if (inSection) break;
            inSection = sameName(parsed.name, section);
            lastFilledLine = i;
            continue;
        }
        if (!inSection) continue;
        if (parsed.kind == LineKind::Entry && sameName(parsed.name, key)) {
            return content.substr(0, line.begin) + entry + content.substr(line.end);
        }
        if (!trimmed(content, line.begin, line.end).empty()) lastFilledLine = i;
    }

    if (inSection) {
        const std::size_t at = lines[lastFilledLine].next;
        const bool endsWithNewline = content[at - 1] == '\n';
        return content.substr(0, at) + (endsWithNewline ? "" : "\r\n") + entry + "\r\n" + content.substr(at);
    }
    std::string result = content;
    if (!result.empty() && result.back() != '\n') result += "\r\n";
    return result + "[" + section + "]\r\n" + entry + "\r\n";
}
