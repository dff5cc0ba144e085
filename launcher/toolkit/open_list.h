#pragma once

// The open list of a drop-down list: its own window, subclassed so that its border takes the
// skin's colour and a slim skinned indicator beside the items stands in for the system's
// scroll bar. Private to the drop-down list.

#include <windows.h>

#include <optional>

#include "toolkit/application.h"
#include "toolkit/combo_box.h"
#include "toolkit/form.h"
#include "toolkit/skin_manager.h"
#include "toolkit/subclass.h"

namespace toolkit {

// The open list's scroll indicator, beside its items.
inline constexpr int scroll_indicator_width = 7;

// The open list's frame, in its window's coordinates.
struct ListGeometry {
    RECT window{};
    RECT client{};
    RECT track{};  // the indicator, right of the items
    ScrollPosition position;

    bool on_indicator(POINT at) const { return PtInRect(&track, at) != FALSE; }
};

// The open list's own window: its border in the skin's colour and, instead of the system's
// scroll bar, a slim skinned indicator beside the items that follows the wheel and the keys
// and can be dragged.
class ComboBox::OpenList {
  public:
    OpenList(const Form& form, HWND window) : form_(form), window_(window) {
        set_window_subclass(window_, guarded_subclass_proc<OpenList>, 0,
                            reinterpret_cast<DWORD_PTR>(this));
        // The frame was measured before the subclass: measure it again with the indicator.
        SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ~OpenList() {
        if (window_) remove_window_subclass(window_, guarded_subclass_proc<OpenList>, 0);
    }
    OpenList(const OpenList&) = delete;
    OpenList& operator=(const OpenList&) = delete;

  private:
    template <class Owner>
    friend LRESULT CALLBACK guarded_subclass_proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR,
                                                  DWORD_PTR) noexcept;
    Application& application() const { return form_.application(); }
    LRESULT subclass_message(HWND window, UINT msg, WPARAM wparam, LPARAM lparam);
    void subclass_ended(HWND) { window_ = nullptr; }
    bool message(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result);
    bool mouse_message(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result);
    ListGeometry geometry() const;
    // A mouse position in the list's client coordinates, in its window's.
    POINT in_window(LPARAM position) const;
    void paint_frame(bool border) const;
    void follow_scroll();
    void press_indicator(POINT at);
    void drag_thumb(POINT at);
    void end_indicator_press();
    void scroll_to(int top);

    const Form& form_;
    HWND window_;
    bool thumb_hot_ = false;
    bool indicator_pressed_ = false;   // the left button went down on the indicator
    bool took_capture_ = false;        // and the list had not the mouse before
    std::optional<LONG> drag_offset_;  // the thumb is held this far below its top
    int painted_top_ = -1;
    int painted_count_ = -1;
    bool following_ = false;
};

}  // namespace toolkit
