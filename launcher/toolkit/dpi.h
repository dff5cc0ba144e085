#pragma once

// The windows are laid out in pixels of a 96-dpi screen; on a denser one every length is
// scaled by its dots per inch over 96, rounded as Windows rounds (MulDiv: to the nearest,
// halves away from zero). Functions the system has only since Windows 10 are looked up by
// name, so that the launcher still starts on older systems, which then get 96 dpi.

#include <windows.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace toolkit {

inline constexpr int layout_dpi = 96;

// A length of the layout at `dpi`.
inline int scaled(int length, int dpi) {
    return MulDiv(length, dpi, layout_dpi);
}

// A rectangle of the layout at `dpi`: its left, top, width and height scaled each.
RECT scaled(const RECT& layout, int dpi);

// The dots per inch `window` is drawn at (its monitor's for a program aware of them).
int window_dpi(HWND window);

// The window rectangle around a client area of `client_width` x `client_height` at `dpi`.
RECT window_rect_for_client(int client_width, int client_height, DWORD style, DWORD ex_style,
                            int dpi);

// GetSystemMetrics at `dpi`.
int system_metric(int index, int dpi);

}  // namespace toolkit
