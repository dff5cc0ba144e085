#pragma once

// Reading a whole regular file into memory. Anything else of that name (a folder, a FIFO, a
// device) is refused before a read could block on it. Paths are UTF-8; they are converted
// only at the system call.

#include <cstddef>
#include <limits>
#include <optional>
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

struct FileContents {
    std::string bytes;
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
