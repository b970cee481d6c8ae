// Wrapping named registry string values in double quotes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "actions/failure_details.h"
#include "actions/stages.h"
#include "platform/platform.h"
#include "settings/bounded_text.h"
#include "tests/support/fake_platform.h"

namespace {

constexpr char ROOT[] = "HKEY_LOCAL_MACHINE";
constexpr char SUB_KEY[] = "SOFTWARE\\Tolva";
constexpr char KEY[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Tolva";

std::string sz(const std::string& text) { return text + '\0'; }

RegistryEntry registryEntry(const std::string& action, const std::string& rootName, const std::string& subKey,
                            const std::string& valueName) {
    RegistryEntry entry{};
    copyText(entry.action, action.c_str());
    copyText(entry.rootName, rootName.c_str());
    copyText(entry.subKey, subKey.c_str());
    copyText(entry.valueName, valueName.c_str());
    copyText(entry.data, "unused");
    return entry;
}

void store(const std::string& key, const std::string& valueName, const std::string& bytes,
           std::uint32_t type = platform::VALUE_SZ) {
    fake::registryKey(key).values[valueName] = fake::RegistryValue{type, bytes};
}

fake::RegistryValue stored(const std::string& key, const std::string& valueName) {
    return fake::registryKey(key).values.at(valueName);
}

// The registry calls, as O(pen) Q(uery) S(et) C(lose).
std::string registryTrace() {
    std::string trace;
    for (const fake::Call& call : fake::calls()) {
        switch (call.kind) {
            case fake::CallKind::RegistryOpen: trace += "O"; break;
            case fake::CallKind::RegistryQuery: trace += "Q"; break;
            case fake::CallKind::RegistrySet: trace += "S"; break;
            case fake::CallKind::RegistryClose: trace += "C"; break;
            default: break;
        }
    }
    return trace;
}

class RegistryQuotingTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::reset();
        failedRegistryValue[0] = '\0';
        context = PatchContext{};
    }

    void TearDown() override { EXPECT_EQ(fake::openRegistryKeyCount(), 0); }

    void add(const std::string& action, const std::string& rootName, const std::string& subKey,
             const std::string& valueName) {
        appendRegistry(context, registryEntry(action, rootName, subKey, valueName));
        context.registryCount = static_cast<std::int32_t>(context.registries.size());
    }

    PatchContext context{};
};

TEST_F(RegistryQuotingTest, QuotesWhereAQuoteIsMissingAndWritesOnlyAChange) {
    const std::string longest1021(1021, 'p');
    const std::string longest1022(1022, 'p');
    const struct {
        const char* name;
        std::uint32_t type;
        std::string before;
        std::string after;
        bool written;
    } cases[] = {
        {"plain path", platform::VALUE_SZ, sz("C:\\Tolva\\tolva.exe"), sz("\"C:\\Tolva\\tolva.exe\""), true},
        {"already quoted", platform::VALUE_SZ, sz("\"C:\\Tolva\\tolva.exe\""), sz("\"C:\\Tolva\\tolva.exe\""), false},
        {"only the leading quote", platform::VALUE_SZ, sz("\"C:\\a.exe"), sz("\"C:\\a.exe\""), true},
        {"only the trailing quote", platform::VALUE_SZ, sz("C:\\a.exe\""), sz("\"C:\\a.exe\""), true},
        {"path and option wrapped whole", platform::VALUE_SZ, sz("C:\\Tolva\\a.exe /min"),
         sz("\"C:\\Tolva\\a.exe /min\""), true},
        {"inner quotes left alone", platform::VALUE_SZ, sz("a\"b\"c"), sz("\"a\"b\"c\""), true},
        {"empty text", platform::VALUE_SZ, sz(""), sz(""), false},
        {"no bytes at all", platform::VALUE_SZ, "", "", false},
        {"one double quote", platform::VALUE_SZ, sz("\""), sz("\""), false},
        {"two double quotes", platform::VALUE_SZ, sz("\"\""), sz("\"\""), false},
        {"one other character", platform::VALUE_SZ, sz("a"), sz("\"a\""), true},
        {"stored without a NUL", platform::VALUE_SZ, "C:\\a.exe", sz("\"C:\\a.exe\""), true},
        {"text ends at the first NUL", platform::VALUE_SZ, sz("abc") + sz("def"), sz("\"abc\""), true},
        {"expandable text keeps its type", platform::VALUE_EXPAND_SZ, sz("%ProgramFiles%\\a.exe"),
         sz("\"%ProgramFiles%\\a.exe\""), true},
        {"binary left unchanged", platform::VALUE_BINARY, "C:\\a.exe", "C:\\a.exe", false},
        {"number left unchanged", platform::VALUE_DWORD, std::string("\x01\x00\x00\x00", 4),
         std::string("\x01\x00\x00\x00", 4), false},
        {"1021 characters: quoted text of 1023 fits", platform::VALUE_SZ, sz(longest1021),
         sz("\"" + longest1021 + "\""), true},
        {"1022 characters needing one quote", platform::VALUE_SZ, sz("\"" + longest1021),
         sz("\"" + longest1021 + "\""), true},
        {"1023 characters already quoted", platform::VALUE_SZ, sz("\"" + longest1021 + "\""),
         sz("\"" + longest1021 + "\""), false},
        {"1024 bytes without a NUL, already quoted", platform::VALUE_SZ, "\"" + longest1022 + "\"",
         "\"" + longest1022 + "\"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        store(KEY, "Path", c.before, c.type);
        add("0", ROOT, SUB_KEY, "Path");

        EXPECT_EQ(quoteRegistryValues(context), 0);
        const fake::RegistryValue after = stored(KEY, "Path");
        EXPECT_EQ(after.bytes, c.after);
        EXPECT_EQ(after.type, c.type);
        EXPECT_EQ(registryTrace(), c.written ? "OQSC" : "OQC");
        EXPECT_STREQ(failedRegistryValue, "");
    }
}

TEST_F(RegistryQuotingTest, EveryFailureEndsWith30NamesTheValueAndWritesNothing) {
    const struct {
        const char* name;
        std::string rootName;
        std::string subKey;
        std::string valueName;
        std::string before;
        void (*arrange)();
    } cases[] = {
        {"another predefined root", "HKEY_CURRENT_CONFIG", SUB_KEY, "Path", sz("a"),
         [] { store("HKEY_CURRENT_CONFIG\\SOFTWARE\\Tolva", "Path", sz("a")); }},
        {"a short form", "HKLM", SUB_KEY, "Path", sz("a"), [] { store("HKLM\\SOFTWARE\\Tolva", "Path", sz("a")); }},
        {"lower case", "hkey_local_machine", SUB_KEY, "Path", sz("a"),
         [] { store("hkey_local_machine\\SOFTWARE\\Tolva", "Path", sz("a")); }},
        {"trailing blank", "HKEY_LOCAL_MACHINE ", SUB_KEY, "Path", sz("a"), [] {}},
        {"empty root", "", SUB_KEY, "Path", sz("a"), [] {}},
        {"missing key", ROOT, "SOFTWARE\\Missing", "Path", sz("a"), [] {}},
        {"key without full access", ROOT, SUB_KEY, "Path", sz("a"), [] { fake::registryKey(KEY).denyAccess = true; }},
        {"missing value", ROOT, SUB_KEY, "Other", sz("a"), [] {}},
        {"value of 1025 bytes with its NUL", ROOT, SUB_KEY, "Path", sz(std::string(1024, 'p')), [] {}},
        {"value that cannot be written", ROOT, SUB_KEY, "Path", sz("a"), [] { fake::registryKey(KEY).denyWrite = true; }},
        {"1022 characters needing two quotes", ROOT, SUB_KEY, "Path", sz(std::string(1022, 'p')), [] {}},
        {"1023 characters needing one quote", ROOT, SUB_KEY, "Path", sz(std::string(1022, 'p') + "\""), [] {}},
        {"1024 bytes without a NUL needing quotes", ROOT, SUB_KEY, "Path", std::string(1024, 'p'), [] {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        store(KEY, "Path", c.before);
        c.arrange();
        add("0", c.rootName, c.subKey, c.valueName);

        EXPECT_EQ(quoteRegistryValues(context), 30);
        EXPECT_EQ(stored(KEY, "Path").bytes, c.before);
        EXPECT_EQ(std::string(failedRegistryValue), c.rootName + "\\" + c.subKey + "\\" + c.valueName);
    }
}

TEST_F(RegistryQuotingTest, AnUnknownRootIsNeverOpened) {
    store("HKEY_CURRENT_CONFIG\\SOFTWARE\\Tolva", "Path", sz("a"));
    add("0", "HKEY_CURRENT_CONFIG", SUB_KEY, "Path");
    EXPECT_EQ(quoteRegistryValues(context), 30);
    EXPECT_EQ(registryTrace(), "");
}

TEST_F(RegistryQuotingTest, EachRootNameOpensItsOwnRoot) {
    const char* roots[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"};
    for (const char* root : roots) {
        SCOPED_TRACE(root);
        SetUp();
        for (const char* other : roots) store(std::string(other) + "\\" + SUB_KEY, "Path", sz("a"));
        add("0", root, SUB_KEY, "Path");

        EXPECT_EQ(quoteRegistryValues(context), 0);
        for (const char* other : roots) {
            EXPECT_EQ(stored(std::string(other) + "\\" + SUB_KEY, "Path").bytes,
                      std::strcmp(other, root) == 0 ? sz("\"a\"") : sz("a"))
                << other;
        }
    }
}

TEST_F(RegistryQuotingTest, OnlyAnActionReadingAsZeroIsHandled) {
    const struct {
        const char* action;
        bool handled;
    } cases[] = {
        {"0", true},   {"00", true},  {" 0", true},  {"-0", true},   {"+0", true},  {"", true},
        {"abc", true}, {"0x1", true}, {"0 1", true}, {"1", false},   {"2", false},  {"-1", false},
        {"+1", false}, {" 1", false}, {"1abc", false}, {"2147483648", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("action '") + c.action + "'");
        SetUp();
        store(KEY, "Path", sz("a"));
        add(c.action, ROOT, SUB_KEY, "Path");

        EXPECT_EQ(quoteRegistryValues(context), 0);
        EXPECT_EQ(stored(KEY, "Path").bytes, c.handled ? sz("\"a\"") : sz("a"));
        EXPECT_EQ(registryTrace(), c.handled ? "OQSC" : "");
    }
}

TEST_F(RegistryQuotingTest, ASkippedEntryIsNotOpenedEvenWhenItsKeyIsMissing) {
    add("1", ROOT, "SOFTWARE\\Missing", "Path");
    add("1", "NOT_A_ROOT", SUB_KEY, "Path");
    EXPECT_EQ(quoteRegistryValues(context), 0);
    EXPECT_EQ(registryTrace(), "");
    EXPECT_FALSE(fake::hasRegistryKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Missing"));
}

TEST_F(RegistryQuotingTest, TheFirstFailureEndsTheStageAndEarlierChangesStay) {
    store(KEY, "First", sz("a"));
    store(KEY, "Third", sz("c"));
    add("0", ROOT, SUB_KEY, "First");
    add("0", ROOT, "SOFTWARE\\Missing", "Second");
    add("0", ROOT, SUB_KEY, "Third");

    EXPECT_EQ(quoteRegistryValues(context), 30);
    EXPECT_EQ(stored(KEY, "First").bytes, sz("\"a\""));
    EXPECT_EQ(stored(KEY, "Third").bytes, sz("c"));
    EXPECT_EQ(registryTrace(), "OQSCO");
    EXPECT_STREQ(failedRegistryValue, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Missing\\Second");
}

TEST_F(RegistryQuotingTest, AValidRootEarlierDoesNotExcuseAnInvalidOneLater) {
    store(KEY, "First", sz("a"));
    add("0", ROOT, SUB_KEY, "First");
    add("0", "HKEY_PERFORMANCE_DATA", SUB_KEY, "First");
    EXPECT_EQ(quoteRegistryValues(context), 30);
    EXPECT_EQ(stored(KEY, "First").bytes, sz("\"a\""));
    EXPECT_STREQ(failedRegistryValue, "HKEY_PERFORMANCE_DATA\\SOFTWARE\\Tolva\\First");
}

TEST_F(RegistryQuotingTest, AQuotedValueAfterAChangedOneIsNotWritten) {
    store(KEY, "Changed", sz("a"));
    store(KEY, "Quoted", sz("\"b\""));
    add("0", ROOT, SUB_KEY, "Changed");
    add("0", ROOT, SUB_KEY, "Quoted");

    EXPECT_EQ(quoteRegistryValues(context), 0);
    EXPECT_EQ(registryTrace(), "OQSCOQC");
    EXPECT_EQ(stored(KEY, "Quoted").bytes, sz("\"b\""));
}

TEST_F(RegistryQuotingTest, ASecondRunChangesNothing) {
    store(KEY, "Path", sz("C:\\Tolva\\a.exe -x"));
    store(KEY, "Icon", sz("C:\\Tolva\\a.ico\""), platform::VALUE_EXPAND_SZ);
    add("0", ROOT, SUB_KEY, "Path");
    add("0", ROOT, SUB_KEY, "Icon");
    ASSERT_EQ(quoteRegistryValues(context), 0);
    EXPECT_EQ(fake::countCalls(fake::CallKind::RegistrySet), 2);

    EXPECT_EQ(quoteRegistryValues(context), 0);
    EXPECT_EQ(fake::countCalls(fake::CallKind::RegistrySet), 2);
    EXPECT_EQ(stored(KEY, "Path").bytes, sz("\"C:\\Tolva\\a.exe -x\""));
    EXPECT_EQ(stored(KEY, "Icon").bytes, sz("\"C:\\Tolva\\a.ico\""));
}

TEST_F(RegistryQuotingTest, TheFailedValueNameIsBoundedByItsField) {
    const std::string subKey = "SOFTWARE\\" + std::string(1010, 'k');  // fills the sub-key field
    add("0", ROOT, subKey, "Path");
    EXPECT_EQ(quoteRegistryValues(context), 30);
    const std::string whole = std::string(ROOT) + "\\" + subKey + "\\Path";
    ASSERT_EQ(std::strlen(failedRegistryValue), FAILED_REGISTRY_VALUE_SIZE - 1);
    EXPECT_EQ(std::string(failedRegistryValue), whole.substr(0, FAILED_REGISTRY_VALUE_SIZE - 1));
}

}  // namespace
