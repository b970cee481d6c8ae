#include "tools/tlvkit/package_plan.h"

#include <map>
#include <set>

#include "settings/number_text.h"
#include "settings/patch_context.h"
#include "tools/tlvkit/file_io.h"
#include "tools/tlvkit/key_rules.h"
#include "tools/tlvkit/stored_text.h"
#include "tools/tlvkit/stored_value.h"

namespace fs = std::filesystem;

namespace tlvkit {

namespace {

constexpr std::size_t PATH_LIMIT = PATH_FIELD - 1;         // characters of a path or a value
constexpr std::size_t VERSION_LIMIT = SHORT_FIELD - 1;     // an installed version is held in 255 bytes
constexpr std::size_t REGISTRY_LINE_LIMIT = (STORED_VALUE_LIMIT - 2) / 2;  // 510 bytes once decoded
constexpr char PLATFORM_PLACEHOLDER[] = "{platform}";

const char* const INSTALL_KEYS[] = {"TARGET",      "MODULE_TYPE", "MODULE_NM", "TITLE_NM", "MODULE_NM_E",
                                    "TITLE_NM_E",  "VERSION",     "VERSION_DISP", "SPNO651", "PTNO"};
const char* const PACKAGE_KEYS[] = {"platforms", "applier", "run_from", "install_dir"};
const char* const FILE_FIELD_NAMES[] = {"mode", "source", "name in the package", "destination"};
const char* const REGISTRY_FIELD_NAMES[] = {"action", "root", "key", "value name", "data"};
const std::size_t REGISTRY_FIELD_LIMITS[] = {SHORT_FIELD - 1, SHORT_FIELD - 1, LONG_FIELD - 1, SHORT_FIELD - 1,
                                             LONG_FIELD - 1};
const char* const REGISTRY_ROOTS[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"};

std::string ordinal(std::size_t n) {
    static const char* const NAMES[] = {"1st", "2nd", "3rd", "4th", "5th"};
    return n >= 1 && n <= 5 ? NAMES[n - 1] : std::to_string(n) + "th";
}

std::string lowerAscii(std::string text) {
    for (char& character : text) {
        if (character >= 'A' && character <= 'Z') character = static_cast<char>(character - 'A' + 'a');
    }
    return text;
}

bool isCanonicalNumber(const std::string& text) { return std::to_string(readNumber(text.c_str())) == text; }

// Collects the errors of one manifest, each naming the file, the line and the key.
class Judge {
public:
    Judge(const Manifest& manifest, std::vector<std::string>& errors) : manifest_(manifest), errors_(errors) {}

    void error(int line, const std::string& where, const std::string& message) {
        std::string text = manifest_.path + ":";
        if (line > 0) text += std::to_string(line) + ":";
        errors_.push_back(text + " " + where + ": " + message);
    }
    bool failed() const { return !errors_.empty(); }

    // The code page 932 bytes of a value; nothing (and an error) when it has
    // a character that cannot be stored, or a control character.
    std::optional<std::string> stored(int line, const std::string& where, const std::string& utf8) {
        for (const char character : utf8) {
            if (static_cast<unsigned char>(character) < 0x20 || character == 0x7F) {
                error(line, where, "holds a control character");
                return std::nullopt;
            }
        }
        std::optional<std::string> bytes = storedFromUtf8(utf8);
        if (!bytes) error(line, where, "holds a character that code page 932 cannot store");
        return bytes;
    }

    bool fits(int line, const std::string& where, const std::string& what, const std::string& bytes,
              std::size_t limit, const std::string& why) {
        if (bytes.size() <= limit) return true;
        error(line, where,
              what + " is " + std::to_string(bytes.size()) + " bytes in code page 932, more than the " +
                  std::to_string(limit) + " " + why);
        return false;
    }

private:
    const Manifest& manifest_;
    std::vector<std::string>& errors_;
};

// A name or destination below a folder: parts separated by backslashes, none
// empty, none "." or "..", no character that Windows refuses in a name.
std::string relativePathProblem(const std::string& path) {
    if (path.find('/') != std::string::npos) return "uses '/': separate folders with '\\'";
    for (const char character : std::string(":*?\"<>|")) {
        if (path.find(character) != std::string::npos) {
            return std::string("holds '") + character + "', which a Windows file name cannot";
        }
    }
    std::size_t begin = 0;
    for (;;) {
        const std::size_t separator = path.find('\\', begin);
        const std::string part = path.substr(begin, separator == std::string::npos ? std::string::npos
                                                                                   : separator - begin);
        if (part.empty()) return "has an empty folder part (a leading, trailing or doubled '\\')";
        if (part == "." || part == "..") return "has a '" + part + "' part: it must stay below its folder";
        if (separator == std::string::npos) return "";
        begin = separator + 1;
    }
}

struct PackageSettings {
    std::vector<std::string> platforms{"x86"};
    std::string runFrom = DEFAULT_RUN_FROM;       // code page 932
    std::string installDir = DEFAULT_INSTALL_DIR;  // code page 932
    fs::path applier;
};

PackageSettings judgePackageSection(const Manifest& manifest, const fs::path& manifestDir,
                                    const std::string& applierOverride, Judge& judge) {
    PackageSettings settings;
    std::set<std::string> seen;
    std::string applierText;
    for (const ManifestLine& line : manifest.package) {
        const std::string where = "[PACKAGE] " + line.key;
        bool known = false;
        for (const char* key : PACKAGE_KEYS) known = known || sameName(line.key, key);
        if (!known) {
            judge.error(line.line, where, "unknown key: the keys are platforms, applier, run_from and install_dir");
            continue;
        }
        if (!seen.insert(lowerAscii(line.key)).second) {
            judge.error(line.line, where, "given twice");
            continue;
        }
        if (line.value.empty()) {
            judge.error(line.line, where, "empty: leave the key out to use its default");
            continue;
        }
        if (sameName(line.key, "platforms")) {
            settings.platforms.clear();
            std::set<std::string> names;
            for (const std::string& platform : splitManifestFields(line.value)) {
                std::string problem = platform.empty() ? "is empty" : relativePathProblem(platform);
                for (const char character : platform) {
                    if (problem.empty() && (character == '\\' || character <= ' ' || character > '~')) {
                        problem = "must be one folder name of printable ASCII characters";
                    }
                }
                if (!problem.empty()) {
                    judge.error(line.line, where, "platform \"" + platform + "\" " + problem);
                } else if (!names.insert(lowerAscii(platform)).second) {
                    judge.error(line.line, where, "platform \"" + platform + "\" is named twice");
                } else {
                    settings.platforms.push_back(platform);
                }
            }
        } else if (sameName(line.key, "applier")) {
            applierText = line.value;
            settings.applier = manifestDir / pathOf(line.value);
        } else {
            const auto bytes = judge.stored(line.line, where, line.value);
            if (!bytes) continue;
            (sameName(line.key, "run_from") ? settings.runFrom : settings.installDir) = *bytes;
        }
    }
    if (!applierOverride.empty()) {
        applierText = applierOverride;
        settings.applier = pathOf(applierOverride);
    }
    if (applierText.empty()) {
        judge.error(0, "applier", "no applier executable: give --applier FILE, or \"applier = FILE\" in [PACKAGE]");
    } else {
        const std::optional<std::string> bytes = readFileBytes(settings.applier);
        if (!bytes) {
            judge.error(0, "applier", textOf(settings.applier) + " does not exist or cannot be read");
        } else if (bytes->compare(0, 2, "MZ") != 0) {
            judge.error(0, "applier", textOf(settings.applier) + " is not a Windows executable");
        }
    }
    return settings;
}

void judgeInstallSection(const Manifest& manifest, Judge& judge, ExpectedDescription& expected,
                         std::map<std::string, std::string>& values) {
    std::map<std::string, int> lines;
    for (const ManifestLine& line : manifest.install) {
        const std::string where = "[INSTALL] " + line.key;
        const char* canonical = nullptr;
        for (const char* key : INSTALL_KEYS) {
            if (sameName(line.key, key)) canonical = key;
        }
        if (canonical == nullptr) {
            const KeyRule* rule = findKeyRule(DESCRIPTION_SECTION, line.key);
            judge.error(line.line, where,
                        rule != nullptr ? "is written by tlvkit from the [FILES] and [REGISTRY] lists"
                                        : "unknown key: the applier reads TARGET, MODULE_TYPE, MODULE_NM, TITLE_NM, "
                                          "MODULE_NM_E, TITLE_NM_E, VERSION, VERSION_DISP, SPNO651 and PTNO");
            continue;
        }
        if (lines.count(canonical) != 0) {
            judge.error(line.line, where, "given twice (first on line " + std::to_string(lines[canonical]) + ")");
            continue;
        }
        lines[canonical] = line.line;
        if (line.value.empty()) {
            judge.error(line.line, where, "empty: the applier reads an empty value as a missing one; leave the key out");
            continue;
        }
        const auto bytes = judge.stored(line.line, where, line.value);
        if (!bytes) continue;
        const std::string key = canonical;
        if (key == "TARGET") {
            if (bytes->size() != 1 || (*bytes)[0] < '0' || (*bytes)[0] > '3') {
                judge.error(line.line, where,
                            "\"" + line.value + "\" is not a target: use 0 (HARBORSTONE standard edition), 1 (its "
                            "security-enhanced edition), 2 (installer creator) or 3 (log manager)");
                continue;
            }
        } else if (key == "MODULE_TYPE") {
            if (*bytes != "0" && *bytes != "1") {
                judge.error(line.line, where,
                            "\"" + line.value + "\": use 0 for a patch or 1 for a service pack (the applier refuses "
                            "any other type as already applied)");
                continue;
            }
        } else if (key == "SPNO651" || key == "PTNO") {
            if (!isCanonicalNumber(*bytes)) {
                judge.error(line.line, where,
                            "\"" + line.value + "\" is not a whole number as the applier reads one (such as 3); it "
                            "would read it as " + std::to_string(readNumber(bytes->c_str())));
                continue;
            }
        } else if (key == "VERSION") {
            if (!judge.fits(line.line, where, "the version", *bytes, VERSION_LIMIT,
                            "that an installation record can hold")) {
                continue;
            }
        } else if (!judge.fits(line.line, where, "the value", *bytes, PATH_LIMIT, "its field holds")) {
            continue;
        }
        values[key] = *bytes;
    }

    auto require = [&](const char* key, const std::string& why) {
        if (lines.count(key) == 0) judge.error(0, std::string("[INSTALL] ") + key, "missing: " + why);
    };
    require("TARGET", "the applier refuses a description without one");
    require("MODULE_TYPE", "0 for a patch, 1 for a service pack");
    require("VERSION", "the installed version that the patch is for");
    const auto type = values.find("MODULE_TYPE");
    if (type != values.end()) {
        if (type->second == "1") require("SPNO651", "the service-pack number that this service pack brings");
        if (type->second == "0") require("PTNO", "the patch number that this patch brings");
    }

    // A key left out reads as the empty text, and a number as 0.
    auto valueOf = [&values](const char* key) {
        const auto found = values.find(key);
        return found != values.end() ? found->second : std::string();
    };
    expected.target = valueOf("TARGET");
    expected.moduleType = readNumber(valueOf("MODULE_TYPE").c_str());
    expected.moduleName = valueOf("MODULE_NM");
    expected.title = valueOf("TITLE_NM");
    expected.moduleNameEnglish = valueOf("MODULE_NM_E");
    expected.titleEnglish = valueOf("TITLE_NM_E");
    expected.version = valueOf("VERSION");
    expected.versionDisp = valueOf("VERSION_DISP");
    expected.spNo = readNumber(valueOf("SPNO651").c_str());
    expected.ptNo = readNumber(valueOf("PTNO").c_str());
}

constexpr std::size_t NO_HOST_FIELD = ~std::size_t{0};

// A list line's fields in code page 932: exactly `names` of them, none empty.
// The field at `hostField` names a file on this host and stays UTF-8.
std::optional<std::vector<std::string>> judgeListFields(const ManifestLine& line, const std::string& where,
                                                        const char* const* names, std::size_t count,
                                                        std::size_t hostField, Judge& judge) {
    const std::vector<std::string> fields = splitManifestFields(line.value);
    std::string expectedFields;
    for (std::size_t i = 0; i < count; ++i) expectedFields += (i == 0 ? "" : ", ") + std::string(names[i]);
    if (fields.size() > count) {
        judge.error(line.line, where,
                    "has " + std::to_string(fields.size()) + " fields, not " + std::to_string(count) + " (" +
                        expectedFields + "): no field can hold a comma, since the applier splits the line at "
                        "every comma and ignores what follows its last field");
        return std::nullopt;
    }
    if (fields.size() < count) {
        judge.error(line.line, where,
                    "has " + std::to_string(fields.size()) + " field(s), not " + std::to_string(count) + " (" +
                        expectedFields + ")");
        return std::nullopt;
    }
    std::vector<std::string> stored;
    for (std::size_t i = 0; i < count; ++i) {
        if (fields[i].empty()) {
            judge.error(line.line, where,
                        "its " + ordinal(i + 1) + " field (" + names[i] +
                            ") is empty: the applier drops empty fields and would shift the rest");
            return std::nullopt;
        }
        if (i == hostField) {
            stored.push_back(fields[i]);
            continue;
        }
        const auto bytes = judge.stored(line.line, where + " " + names[i], fields[i]);
        if (!bytes) return std::nullopt;
        stored.push_back(*bytes);
    }
    return stored;
}

std::string withPlatform(const std::string& source, const std::string& platform) {
    std::string result = source;
    for (std::size_t at = result.find(PLATFORM_PLACEHOLDER); at != std::string::npos;
         at = result.find(PLATFORM_PLACEHOLDER, at + platform.size())) {
        result.replace(at, sizeof PLATFORM_PLACEHOLDER - 1, platform);
    }
    return result;
}

void judgeFiles(const Manifest& manifest, const fs::path& manifestDir, const PackageSettings& settings,
                Judge& judge, PackagePlan& plan) {
    struct Placed {
        fs::path source;
        bool raised;
        int line;
    };
    std::map<std::string, Placed> placed;  // platform and name, compared as Windows compares names
    for (const ManifestLine& line : manifest.files) {
        const std::string where = "[FILES] " + line.key;
        if (!sameName(line.key, "file")) {
            judge.error(line.line, where, "unknown key: each line of [FILES] is \"file = mode, source, name, "
                                          "destination\"");
            continue;
        }
        const auto fields = judgeListFields(line, where, FILE_FIELD_NAMES, 4, 1, judge);
        if (!fields) continue;
        const std::vector<std::string> utf8Fields = splitManifestFields(line.value);
        const std::string& mode = (*fields)[0];
        const std::string& name = (*fields)[2];
        const std::string& destination = (*fields)[3];
        bool good = true;
        if (mode != "0" && mode != "1") {
            judge.error(line.line, where,
                        "mode \"" + utf8Fields[0] + "\": use 0 (copied as it is) or 1 (stored with every byte "
                        "raised by one)");
            good = false;
        }
        for (std::size_t i = 2; i < 4; ++i) {
            const std::string problem = relativePathProblem((*fields)[i]);
            if (!problem.empty()) {
                judge.error(line.line, where, std::string(FILE_FIELD_NAMES[i]) + " \"" + utf8Fields[i] + "\" " + problem);
                good = false;
            }
        }
        const std::string fileLine = mode + "," + name + "," + destination;
        good = judge.fits(line.line, where, "the line \"" + mode + "," + utf8Fields[2] + "," + utf8Fields[3] + "\"",
                          fileLine, PATH_LIMIT, "that the applier reads of a FILE line") && good;
        good = judge.fits(line.line, where,
                          "the completed destination " + displayText(settings.installDir) + "\\" + utf8Fields[3],
                          settings.installDir + "\\" + destination, PATH_LIMIT,
                          "characters of a Windows path (install_dir in [PACKAGE] sets the installation folder "
                          "that this is judged with)") && good;
        for (const std::string& platform : settings.platforms) {
            const std::string sourcePath = settings.runFrom + "\\SET\\" + platform + "\\" + name;
            good = judge.fits(line.line, where,
                              "the source path " + displayText(settings.runFrom) + "\\SET\\" + platform + "\\" +
                                  utf8Fields[2],
                              sourcePath, PATH_LIMIT,
                              "characters of a Windows path (run_from in [PACKAGE] sets the package folder that "
                              "this is judged with)") && good;
            const std::string sourceText = withPlatform(utf8Fields[1], platform);
            const fs::path source = manifestDir / pathOf(sourceText);
            std::error_code error;
            if (!fs::is_regular_file(source, error)) {
                judge.error(line.line, where, "source \"" + sourceText + "\" (" + textOf(source) + ") is not a file");
                good = false;
                continue;
            }
            const std::string placeKey = lowerAscii(platform) + "\\" + lowerAscii(utf8Fields[2]);
            const auto earlier = placed.find(placeKey);
            if (earlier != placed.end()) {
                if (earlier->second.source != source || earlier->second.raised != (mode == "1")) {
                    judge.error(line.line, where,
                                "SET\\" + platform + "\\" + utf8Fields[2] + " is already taken by line " +
                                    std::to_string(earlier->second.line) + " for another file or mode");
                    good = false;
                }
                continue;
            }
            placed[placeKey] = {source, mode == "1", line.line};
            if (good) plan.files.push_back({platform, utf8Fields[2], source, mode == "1"});
        }
        if (good) plan.expected.files.push_back({mode, name, destination});
    }
}

void judgeRegistries(const Manifest& manifest, Judge& judge, PackagePlan& plan) {
    for (const ManifestLine& line : manifest.registries) {
        const std::string where = "[REGISTRY] " + line.key;
        if (!sameName(line.key, "registry")) {
            judge.error(line.line, where, "unknown key: each line of [REGISTRY] is \"registry = action, root, key, "
                                          "value name, data\"");
            continue;
        }
        const auto fields = judgeListFields(line, where, REGISTRY_FIELD_NAMES, 5, NO_HOST_FIELD, judge);
        if (!fields) continue;
        bool good = true;
        if (!isCanonicalNumber((*fields)[0])) {
            judge.error(line.line, where,
                        "action \"" + (*fields)[0] + "\" is not a whole number: 0 quotes the value, any other "
                        "number skips the line");
            good = false;
        }
        bool knownRoot = false;
        for (const char* root : REGISTRY_ROOTS) knownRoot = knownRoot || (*fields)[1] == root;
        if (!knownRoot) {
            judge.error(line.line, where,
                        "root \"" + (*fields)[1] + "\": use HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, "
                        "HKEY_LOCAL_MACHINE or HKEY_USERS, written out in capitals");
            good = false;
        }
        std::string registryLine;
        for (std::size_t i = 0; i < 5; ++i) {
            good = judge.fits(line.line, where + " " + REGISTRY_FIELD_NAMES[i], "the field", (*fields)[i],
                              REGISTRY_FIELD_LIMITS[i], "its field holds") && good;
            registryLine += (i == 0 ? "" : ",") + (*fields)[i];
        }
        good = judge.fits(line.line, where, "the line", registryLine, REGISTRY_LINE_LIMIT,
                          "that a value can hold once encoded") && good;
        if (good) plan.expected.registries.push_back(*fields);
    }
}

std::string descriptionText(const std::map<std::string, std::string>& values, const ExpectedDescription& expected) {
    std::string text = std::string("[") + DESCRIPTION_SECTION + "]\r\n";
    auto add = [&text](const std::string& key, const std::string& value) {
        text += key + "=" + encodeText(value) + "\r\n";
    };
    for (const char* key : INSTALL_KEYS) {
        const auto value = values.find(key);
        if (value != values.end()) add(key, value->second);
    }
    add("FILES", std::to_string(expected.files.size()));
    for (std::size_t i = 0; i < expected.files.size(); ++i) {
        const auto& fields = expected.files[i];
        add("FILE" + std::to_string(i + 1), fields[0] + "," + fields[1] + "," + fields[2]);
    }
    add("REGISTRIES", std::to_string(expected.registries.size()));
    for (std::size_t i = 0; i < expected.registries.size(); ++i) {
        std::string line;
        for (const std::string& field : expected.registries[i]) line += (line.empty() ? "" : ",") + field;
        add("REGISTRY" + std::to_string(i + 1), line);
    }
    return text;
}

}  // namespace

std::optional<PackagePlan> planPackage(const Manifest& manifest, const fs::path& manifestDir,
                                       const std::string& applierOverride, std::vector<std::string>& errors) {
    Judge judge(manifest, errors);
    PackagePlan plan;
    const PackageSettings settings = judgePackageSection(manifest, manifestDir, applierOverride, judge);
    std::map<std::string, std::string> values;
    judgeInstallSection(manifest, judge, plan.expected, values);
    judgeFiles(manifest, manifestDir, settings, judge, plan);
    judgeRegistries(manifest, judge, plan);
    if (judge.failed()) return std::nullopt;
    plan.platforms = settings.platforms;
    plan.applier = settings.applier;
    plan.description = descriptionText(values, plan.expected);
    return plan;
}

}  // namespace tlvkit
