#include "core/application_directory.h"

namespace launcher {

std::string directory_of(std::string_view executable_path) {
    const auto cut = executable_path.find_last_of("\\/");
    if (cut == std::string_view::npos) return {};
    return std::string(executable_path.substr(0, cut + 1));
}

}  // namespace launcher
