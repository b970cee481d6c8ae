#include "actions/stages.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "actions/failure_details.h"
#include "platform/platform.h"
#include "platform/scoped_handles.h"
#include "settings/bounded_text.h"
#include "settings/number_text.h"

namespace {

constexpr std::uint32_t VALUE_BUFFER_SIZE = 1024;
constexpr unsigned char QUOTE = '"';

struct RootName {
    const char* name;
    platform::RegistryRoot root;
};

constexpr RootName ROOT_NAMES[] = {
    {"HKEY_CLASSES_ROOT", platform::RegistryRoot::ClassesRoot},
    {"HKEY_CURRENT_USER", platform::RegistryRoot::CurrentUser},
    {"HKEY_LOCAL_MACHINE", platform::RegistryRoot::LocalMachine},
    {"HKEY_USERS", platform::RegistryRoot::Users},
};

bool findRoot(const RegistryEntry& entry, platform::RegistryRoot* root) {
    for (const RootName& candidate : ROOT_NAMES) {
        if (strnlen(entry.rootName, sizeof entry.rootName) < sizeof entry.rootName &&
            std::strcmp(entry.rootName, candidate.name) == 0) {
            *root = candidate.root;
            return true;
        }
    }
    return false;
}

bool isText(std::uint32_t type) { return type == platform::VALUE_SZ || type == platform::VALUE_EXPAND_SZ; }

// Wraps `text` (of `length` bytes) in double quotes where one is missing, into
// `quoted` with its NUL. False when nothing needs adding; throws 30 when the
// result would not fit, rather than write a shortened value.
bool quote(const unsigned char* text, std::size_t length, unsigned char (&quoted)[VALUE_BUFFER_SIZE],
           std::size_t* quotedLength) {
    if (length == 0) return false;
    const bool opening = text[0] != QUOTE;
    const bool closing = text[length - 1] != QUOTE;
    if (!opening && !closing) return false;

    const std::size_t total = length + (opening ? 1 : 0) + (closing ? 1 : 0);
    if (total + 1 > sizeof quoted) throw ResultCode{RESULT_REGISTRY_FAILED};
    std::size_t at = 0;
    if (opening) quoted[at++] = QUOTE;
    std::memcpy(quoted + at, text, length);
    at += length;
    if (closing) quoted[at++] = QUOTE;
    quoted[at] = '\0';
    *quotedLength = at;
    return true;
}

void quoteValue(const RegistryEntry& entry) {
    platform::RegistryRoot root{};
    if (!findRoot(entry, &root)) throw ResultCode{RESULT_REGISTRY_FAILED};
    platform::ScopedRegistryKey key(platform::openRegistryKey(root, entry.subKey));
    if (!key) throw ResultCode{RESULT_REGISTRY_FAILED};

    unsigned char value[VALUE_BUFFER_SIZE] = {};
    std::uint32_t type = 0;
    std::uint32_t size = sizeof value;
    if (!platform::queryRegistryValue(key.get(), entry.valueName, &type, value, &size)) {
        throw ResultCode{RESULT_REGISTRY_FAILED};
    }
    // Only text is quoted; any other value is left as it is.
    if (!isText(type)) return;

    // Registry strings need not end with a NUL: the returned size bounds the text.
    const std::size_t bytesRead = size < sizeof value ? size : sizeof value;
    const void* nul = std::memchr(value, '\0', bytesRead);
    const std::size_t length =
        nul != nullptr ? static_cast<std::size_t>(static_cast<const unsigned char*>(nul) - value) : bytesRead;

    unsigned char quoted[VALUE_BUFFER_SIZE] = {};
    std::size_t quotedLength = 0;
    if (!quote(value, length, quoted, &quotedLength)) return;
    if (!platform::setRegistryValue(key.get(), entry.valueName, type, quoted,
                                    static_cast<std::uint32_t>(quotedLength + 1))) {
        throw ResultCode{RESULT_REGISTRY_FAILED};
    }
}

// root\subKey\valueName, for the failure message.
void nameFailedValue(const RegistryEntry& entry) {
    copyText(failedRegistryValue, entry.rootName);
    appendText(failedRegistryValue, "\\");
    appendText(failedRegistryValue, entry.subKey);
    appendText(failedRegistryValue, "\\");
    appendText(failedRegistryValue, entry.valueName);
}

}  // namespace

ResultCode quoteRegistryValues(const PatchContext& context) {
    try {
        for (const RegistryEntry& entry : context.registries) {
            if (readNumber(entry.action) != 0) continue;
            try {
                quoteValue(entry);
            } catch (...) {
                nameFailedValue(entry);
                throw;
            }
        }
        return RESULT_OK;
    } catch (ResultCode code) {
        return code;
    } catch (...) {
        return RESULT_UNEXPECTED;
    }
}
