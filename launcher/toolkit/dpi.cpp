#include "toolkit/dpi.h"

namespace toolkit {
namespace {

// As Windows 10's headers declare them; the build targets Windows 7.
using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);

struct DpiFunctions {
    GetDpiForWindowFunction dpi_for_window = nullptr;
    AdjustWindowRectExForDpiFunction adjust_window_rect = nullptr;
    GetSystemMetricsForDpiFunction system_metrics = nullptr;
};

template <class Function>
Function user32_function(const char* name) {
    // user32 is loaded already: the exe links it.
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
               : nullptr;
}

const DpiFunctions& dpi_functions() {
    static const DpiFunctions functions{
        user32_function<GetDpiForWindowFunction>("GetDpiForWindow"),
        user32_function<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi"),
        user32_function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi")};
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
