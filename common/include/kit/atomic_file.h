#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kit {

// Paths are UTF-8 inside the kit; these convert at the file-system boundary.
std::filesystem::path path_from_utf8(std::string_view utf8);
std::string path_to_utf8(const std::filesystem::path& path);

// The operating system's text for its last error (errno or GetLastError), in UTF-8,
// without a trailing full stop or line break.
std::string last_system_error();

// Replaces `target` with `bytes` so that a crash or a full disk never leaves a torn file:
// the bytes go to a new temporary file in the target's folder, are flushed to the disk,
// and the temporary file is then moved over the target.
// Returns nothing on success, otherwise the system's reason; on failure the temporary file
// is removed and an existing target is left as it was.
std::optional<std::string> replace_file_atomically(const std::filesystem::path& target,
                                                   std::string_view bytes);

}  // namespace kit
