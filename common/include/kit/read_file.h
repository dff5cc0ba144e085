#pragma once

// Reading a whole regular file into memory. Anything else of that name (a folder, a FIFO, a
// device) is refused before a read could block on it. Paths are UTF-8; they are converted
// only at the system call.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kit {

enum class ReadFailure {
    missing,      // nothing of that name
    not_regular,  // a folder, a FIFO, a device or a pipe
    cannot_open,  // there, but not to be opened (locked, no permission)
    too_big,      // larger than the caller allows, or no memory for it
    read_failed,  // the system failed a read, or the file ended early
};

// Bytes on the heap, left unset when allocated: a read overwrites them all, and setting
// hundreds of megabytes to zero first would cost more than the rest of the work on them.
class ByteBuffer {
  public:
    ByteBuffer() = default;
    // Throws std::bad_alloc when there is no memory for it.
    explicit ByteBuffer(std::size_t size)
        : lines_(std::make_unique_for_overwrite<CacheLine[]>(size / sizeof(CacheLine) + 1)),
          size_(size) {}

    std::size_t size() const { return size_; }
    std::span<std::uint8_t> span() { return {data(), size_}; }
    std::span<const std::uint8_t> span() const { return {data(), size_}; }
    std::string_view view() const { return {reinterpret_cast<const char*>(data()), size_}; }

  private:
    // The system copies a read into memory at full speed only from a cache line's start: 16
    // bytes past one, as the heap hands out, made reading 700 MB a quarter slower.
    struct alignas(64) CacheLine {
        std::uint8_t bytes[64];
    };

    std::uint8_t* data() const { return reinterpret_cast<std::uint8_t*>(lines_.get()); }

    std::unique_ptr<CacheLine[]> lines_;
    std::size_t size_ = 0;
};

struct FileContents {
    ByteBuffer bytes;
    std::optional<ReadFailure> failure;
    std::string reason;  // the system's reason for a failure, when it gave one (for a
                         // folder, what the system says when it is opened or read as a file)

    bool ok() const { return !failure; }
};

// The bytes of the regular file at `utf8_path`; at most `size_limit` bytes are accepted.
FileContents read_regular_file(std::string_view utf8_path,
                               std::size_t size_limit = std::numeric_limits<std::size_t>::max());

// True when `utf8_path` names a regular file (links followed); a folder counts as missing.
bool regular_file_exists(std::string_view utf8_path);

}  // namespace kit
