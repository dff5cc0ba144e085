#pragma once

// comctl32's functions, found at run time. Linked, comctl32 would be loaded before WinMain
// limits where DLLs are looked for, and what it loads as it starts (uxtheme.dll under Wine)
// would be looked for in the game folder first. Loaded later, it still comes from the
// side-by-side store that the manifest names, and its own DLLs from the system folder.

#include <windows.h>
// After <windows.h>:
#include <commctrl.h>

namespace toolkit {

struct CommonControls {
    decltype(::InitCommonControlsEx)* init_common_controls_ex = nullptr;
    decltype(::SetWindowSubclass)* set_window_subclass = nullptr;
    decltype(::RemoveWindowSubclass)* remove_window_subclass = nullptr;
    decltype(::DefSubclassProc)* def_subclass_proc = nullptr;
};

// Loads comctl32 on the first call; throws std::runtime_error when the system lacks it or
// one of the functions. The application makes the first call, before any window exists, so
// a failure reaches the start-up error box; later calls always find all of them.
const CommonControls& common_controls();

}  // namespace toolkit
