#include "tools/tlvkit/package_writer.h"

#include <stdexcept>

#include "tools/tlvkit/file_io.h"
#include "tools/tlvkit/key_rules.h"

namespace fs = std::filesystem;

namespace tlvkit {

namespace {

// "bin\tolva.exe" below SET\<platform>, as this host names it.
fs::path packagePath(const fs::path& root, const PackageFile& file) {
    fs::path path = root / "SET" / file.platform;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t separator = file.nameInPackage.find('\\', begin);
        path /= pathOf(file.nameInPackage.substr(begin, separator == std::string::npos ? std::string::npos
                                                                                         : separator - begin));
        if (separator == std::string::npos) return path;
        begin = separator + 1;
    }
}

void writeInto(const PackagePlan& plan, const fs::path& folder) {
    fs::create_directories(folder);
    writeFileBytes(folder / DESCRIPTION_FILE_NAME, plan.description);
    for (const PackageFile& file : plan.files) {
        std::optional<std::string> bytes = readFileBytes(file.source);
        if (!bytes) throw std::runtime_error("cannot read " + textOf(file.source));
        const fs::path target = packagePath(folder, file);
        fs::create_directories(target.parent_path());
        writeFileBytes(target, file.raised ? raisedByOne(std::move(*bytes)) : *bytes);
    }
    const std::optional<std::string> applier = readFileBytes(plan.applier);
    if (!applier) throw std::runtime_error("cannot read " + textOf(plan.applier));
    writeFileBytes(folder / APPLIER_FILE_NAME, *applier);
}

}  // namespace

std::string raisedByOne(std::string bytes) {
    for (char& byte : bytes) byte = static_cast<char>(static_cast<unsigned char>(byte) + 1);
    return bytes;
}

void writePackage(const PackagePlan& plan, const fs::path& outDir) {
    fs::path partial = outDir;
    partial += ".tlvkit-partial";
    fs::remove_all(partial);
    try {
        writeInto(plan, partial);
        fs::remove_all(outDir);
        fs::rename(partial, outDir);
    } catch (...) {
        std::error_code ignored;
        fs::remove_all(partial, ignored);
        throw;
    }
}

}  // namespace tlvkit
