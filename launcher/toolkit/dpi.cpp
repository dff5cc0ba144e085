#include "toolkit/dpi.h"

#include "platform/win32/system_library.h"

namespace toolkit {
namespace {

// As Windows 10's headers declare them; the build targets Windows 7.
using GetDpiForWindowFunction = UINT WINAPI(HWND);
using AdjustWindowRectExForDpiFunction = BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT);
using GetSystemMetricsForDpiFunction = int WINAPI(int, UINT);

struct DpiFunctions {
    GetDpiForWindowFunction* dpi_for_window = nullptr;
    AdjustWindowRectExForDpiFunction* adjust_window_rect = nullptr;
    GetSystemMetricsForDpiFunction* system_metrics = nullptr;
};

const DpiFunctions& dpi_functions() {
    // Windows 10's: found by name, so that the exe still starts on Windows 7.
    static const platform::SystemLibrary user32(L"user32.dll");
    static const DpiFunctions functions{
        user32.find<GetDpiForWindowFunction>("GetDpiForWindow"),
        user32.find<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi"),
        user32.find<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi")};
    return functions;
}

}  // namespace

RECT scaled(const RECT& layout, int dpi) {
    const int left = scaled(layout.left, dpi);
    const int top = scaled(layout.top, dpi);
    return {left, top, left + scaled(layout.right - layout.left, dpi),
            top + scaled(layout.bottom - layout.top, dpi)};
}

int window_dpi(HWND window) {
    if (const auto function = dpi_functions().dpi_for_window)
        if (const UINT dpi = function(window)) return static_cast<int>(dpi);
    return layout_dpi;
}

RECT window_rect_for_client(int client_width, int client_height, DWORD style, DWORD ex_style,
                            int dpi) {
    RECT outer{0, 0, scaled(client_width, dpi), scaled(client_height, dpi)};
    if (const auto adjust = dpi_functions().adjust_window_rect)
        adjust(&outer, style, FALSE, ex_style, static_cast<UINT>(dpi));
    else
        AdjustWindowRectEx(&outer, style, FALSE, ex_style);
    return outer;
}

int system_metric(int index, int dpi) {
    if (const auto function = dpi_functions().system_metrics)
        return function(index, static_cast<UINT>(dpi));
    return GetSystemMetrics(index);
}

}  // namespace toolkit
