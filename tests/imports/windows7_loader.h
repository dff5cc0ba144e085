#pragma once

// The loader of Windows 7 SP1 without its 2011 loader update (KB2533623): it refuses the
// search flags of LoadLibraryExW as invalid, and the functions newer than Windows 7 that the
// launcher looks up by name are not there (the update's search-path functions and the
// density functions of Windows 10).

#include "platform/win32/system_library.h"

namespace imports_test {

platform::Loader windows7_loader();

}  // namespace imports_test
