#pragma once

// Owners of the system's file handles: each closes its handle once, at the end of its life
// or earlier on request, so that the caller can see whether closing succeeded.

#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace kit {

// `Traits` names the handle's type, its empty value and how the system closes it.
template <class Traits>
class UniqueHandle {
  public:
    using Value = typename Traits::Value;

    UniqueHandle() = default;
    explicit UniqueHandle(Value value) : value_(value) {}
    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            close();
            value_ = other.release();
        }
        return *this;
    }
    ~UniqueHandle() { close(); }

    Value get() const { return value_; }
    bool valid() const { return value_ != Traits::empty; }
    // The handle, no longer owned.
    Value release() { return std::exchange(value_, Traits::empty); }
    // True when there was nothing to close or the system closed it.
    bool close() { return !valid() || Traits::close(release()); }

  private:
    Value value_ = Traits::empty;
};

#ifdef _WIN32

struct FileHandleTraits {
    using Value = HANDLE;
    static inline const HANDLE empty = INVALID_HANDLE_VALUE;
    static bool close(HANDLE handle) { return CloseHandle(handle) != 0; }
};
using FileHandle = UniqueHandle<FileHandleTraits>;

struct FindHandleTraits {
    using Value = HANDLE;
    static inline const HANDLE empty = INVALID_HANDLE_VALUE;
    static bool close(HANDLE handle) { return FindClose(handle) != 0; }
};
using FindHandle = UniqueHandle<FindHandleTraits>;

#else

struct FileDescriptorTraits {
    using Value = int;
    static constexpr int empty = -1;
    static bool close(int fd) { return ::close(fd) == 0; }
};
using FileDescriptor = UniqueHandle<FileDescriptorTraits>;

#endif

}  // namespace kit
