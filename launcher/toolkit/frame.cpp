#include "toolkit/frame.h"

#include <dwmapi.h>
#include <uxtheme.h>
#include <windowsx.h>

#include "platform/win32/system_library.h"
#include "toolkit/application.h"
#include "toolkit/dpi.h"

namespace toolkit {
namespace {

CaptionButton caption_button_of(WPARAM hit) {
    if (hit == HTCLOSE) return CaptionButton::close;
    if (hit == HTMINBUTTON) return CaptionButton::minimize;
    return CaptionButton::none;
}

// The compositor's and the visual styles' functions, from DLLs that are no known DLLs.
struct FrameFunctions {
    platform::SystemLibrary dwmapi{L"dwmapi.dll"};
    platform::SystemLibrary uxtheme{L"uxtheme.dll"};
    decltype(::DwmSetWindowAttribute)* set_window_attribute =
        dwmapi.find<decltype(::DwmSetWindowAttribute)>("DwmSetWindowAttribute");
    decltype(::SetWindowTheme)* set_window_theme =
        uxtheme.find<decltype(::SetWindowTheme)>("SetWindowTheme");
};

const FrameFunctions& frame_functions() {
    static const FrameFunctions functions;
    return functions;
}

// The toolkit paints the frame itself: the desktop compositor and the visual styles would
// otherwise draw their own over it. A system without one of them has nothing to turn off.
void take_over_frame(HWND window) {
    const FrameFunctions& system = frame_functions();
    const DWMNCRENDERINGPOLICY policy = DWMNCRP_DISABLED;
    if (system.set_window_attribute)
        system.set_window_attribute(window, DWMWA_NCRENDERING_POLICY, &policy, sizeof(policy));
    if (system.set_window_theme) system.set_window_theme(window, L"", L"");
}

}  // namespace

SkinnedFrame::SkinnedFrame(Application& application, bool minimize_box)
    : application_(application), minimize_box_(minimize_box) {}

void SkinnedFrame::attach(HWND window, HICON icon) {
    window_ = window;
    icon_ = icon;
    take_over_frame(window);
}

WindowRects window_rects(HWND window) {
    RECT screen{};
    GetWindowRect(window, &screen);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    WindowRects rects{{0, 0, screen.right - screen.left, screen.bottom - screen.top}, {}};
    GetClientRect(window, &rects.client);
    OffsetRect(&rects.client, origin.x - screen.left, origin.y - screen.top);
    return rects;
}

FrameLayout SkinnedFrame::layout() const {
    const WindowRects rects = window_rects(window_);
    const int dpi = this->dpi();
    return layout_frame(rects.window, rects.client, minimize_box_,
                        icon_ ? system_metric(SM_CXSMICON, dpi) : 0, dpi);
}

int SkinnedFrame::dpi() const {
    return dpi_ ? dpi_ : window_dpi(window_);
}

FrameLook SkinnedFrame::look() const {
    return {.dpi = dpi(),
            .active = active_,
            .hot = pressed_button_ == CaptionButton::none ? hot_button_ : CaptionButton::none,
            .pressed = pressed_inside_ ? pressed_button_ : CaptionButton::none};
}

void SkinnedFrame::paint(HDC dc) const {
    const FrameLayout parts = layout();
    const int width = parts.window.right;
    const int height = parts.window.bottom;
    wchar_t title[256]{};
    GetWindowTextW(window_, title, 256);
    // Drawn aside and copied in one go, so that hovering a caption button does not flicker.
    MemoryDc memory(CreateCompatibleDC(dc));
    BitmapHandle bitmap(CreateCompatibleBitmap(dc, width, height));
    Selected canvas(memory.get(), bitmap.get());
    application_.skin().paint_frame(memory.get(), parts, title, icon_,
                                    application_.caption_font(dpi()), look());
    const int saved = SaveDC(dc);
    ExcludeClipRect(dc, parts.client.left, parts.client.top, parts.client.right,
                    parts.client.bottom);
    BitBlt(dc, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
    RestoreDC(dc, saved);
}

void SkinnedFrame::repaint() const {
    if (!window_ || !IsWindowVisible(window_) || IsIconic(window_)) return;
    HDC dc = GetWindowDC(window_);
    paint(dc);
    ReleaseDC(window_, dc);
}

void SkinnedFrame::set_hot_button(CaptionButton button) {
    if (button == hot_button_) return;
    hot_button_ = button;
    repaint();
}

// Mouse messages of the client area while a caption button is held: over that button?
bool SkinnedFrame::over_pressed_button(LPARAM client_point) const {
    const FrameLayout parts = layout();
    const POINT at{GET_X_LPARAM(client_point) + parts.client.left,
                   GET_Y_LPARAM(client_point) + parts.client.top};
    return parts.button_at(at) == pressed_button_;
}

void SkinnedFrame::release_caption_button(LPARAM client_point) {
    const CaptionButton button = pressed_button_;
    const bool inside = over_pressed_button(client_point);
    pressed_button_ = CaptionButton::none;
    pressed_inside_ = false;
    ReleaseCapture();
    repaint();
    if (inside)
        SendMessageW(window_, WM_SYSCOMMAND,
                     button == CaptionButton::close ? SC_CLOSE : SC_MINIMIZE, 0);
}

LRESULT SkinnedFrame::hit_test(LPARAM lparam, const std::function<LRESULT()>& by_default) const {
    const FrameLayout parts = layout();
    RECT window{};
    GetWindowRect(window_, &window);
    const POINT at{GET_X_LPARAM(lparam) - window.left, GET_Y_LPARAM(lparam) - window.top};
    switch (parts.button_at(at)) {
        case CaptionButton::close:
            return HTCLOSE;
        case CaptionButton::minimize:
            return HTMINBUTTON;
        case CaptionButton::none:
            break;
    }
    const LRESULT result = by_default();
    // Where the system would have its own boxes, this window shows its title bar.
    if (result == HTCLOSE || result == HTMINBUTTON || result == HTMAXBUTTON || result == HTHELP)
        return HTCAPTION;
    return result;
}

// The system keeps the frame's sizes, hit testing, dragging, system menu and keys; the
// toolkit paints the frame and works the caption buttons it painted.
bool SkinnedFrame::message(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result,
                           const DefaultProc& default_proc) {
    if (!window_) return false;  // still being made
    const auto by_default = [&] { return default_proc(msg, wparam, lparam); };
    switch (msg) {
        case WM_NCPAINT:
            if (IsIconic(window_)) return false;
            repaint();
            result = 0;
            return true;
        case WM_NCACTIVATE:
            active_ = wparam != FALSE;
            if (IsIconic(window_)) return false;
            // -1: the system changes the state without painting its own caption.
            result = default_proc(msg, wparam, -1);
            repaint();
            return true;
        case WM_NCHITTEST:
            result = hit_test(lparam, by_default);
            return true;
        case WM_SETTEXT:
        case WM_SETICON:
        case WM_EXITMENULOOP:
        case WM_EXITSIZEMOVE:
            // The system paints its caption straight away on these.
            result = by_default();
            repaint();
            return true;
        default:
            return mouse_message(msg, wparam, lparam, result, default_proc);
    }
}

// The mouse over the caption buttons the frame painted.
bool SkinnedFrame::mouse_message(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result,
                                 const DefaultProc& default_proc) {
    switch (msg) {
        case WM_NCMOUSEMOVE:
            if (!tracking_leave_) {
                TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE | TME_NONCLIENT, window_,
                                      0};
                tracking_leave_ = TrackMouseEvent(&track) != FALSE;
            }
            set_hot_button(caption_button_of(wparam));
            if (hot_button_ == CaptionButton::none) return false;
            result = 0;
            return true;
        case WM_NCMOUSELEAVE:
            tracking_leave_ = false;
            set_hot_button(CaptionButton::none);
            return false;
        case WM_MOUSEMOVE:
            if (pressed_button_ != CaptionButton::none) {
                if (const bool inside = over_pressed_button(lparam); inside != pressed_inside_) {
                    pressed_inside_ = inside;
                    repaint();
                }
            } else {
                set_hot_button(CaptionButton::none);
            }
            return false;
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
            if (const CaptionButton button = caption_button_of(wparam);
                button != CaptionButton::none) {
                pressed_button_ = button;
                pressed_inside_ = true;
                SetCapture(window_);
                repaint();
                result = 0;
                return true;
            }
            // Dragging by the title bar, the system menu: the system's, then the frame again.
            result = default_proc(msg, wparam, lparam);
            repaint();
            return true;
        case WM_LBUTTONUP:
            if (pressed_button_ == CaptionButton::none) return false;
            release_caption_button(lparam);
            result = 0;
            return true;
        case WM_CAPTURECHANGED:
            if (pressed_button_ != CaptionButton::none &&
                reinterpret_cast<HWND>(lparam) != window_) {
                pressed_button_ = CaptionButton::none;
                pressed_inside_ = false;
                repaint();
            }
            return false;
        default:
            return false;
    }
}

}  // namespace toolkit
