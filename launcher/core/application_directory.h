#pragma once

// The launcher's application directory: the folder of its executable, every file it reads,
// writes or starts being found there.

#include <string>
#include <string_view>

namespace launcher {

// The folder of an executable, with its trailing separator: the path cut after its last
// separator ('\\' or '/').
std::string directory_of(std::string_view executable_path);

}  // namespace launcher
