#include "toolkit/control.h"

#include <stdexcept>

#include "kit/text.h"
#include "toolkit/application.h"
#include "toolkit/dpi.h"
#include "toolkit/form.h"
#include "toolkit/group_box.h"
#include "toolkit/skin_manager.h"
#include "toolkit/subclass.h"

namespace toolkit {

Control::Control(Form& form, const ControlSpec& spec, int id)
    : form_(form),
      kind_(spec.kind),
      name_(spec.name),
      caption_(spec.caption),
      layout_{spec.left, spec.top, spec.left + spec.width, spec.top + spec.height},
      bounds_(layout_),
      id_(id),
      enabled_(spec.enabled),
      tab_stop_(spec.tab_stop && spec.kind != ControlKind::group_box) {}

Control::~Control() = default;

HWND Control::parent_window() const {
    return parent_ ? parent_->handle() : form_.handle();
}

void Control::create_window(const wchar_t* window_class, DWORD style, DWORD ex_style,
                            int window_height) {
    const std::wstring caption = kit::text::widen(caption_);
    style |= WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    if (tab_stop_) style |= WS_TABSTOP;
    if (!enabled_) style |= WS_DISABLED;
    const int height = window_height ? window_height : bounds_.bottom - bounds_.top;
    handle_ = CreateWindowExW(ex_style, window_class, caption.c_str(), style, bounds_.left,
                              bounds_.top, bounds_.right - bounds_.left, height, parent_window(),
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)),
                              GetModuleHandleW(nullptr), nullptr);
    if (!handle_) throw std::runtime_error("Cannot create control " + name_);
    set_window_subclass(handle_, guarded_subclass_proc<Control>, 0,
                        reinterpret_cast<DWORD_PTR>(this));
    SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(form_.font()), FALSE);
}

void Control::scale_to(int dpi) {
    bounds_ = scaled(layout_, dpi);
    if (handle_) {
        MoveWindow(handle_, bounds_.left, bounds_.top, bounds_.right - bounds_.left,
                   bounds_.bottom - bounds_.top, FALSE);
        SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(form_.font()), FALSE);
    }
    rescaled();
}

void Control::set_caption(std::string_view caption) {
    caption_ = caption;
    if (handle_) SetWindowTextW(handle_, kit::text::widen(caption_).c_str());
    caption_changed();
    invalidate();
}

void Control::set_enabled(bool enabled) {
    enabled_ = enabled;
    if (handle_) EnableWindow(handle_, enabled);
    invalidate();
}

void Control::set_focus() {
    form_.set_active_control(*this);
}

bool Control::focused() const {
    return handle_ && GetFocus() == handle_;
}

void Control::invalidate() const {
    if (handle_) {
        InvalidateRect(handle_, nullptr, TRUE);
    } else if (HWND parent = parent_window()) {
        InvalidateRect(parent, &bounds_, TRUE);
    }
}

void Control::set_bounds(const RECT& bounds) {
    invalidate();
    bounds_ = bounds;
    if (handle_)
        MoveWindow(handle_, bounds.left, bounds.top, bounds.right - bounds.left,
                   bounds.bottom - bounds.top, TRUE);
    invalidate();
}

std::optional<LRESULT> Control::message(UINT, WPARAM, LPARAM) {
    return std::nullopt;
}

void Control::track_hot(UINT msg) {
    if (msg == WM_MOUSEMOVE && !hot_) {
        hot_ = true;
        TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, handle_, 0};
        TrackMouseEvent(&track);
        invalidate();
    } else if (msg == WM_MOUSELEAVE) {
        hot_ = false;
        invalidate();
    }
}

Application& Control::application() const {
    return form_.application();
}

LRESULT Control::subclass_message(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_SETFOCUS) form_.active_ = this;
    const std::optional<LRESULT> result = message(msg, wparam, lparam);
    return result ? *result : def_subclass_proc(window, msg, wparam, lparam);
}

}  // namespace toolkit
