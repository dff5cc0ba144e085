#pragma once

// Window subclassing with user32 alone, as comctl32's SetWindowSubclass does it: each window
// keeps a chain of procedures, each with an id and a piece of data; the newest answers first
// and passes a message on with def_subclass_proc. Without comctl32 the launcher needs no
// common-controls library at all, whose loading cost a good part of its start-up.

#include <windows.h>

namespace toolkit {

using SubclassProc = LRESULT(CALLBACK*)(HWND window, UINT msg, WPARAM wparam, LPARAM lparam,
                                        UINT_PTR id, DWORD_PTR data);

// Puts `proc` with `id` in front of the window's procedures, or gives the one already there
// new data. False when the window's procedure cannot be replaced.
bool set_window_subclass(HWND window, SubclassProc proc, UINT_PTR id, DWORD_PTR data);

// Takes `proc` with `id` out of the chain; may be called from inside it, even while the
// window goes (WM_NCDESTROY). False when it was not there.
bool remove_window_subclass(HWND window, SubclassProc proc, UINT_PTR id);

// Inside a subclass procedure: passes the message to the next one in the chain, and after the
// last to the window's own procedure.
LRESULT def_subclass_proc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam);

}  // namespace toolkit
