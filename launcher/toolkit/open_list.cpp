#include "toolkit/open_list.h"

#include <windowsx.h>

#include <algorithm>

#include "toolkit/application.h"
#include "toolkit/dpi.h"

namespace toolkit {

ListGeometry ComboBox::OpenList::geometry() const {
    ListGeometry geometry;
    const WindowRects rects = window_rects(window_);
    geometry.window = rects.window;
    geometry.client = rects.client;
    geometry.track = {geometry.client.right, geometry.client.top,
                      geometry.client.right + scaled(scroll_indicator_width, form_.dpi()),
                      geometry.client.bottom};
    const auto row = std::max<LRESULT>(1, SendMessageW(window_, LB_GETITEMHEIGHT, 0, 0));
    geometry.position.count = static_cast<int>(SendMessageW(window_, LB_GETCOUNT, 0, 0));
    geometry.position.top = static_cast<int>(SendMessageW(window_, LB_GETTOPINDEX, 0, 0));
    geometry.position.visible =
        static_cast<int>((geometry.client.bottom - geometry.client.top) / row);
    return geometry;
}

POINT ComboBox::OpenList::in_window(LPARAM position) const {
    const ListGeometry parts = geometry();
    return POINT{GET_X_LPARAM(position) + parts.client.left,
                 GET_Y_LPARAM(position) + parts.client.top};
}

void ComboBox::OpenList::paint_frame(bool border) const {
    SkinManager& skin = application().skin();
    const ListGeometry parts = geometry();
    HDC dc = GetWindowDC(window_);
    if (border)
        FrameRect(dc, &parts.window,
                  skin.brush(skin.color(Section::combo_box, Property::border, State::focused)));
    const State thumb = drag_offset_ ? State::pressed : thumb_hot_ ? State::hot : State::normal;
    skin.paint_scroll_indicator(dc, parts.track, parts.position, thumb, form_.dpi());
    ReleaseDC(window_, dc);
}

// Whatever scrolled the list (keys, wheel, a new selection), the indicator follows.
void ComboBox::OpenList::follow_scroll() {
    if (following_ || !window_ || !IsWindowVisible(window_)) return;
    following_ = true;
    const int top = static_cast<int>(SendMessageW(window_, LB_GETTOPINDEX, 0, 0));
    const int count = static_cast<int>(SendMessageW(window_, LB_GETCOUNT, 0, 0));
    if (top != painted_top_ || count != painted_count_) {
        painted_top_ = top;
        painted_count_ = count;
        paint_frame(false);
    }
    following_ = false;
}

void ComboBox::OpenList::scroll_to(int top) {
    const ScrollPosition position = geometry().position;
    SendMessageW(window_, LB_SETTOPINDEX, static_cast<WPARAM>(std::clamp(top, 0, position.range())),
                 0);
    paint_frame(false);
}

void ComboBox::OpenList::press_indicator(POINT at) {
    indicator_pressed_ = true;
    if (GetCapture() != window_) {
        SetCapture(window_);
        took_capture_ = true;
    }
    const ListGeometry parts = geometry();
    const RECT thumb = scroll_thumb(parts.track, parts.position, form_.dpi());
    if (IsRectEmpty(&thumb)) return;
    if (at.y < thumb.top) {
        scroll_to(parts.position.top - parts.position.visible);
    } else if (at.y >= thumb.bottom) {
        scroll_to(parts.position.top + parts.position.visible);
    } else {
        drag_offset_ = at.y - thumb.top;
        paint_frame(false);
    }
}

void ComboBox::OpenList::drag_thumb(POINT at) {
    const ListGeometry parts = geometry();
    scroll_to(scroll_top_for_thumb(parts.track, parts.position,
                                   static_cast<int>(at.y - *drag_offset_), form_.dpi()));
}

void ComboBox::OpenList::end_indicator_press() {
    indicator_pressed_ = false;
    drag_offset_.reset();
    // A drag may end anywhere: hot only if let go over the indicator.
    POINT cursor{};
    GetCursorPos(&cursor);
    RECT screen{};
    GetWindowRect(window_, &screen);
    thumb_hot_ = geometry().on_indicator({cursor.x - screen.left, cursor.y - screen.top});
    if (took_capture_) {
        took_capture_ = false;
        ReleaseCapture();
    }
    paint_frame(false);
}

// The frame's messages: the indicator lies right of the client area, in the frame.
bool ComboBox::OpenList::message(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    switch (msg) {
        case WM_NCCALCSIZE: {
            result = def_subclass_proc(window_, msg, wparam, lparam);
            RECT& client = wparam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(lparam)->rgrc[0]
                                  : *reinterpret_cast<RECT*>(lparam);
            client.right -= scaled(scroll_indicator_width, form_.dpi());
            return true;
        }
        case WM_NCPAINT:
            result = def_subclass_proc(window_, msg, wparam, lparam);
            paint_frame(true);
            return true;
        case WM_NCHITTEST: {
            result = def_subclass_proc(window_, msg, wparam, lparam);
            RECT screen{};
            GetWindowRect(window_, &screen);
            // The indicator takes the mouse like the items do.
            if (geometry().on_indicator(
                    {GET_X_LPARAM(lparam) - screen.left, GET_Y_LPARAM(lparam) - screen.top}))
                result = HTCLIENT;
            return true;
        }
        case WM_SHOWWINDOW:
            thumb_hot_ = false;
            painted_top_ = painted_count_ = -1;
            return false;
        default:
            return mouse_message(msg, wparam, lparam, result);
    }
}

// Mouse positions arrive in the list's client coordinates; the indicator is found in window
// coordinates.
bool ComboBox::OpenList::mouse_message(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    result = 0;
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            const POINT at = in_window(lparam);
            if (!geometry().on_indicator(at)) return false;
            press_indicator(at);
            return true;
        }
        case WM_MOUSEMOVE: {
            const POINT at = in_window(lparam);
            if (drag_offset_) {
                drag_thumb(at);
                return true;
            }
            const bool hot = geometry().on_indicator(at);
            if (hot != thumb_hot_) {
                thumb_hot_ = hot;
                paint_frame(false);
            }
            // Over the indicator the items keep their highlight.
            return hot || indicator_pressed_;
        }
        case WM_LBUTTONUP:
            if (!indicator_pressed_) return false;
            end_indicator_press();
            return true;
        case WM_CAPTURECHANGED:
            if (drag_offset_ && reinterpret_cast<HWND>(lparam) != window_) {
                drag_offset_.reset();
                indicator_pressed_ = false;
                took_capture_ = false;
                paint_frame(false);
            }
            return false;
        case WM_MOUSEWHEEL: {
            // Lines as the system is set to scroll them, the same on every system version.
            UINT lines = 3;
            SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
            const int notches = GET_WHEEL_DELTA_WPARAM(wparam) / WHEEL_DELTA;
            scroll_to(geometry().position.top - notches * static_cast<int>(lines));
            return true;
        }
        default:
            return false;
    }
}

LRESULT ComboBox::OpenList::subclass_message(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
    LRESULT result = 0;
    if (!message(msg, wparam, lparam, result))
        result = def_subclass_proc(window, msg, wparam, lparam);
    follow_scroll();
    return result;
}

// ---- the drop-down list itself ----

}  // namespace toolkit
