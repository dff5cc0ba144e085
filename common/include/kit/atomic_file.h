#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kit {

// The operating system's text for its last error (errno or GetLastError), in UTF-8,
// without a trailing full stop or line break. Never the text for success: a failure whose
// code was left at 0 still gets a reason.
std::string last_system_error();

// Replaces `target` (a UTF-8 path) with `bytes` so that a crash, a power loss or a full disk
// never leaves a torn file: the target is either the old file or the new one, whole.
//
// - The bytes go to a new file beside the target, named
//   "<target's name>.incomplete-write-<process id>-<number>.tmp", flushed to the disk, then
//   moved over the target. The rename is made durable as well: on POSIX the folder is
//   synced after it, on Windows the move is written through.
// - A write that was killed leaves its temporary file behind. Each later write of the same
//   target first removes the files of exactly that shape for exactly that target which no
//   running write holds (and the "<target's name>.<digits>-<digits>-<digits>.tmp" that
//   earlier builds left); nothing else in the folder is touched. A running writer holds its
//   file until it has been moved (POSIX: an flock; Windows: its open handle, which keeps
//   the cleanup's exclusive open out).
//
// Returns nothing on success, otherwise the system's reason; on failure the temporary file
// is removed and an existing target is left byte for byte as it was.
std::optional<std::string> replace_file_atomically(std::string_view target, std::string_view bytes);

}  // namespace kit
