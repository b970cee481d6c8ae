// Owners for the platform's handles, so that every path closes them.
#pragma once

#include "platform/platform.h"

namespace platform {

template <typename Handle, void (*Close)(Handle)>
class ScopedHandle {
public:
    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : handle_(handle) {}
    ~ScopedHandle() { reset(); }

    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = other.release();
        }
        return *this;
    }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

    Handle release() {
        Handle handle = handle_;
        handle_ = nullptr;
        return handle;
    }

    // Closes now; used where the order of closing matters.
    void reset() {
        if (handle_ != nullptr) Close(handle_);
        handle_ = nullptr;
    }

private:
    Handle handle_ = nullptr;
};

using ScopedFile = ScopedHandle<FileHandle, closeFile>;
using ScopedRegistryKey = ScopedHandle<RegistryKey, closeRegistryKey>;

}  // namespace platform
