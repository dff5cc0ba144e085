#pragma once

// The DLLs a Windows executable names in its headers, read from the file itself: those the
// loader resolves before the program runs (the import directory) and those resolved at the
// first call (the delay-load import directory).

#include <string>
#include <string_view>
#include <vector>

namespace imports_test {

struct ImportedDlls {
    std::vector<std::string> at_load;  // in the file's order and spelling
    std::vector<std::string> delayed;
};

// Throws std::runtime_error when `image` is no well-formed PE file.
ImportedDlls read_imported_dlls(std::string_view image);

}  // namespace imports_test
