// Linked into a test build of the launcher: its start-up meets the loader of Windows 7 SP1
// without the 2011 loader update.

#include "windows7_loader.h"

namespace {

// Before WinMain, so before the launcher's first load.
[[maybe_unused]] const bool installed =
    (platform::set_loader(imports_test::windows7_loader()), true);

}  // namespace
