// deny_key_access: locks a registry key down so that nobody may open it with
// full access any more, as an administrator's policy may leave a key.
//
//   deny_key_access.exe KEY
//
// KEY is a root name and a path, e.g. "HKEY_LOCAL_MACHINE\Software\Vendor",
// in the 32-bit view, the one the applier works in. The key's DACL becomes a
// single entry that lets Everyone read: opening it for reading still works,
// opening it with KEY_ALL_ACCESS fails with access denied.
// Exit code: 0 done, 2 bad command line, 3 the key could not be opened, 4 its
// security could not be set.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

HKEY rootOf(const std::string& name) {
    if (name == "HKEY_CLASSES_ROOT") return HKEY_CLASSES_ROOT;
    if (name == "HKEY_CURRENT_USER") return HKEY_CURRENT_USER;
    if (name == "HKEY_LOCAL_MACHINE") return HKEY_LOCAL_MACHINE;
    if (name == "HKEY_USERS") return HKEY_USERS;
    return nullptr;
}

// A DACL of one entry: Everyone may read. Returns false when it cannot be built.
bool readOnlyForEveryone(SECURITY_DESCRIPTOR& descriptor, ACL* acl, DWORD aclSize, PSID* everyone) {
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    return AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, everyone) &&
           InitializeAcl(acl, aclSize, ACL_REVISION) && AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ, *everyone) &&
           InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
           SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string key = argc == 2 ? argv[1] : "";
    const std::size_t separator = key.find('\\');
    if (separator == std::string::npos || rootOf(key.substr(0, separator)) == nullptr) {
        std::fprintf(stderr, "usage: deny_key_access ROOT\\SUBKEY\n");
        return 2;
    }
    HKEY opened = nullptr;
    LONG status = RegOpenKeyExA(rootOf(key.substr(0, separator)), key.substr(separator + 1).c_str(), 0,
                                READ_CONTROL | WRITE_DAC | KEY_WOW64_32KEY, &opened);
    if (status != ERROR_SUCCESS) {
        std::fprintf(stderr, "cannot open %s: error %ld\n", key.c_str(), status);
        return 3;
    }
    SECURITY_DESCRIPTOR descriptor;
    alignas(DWORD) unsigned char aclBytes[256];
    PSID everyone = nullptr;
    status = ERROR_INVALID_PARAMETER;
    if (readOnlyForEveryone(descriptor, reinterpret_cast<ACL*>(aclBytes), sizeof aclBytes, &everyone)) {
        status = RegSetKeySecurity(opened, DACL_SECURITY_INFORMATION, &descriptor);
    }
    if (everyone != nullptr) FreeSid(everyone);
    RegCloseKey(opened);
    if (status != ERROR_SUCCESS) {
        std::fprintf(stderr, "cannot set the security of %s: error %ld\n", key.c_str(), status);
        return 4;
    }
    return 0;
}
