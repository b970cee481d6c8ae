// The byte-shift copy. It never destroys the former destination: the shifted
// bytes go to a temporary file beside it, which replaces the destination in
// one step only once it is complete.
#include "actions/stages.h"

#include <cstddef>
#include <cstdint>

#include "actions/temporary_beside.h"
#include "platform/platform.h"
#include "platform/scoped_handles.h"
#include "settings/patch_context.h"

namespace {

constexpr std::uint32_t BLOCK_SIZE = 1024;

// The temporary file while it is written: closed, and removed unless it was
// moved into place, on every way out.
class TemporaryFile {
public:
    explicit TemporaryFile(const char* path)
        : path_(path), file_(platform::createFileForWriting(path)), created_(static_cast<bool>(file_)) {}
    ~TemporaryFile() {
        file_.reset();
        if (created_ && !movedIntoPlace_) removeFile(path_);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool isOpen() const { return created_ && static_cast<bool>(file_); }
    platform::FileHandle handle() const { return file_.get(); }
    void close() { file_.reset(); }
    bool moveOnto(const char* destinationPath) {
        movedIntoPlace_ = platform::moveFileReplacing(path_, destinationPath);
        return movedIntoPlace_;
    }

private:
    const char* path_;
    platform::ScopedFile file_;
    bool created_;
    bool movedIntoPlace_ = false;
};

// Streams the source through one block, shifted in place. Only a read of 0
// bytes ends the source; a short read is just a short block.
bool copyShifted(char direction, platform::FileHandle source, platform::FileHandle destination) {
    unsigned char block[BLOCK_SIZE];
    const unsigned char step = direction == '+' ? 1 : 0xFF;  // 0xFF: minus one, modulo 256
    for (;;) {
        std::uint32_t bytesRead = 0;
        if (!platform::readFile(source, block, BLOCK_SIZE, &bytesRead) || bytesRead > BLOCK_SIZE) return false;
        if (bytesRead == 0) return true;
        for (std::uint32_t i = 0; i < bytesRead; ++i) block[i] = static_cast<unsigned char>(block[i] + step);
        if (!platform::writeFile(destination, block, bytesRead)) return false;
    }
}

// The copy is whole without them: failures here are ignored.
void carryTimesAndAttributes(platform::FileHandle source, const char* sourcePath,
                             platform::FileHandle destination, const char* destinationPath) {
    platform::FileTimes times{};
    if (platform::getFileTimes(source, &times)) platform::setFileTimes(destination, times);
    const std::uint32_t attributes = platform::fileAttributes(sourcePath);
    if (attributes != platform::INVALID_ATTRIBUTES) platform::setFileAttributes(destinationPath, attributes);
}

bool isReadOnly(const char* path) {
    const std::uint32_t attributes = platform::fileAttributes(path);
    return attributes != platform::INVALID_ATTRIBUTES && (attributes & platform::ATTRIBUTE_READONLY) != 0;
}

}  // namespace

int shiftCopyFile(char direction, const char* sourcePath, const char* destinationPath) {
    try {
        platform::ScopedFile source(platform::openFileForReading(sourcePath));
        if (!source) return -1;

        char temporaryPath[PATH_FIELD] = {};
        if (!temporaryPathBeside(destinationPath, temporaryPath)) return -1;
        if (platform::fileAttributes(temporaryPath) != platform::INVALID_ATTRIBUTES) removeFile(temporaryPath);

        TemporaryFile temporary(temporaryPath);
        if (!temporary.isOpen()) return -1;
        const bool written =
            copyShifted(direction, source.get(), temporary.handle()) && platform::flushFile(temporary.handle());
        if (written) carryTimesAndAttributes(source.get(), sourcePath, temporary.handle(), temporaryPath);
        source.reset();
        temporary.close();

        // Windows refuses to replace a read-only file but Wine does not: refuse
        // it here so that both behave alike.
        if (!written || isReadOnly(destinationPath)) return -1;
        return temporary.moveOnto(destinationPath) ? 0 : -1;
    } catch (...) {
        return -1;
    }
}
