#include "settings/patch_context.h"

void appendFile(PatchContext& context, const FileEntry& entry) { context.files.push_back(entry); }

void appendRegistry(PatchContext& context, const RegistryEntry& entry) {
    context.registries.push_back(entry);
}

void releaseLists(PatchContext& context) {
    std::vector<RegistryEntry>().swap(context.registries);
    std::vector<FileEntry>().swap(context.files);
}
