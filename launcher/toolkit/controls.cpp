#include "toolkit/controls.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "toolkit/application.h"
#include "toolkit/form.h"
#include "toolkit/skin_manager.h"
#include "toolkit/text.h"

namespace toolkit {
namespace {

// Items shown at once by an open drop-down list.
constexpr int dropped_items = 8;
// The open list's scroll indicator, beside its items.
constexpr int scroll_indicator_width = 7;

COLORREF to_colorref(const skin::Color& color) {
    return RGB(color.r, color.g, color.b);
}

// The screen's device context for measuring text, with the toolkit's font.
class MeasuringDc {
  public:
    explicit MeasuringDc(HFONT font) : dc_(GetDC(nullptr)), font_(dc_, font) {}
    ~MeasuringDc() { ReleaseDC(nullptr, dc_); }
    MeasuringDc(const MeasuringDc&) = delete;
    MeasuringDc& operator=(const MeasuringDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HDC dc_;
    Selected font_;
};

}  // namespace

// ---- Control ----

Control::Control(Form& form, const ControlSpec& spec, int id)
    : form_(form),
      kind_(spec.kind),
      name_(spec.name),
      caption_(spec.caption),
      bounds_{spec.left, spec.top, spec.left + spec.width, spec.top + spec.height},
      id_(id),
      enabled_(spec.enabled),
      tab_stop_(spec.tab_stop && spec.kind != ControlKind::group_box) {}

Control::~Control() = default;

HWND Control::parent_window() const {
    return parent_ ? parent_->handle() : form_.handle();
}

void Control::create_window(const wchar_t* window_class, DWORD style, DWORD ex_style,
                            int window_height) {
    const std::wstring caption = widen(caption_);
    style |= WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    if (tab_stop_) style |= WS_TABSTOP;
    if (!enabled_) style |= WS_DISABLED;
    const int height = window_height ? window_height : bounds_.bottom - bounds_.top;
    handle_ = CreateWindowExW(ex_style, window_class, caption.c_str(), style, bounds_.left,
                              bounds_.top, bounds_.right - bounds_.left, height, parent_window(),
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)),
                              GetModuleHandleW(nullptr), nullptr);
    if (!handle_) throw std::runtime_error("Cannot create control " + name_);
    SetWindowSubclass(handle_, subclass_proc, 0, reinterpret_cast<DWORD_PTR>(this));
    SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(form_.application().font()), FALSE);
}

void Control::set_caption(std::string_view caption) {
    caption_ = caption;
    if (handle_) SetWindowTextW(handle_, widen(caption_).c_str());
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

LRESULT Control::message(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
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

LRESULT CALLBACK Control::subclass_proc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam,
                                        UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<Control*>(data);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(window, subclass_proc, 0);
        self->handle_ = nullptr;
        return DefSubclassProc(window, msg, wparam, lparam);
    }
    if (msg == WM_SETFOCUS) self->form_.active_ = self;
    bool handled = false;
    const LRESULT result = self->message(msg, wparam, lparam, handled);
    return handled ? result : DefSubclassProc(window, msg, wparam, lparam);
}

// ---- Button ----

Button::Button(Form& form, const ControlSpec& spec, int id)
    : Control(form, spec, id),
      modal_result_(spec.modal_result),
      default_button_(spec.default_button) {}

void Button::created() {
    create_window(L"BUTTON", BS_OWNERDRAW);
}

void Button::click() {
    // Set before the handler runs, so that the dialog closes even when the handler fails.
    if (modal_result_ != ModalResult::none) form().set_modal_result(modal_result_);
    form().application().dispatch(on_click);
}

void Button::command(WORD code) {
    // An owner-drawn button reports a second quick click as a double click.
    if (code == BN_CLICKED || code == BN_DOUBLECLICKED) click();
}

void Button::draw(const DRAWITEMSTRUCT& item) {
    ButtonLook look;
    look.hot = hot_;
    look.pressed = item.itemState & ODS_SELECTED;
    look.focused = item.itemState & ODS_FOCUS;
    look.disabled = item.itemState & ODS_DISABLED;
    look.default_button = default_look_ || look.focused;
    form().application().skin().paint_button(item.hDC, item.rcItem, widen(caption()), look);
}

LRESULT Button::message(UINT msg, WPARAM wparam, LPARAM, bool& handled) {
    track_hot(msg);
    handled = true;
    switch (msg) {
        case WM_GETDLGCODE:
            // As a push button, so that the dialog manager moves the default to the focused
            // button; a focused button is the default however it got the focus (a click, a
            // focus restore), so that Enter presses it.
            return DLGC_BUTTON | (default_look_ || GetFocus() == handle() ? DLGC_DEFPUSHBUTTON
                                                                          : DLGC_UNDEFPUSHBUTTON);
        case BM_SETSTYLE:
            // The dialog manager marks the default push button; the style stays owner-drawn.
            default_look_ = (wparam & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
            invalidate();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        default:
            handled = false;
            return 0;
    }
}

// ---- Radio buttons and check boxes ----

ToggleButton::ToggleButton(Form& form, const ControlSpec& spec, int id)
    : Control(form, spec, id), checked_(spec.checked) {}

void ToggleButton::created() {
    create_window(L"BUTTON", BS_OWNERDRAW);
    apply_checked(checked_);
}

void ToggleButton::set_checked(bool checked) {
    apply_checked(checked);
}

void ToggleButton::apply_checked(bool checked) {
    checked_ = checked;
    if (kind() == ControlKind::radio_button) {
        if (checked) {
            for (const auto& control : form().controls()) {
                auto* other = dynamic_cast<ToggleButton*>(control.get());
                if (other && other != this && other->kind() == ControlKind::radio_button &&
                    other->parent() == parent())
                    other->apply_checked(false);
            }
        }
        // As in any dialog: Tab reaches a group of radio buttons at its checked one.
        if (handle()) {
            LONG style = GetWindowLongW(handle(), GWL_STYLE);
            style = checked ? style | WS_TABSTOP : style & ~WS_TABSTOP;
            SetWindowLongW(handle(), GWL_STYLE, style);
        }
    }
    invalidate();
}

void ToggleButton::click() {
    if (kind() == ControlKind::radio_button) {
        if (checked_) return;  // no change, no handler
        apply_checked(true);
    } else {
        apply_checked(!checked_);
    }
    form().application().dispatch(on_click);
}

void ToggleButton::command(WORD code) {
    if (code == BN_CLICKED || code == BN_DOUBLECLICKED) click();
}

void ToggleButton::draw(const DRAWITEMSTRUCT& item) {
    ButtonLook look;
    look.hot = hot_;
    look.pressed = item.itemState & ODS_SELECTED;
    look.focused = item.itemState & ODS_FOCUS;
    look.disabled = item.itemState & ODS_DISABLED;
    look.checked = checked_;
    look.background = parent() ? Section::group_box : Section::form;
    const Section section =
        kind() == ControlKind::radio_button ? Section::radio_button : Section::check_box;
    form().application().skin().paint_toggle(item.hDC, item.rcItem, widen(caption()), section,
                                             look);
}

LRESULT ToggleButton::message(UINT msg, WPARAM wparam, LPARAM, bool& handled) {
    track_hot(msg);
    const bool radio = kind() == ControlKind::radio_button;
    handled = true;
    switch (msg) {
        case WM_GETDLGCODE:
            return radio ? DLGC_BUTTON | DLGC_RADIOBUTTON : DLGC_BUTTON;
        case BM_GETCHECK:
            return checked_ ? BST_CHECKED : BST_UNCHECKED;
        case BM_SETCHECK:
            set_checked(wparam == BST_CHECKED);
            return 0;
        case BM_SETSTYLE:
            return 0;  // stays owner-drawn
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFOCUS: {
            // An arrow key that moves to another radio button of the group chooses it, as
            // the player's choice; a mouse click chooses it through its own click.
            const Control* previous = form().find_control(reinterpret_cast<HWND>(wparam));
            const bool from_sibling = previous && previous != this &&
                                      previous->kind() == ControlKind::radio_button &&
                                      previous->parent() == parent();
            if (radio && !checked_ && from_sibling && !(GetKeyState(VK_LBUTTON) & 0x8000)) click();
            handled = false;
            return 0;
        }
        default:
            handled = false;
            return 0;
    }
}

// ---- ComboBox ----

ComboBox::ComboBox(Form& form, const ControlSpec& spec, int id)
    : Control(form, spec, id),
      item_height_(spec.item_height),
      field_height_(std::max(spec.height - 6, spec.item_height)) {
    if (spec.face) face_ = to_colorref(*spec.face);
    if (spec.text_color) text_ = to_colorref(*spec.text_color);
}

void ComboBox::created() {
    const int height = bounds().bottom - bounds().top;
    // No WS_VSCROLL: the open list scrolls all the same, and shows the skin's indicator.
    create_window(L"COMBOBOX", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, 0,
                  height + item_height_ * dropped_items + 2);
    // The window's height sets the open list's only with the classic controls; the newer
    // ones count items, thirty unless told.
    SendMessageW(handle(), CB_SETMINVISIBLE, dropped_items, 0);
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (GetComboBoxInfo(handle(), &info) && info.hwndList) {
        list_ = info.hwndList;
        SetWindowSubclass(list_, list_proc, 0, reinterpret_cast<DWORD_PTR>(this));
        // The frame was measured before the subclass: measure it again with the indicator.
        SetWindowPos(list_, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// The open list's frame, in its window's coordinates.
struct ComboBox::ListGeometry {
    RECT window{};
    RECT client{};
    RECT track{};  // the indicator, right of the items
    ScrollPosition position;
};

ComboBox::ListGeometry ComboBox::list_geometry() const {
    ListGeometry geometry;
    RECT screen{};
    GetWindowRect(list_, &screen);
    POINT origin{0, 0};
    ClientToScreen(list_, &origin);
    GetClientRect(list_, &geometry.client);
    OffsetRect(&geometry.client, origin.x - screen.left, origin.y - screen.top);
    geometry.window = {0, 0, screen.right - screen.left, screen.bottom - screen.top};
    geometry.track = {geometry.client.right, geometry.client.top,
                      geometry.client.right + scroll_indicator_width, geometry.client.bottom};
    const auto row = std::max<LRESULT>(1, SendMessageW(list_, LB_GETITEMHEIGHT, 0, 0));
    geometry.position.count = static_cast<int>(SendMessageW(list_, LB_GETCOUNT, 0, 0));
    geometry.position.top = static_cast<int>(SendMessageW(list_, LB_GETTOPINDEX, 0, 0));
    geometry.position.visible =
        static_cast<int>((geometry.client.bottom - geometry.client.top) / row);
    return geometry;
}

void ComboBox::paint_list_frame(bool border) const {
    SkinManager& skin = form().application().skin();
    const ListGeometry geometry = list_geometry();
    HDC dc = GetWindowDC(list_);
    if (border)
        FrameRect(dc, &geometry.window,
                  skin.brush(skin.color(Section::combo_box, Property::border, State::focused)));
    const State thumb = drag_offset_ ? State::pressed : thumb_hot_ ? State::hot : State::normal;
    skin.paint_scroll_indicator(dc, geometry.track, geometry.position, thumb);
    ReleaseDC(list_, dc);
}

// Whatever scrolled the list (keys, wheel, a new selection), the indicator follows.
void ComboBox::follow_list_scroll() {
    if (following_ || !list_ || !IsWindowVisible(list_)) return;
    following_ = true;
    const int top = static_cast<int>(SendMessageW(list_, LB_GETTOPINDEX, 0, 0));
    const int count = static_cast<int>(SendMessageW(list_, LB_GETCOUNT, 0, 0));
    if (top != painted_top_ || count != painted_count_) {
        painted_top_ = top;
        painted_count_ = count;
        paint_list_frame(false);
    }
    following_ = false;
}

void ComboBox::scroll_list_to(int top) {
    const ScrollPosition position = list_geometry().position;
    SendMessageW(list_, LB_SETTOPINDEX, static_cast<WPARAM>(std::clamp(top, 0, position.range())),
                 0);
    paint_list_frame(false);
}

void ComboBox::press_indicator(POINT at) {
    indicator_pressed_ = true;
    if (GetCapture() != list_) {
        SetCapture(list_);
        took_capture_ = true;
    }
    const ListGeometry geometry = list_geometry();
    const RECT thumb = scroll_thumb(geometry.track, geometry.position);
    if (IsRectEmpty(&thumb)) return;
    if (at.y < thumb.top) {
        scroll_list_to(geometry.position.top - geometry.position.visible);
    } else if (at.y >= thumb.bottom) {
        scroll_list_to(geometry.position.top + geometry.position.visible);
    } else {
        drag_offset_ = at.y - thumb.top;
        paint_list_frame(false);
    }
}

void ComboBox::drag_thumb(POINT at) {
    const ListGeometry geometry = list_geometry();
    scroll_list_to(scroll_top_for_thumb(geometry.track, geometry.position,
                                        static_cast<int>(at.y - *drag_offset_)));
}

void ComboBox::end_indicator_press() {
    indicator_pressed_ = false;
    drag_offset_.reset();
    // A drag may end anywhere: hot only if let go over the indicator.
    POINT cursor{};
    GetCursorPos(&cursor);
    RECT screen{};
    GetWindowRect(list_, &screen);
    const POINT at{cursor.x - screen.left, cursor.y - screen.top};
    const RECT track = list_geometry().track;
    thumb_hot_ = PtInRect(&track, at) != FALSE;
    if (took_capture_) {
        took_capture_ = false;
        ReleaseCapture();
    }
    paint_list_frame(false);
}

// Mouse positions arrive in the list's client coordinates; the indicator lies right of
// the client area, in the frame, so it is found in window coordinates.
bool ComboBox::list_message(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    const auto in_window = [this](LPARAM position) {
        const ListGeometry geometry = list_geometry();
        return POINT{GET_X_LPARAM(position) + geometry.client.left,
                     GET_Y_LPARAM(position) + geometry.client.top};
    };
    const auto on_indicator = [this](POINT at) {
        const RECT track = list_geometry().track;
        return PtInRect(&track, at) != FALSE;
    };
    switch (msg) {
        case WM_NCCALCSIZE: {
            result = DefSubclassProc(list_, msg, wparam, lparam);
            RECT& client = wparam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(lparam)->rgrc[0]
                                  : *reinterpret_cast<RECT*>(lparam);
            client.right -= scroll_indicator_width;
            return true;
        }
        case WM_NCPAINT:
            result = DefSubclassProc(list_, msg, wparam, lparam);
            paint_list_frame(true);
            return true;
        case WM_NCHITTEST: {
            result = DefSubclassProc(list_, msg, wparam, lparam);
            RECT screen{};
            GetWindowRect(list_, &screen);
            const POINT at{GET_X_LPARAM(lparam) - screen.left, GET_Y_LPARAM(lparam) - screen.top};
            // The indicator takes the mouse like the items do.
            if (on_indicator(at)) result = HTCLIENT;
            return true;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            const POINT at = in_window(lparam);
            if (!on_indicator(at)) return false;
            press_indicator(at);
            result = 0;
            return true;
        }
        case WM_MOUSEMOVE: {
            const POINT at = in_window(lparam);
            if (drag_offset_) {
                drag_thumb(at);
                result = 0;
                return true;
            }
            const bool hot = on_indicator(at);
            if (hot != thumb_hot_) {
                thumb_hot_ = hot;
                paint_list_frame(false);
            }
            // Over the indicator the items keep their highlight.
            if (!hot && !indicator_pressed_) return false;
            result = 0;
            return true;
        }
        case WM_LBUTTONUP:
            if (!indicator_pressed_) return false;
            end_indicator_press();
            result = 0;
            return true;
        case WM_CAPTURECHANGED:
            if (drag_offset_ && reinterpret_cast<HWND>(lparam) != list_) {
                drag_offset_.reset();
                indicator_pressed_ = false;
                took_capture_ = false;
                paint_list_frame(false);
            }
            return false;
        case WM_MOUSEWHEEL: {
            // Lines as the system is set to scroll them, the same on every system version.
            UINT lines = 3;
            SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
            const int notches = GET_WHEEL_DELTA_WPARAM(wparam) / WHEEL_DELTA;
            scroll_list_to(list_geometry().position.top - notches * static_cast<int>(lines));
            result = 0;
            return true;
        }
        case WM_SHOWWINDOW:
            thumb_hot_ = false;
            painted_top_ = painted_count_ = -1;
            return false;
        default:
            return false;
    }
}

LRESULT CALLBACK ComboBox::list_proc(HWND list, UINT msg, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                     DWORD_PTR data) {
    auto* self = reinterpret_cast<ComboBox*>(data);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(list, list_proc, 0);
        self->list_ = nullptr;
        return DefSubclassProc(list, msg, wparam, lparam);
    }
    LRESULT result = 0;
    if (!self->list_message(msg, wparam, lparam, result))
        result = DefSubclassProc(list, msg, wparam, lparam);
    self->follow_list_scroll();
    return result;
}

void ComboBox::add_item(std::string_view text) {
    SendMessageW(handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(text).c_str()));
}

void ComboBox::clear() {
    SendMessageW(handle(), CB_RESETCONTENT, 0, 0);
    invalidate();
}

int ComboBox::count() const {
    return static_cast<int>(SendMessageW(handle(), CB_GETCOUNT, 0, 0));
}

std::wstring ComboBox::wide_item(int index) const {
    if (index < 0 || index >= count()) return {};
    const auto length = SendMessageW(handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(handle(), CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::string ComboBox::item(int index) const {
    return narrow(wide_item(index));
}

int ComboBox::item_index() const {
    return static_cast<int>(SendMessageW(handle(), CB_GETCURSEL, 0, 0));
}

void ComboBox::set_item_index(int index) {
    // Sends no notification: a selection made by the program runs no handler.
    const int chosen = index >= 0 && index < count() ? index : -1;
    SendMessageW(handle(), CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
    invalidate();
}

ComboLook ComboBox::look() const {
    ComboLook look;
    look.hot = hot_;
    look.focused = focused();
    look.disabled = !IsWindowEnabled(handle());
    look.dropped = SendMessageW(handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
    look.face = face_;
    look.text = text_;
    return look;
}

void ComboBox::command(WORD code) {
    if (code == CBN_SELCHANGE) form().application().dispatch(on_change);
    invalidate();
}

void ComboBox::measure(MEASUREITEMSTRUCT& item) {
    item.itemHeight =
        static_cast<UINT>(item.itemID == static_cast<UINT>(-1) ? field_height_ : item_height_);
}

void ComboBox::draw(const DRAWITEMSTRUCT& item) {
    if (item.itemState & ODS_COMBOBOXEDIT) {
        // The closed field is painted whole by WM_PAINT, border and arrow included.
        invalidate();
        return;
    }
    SkinManager& skin = form().application().skin();
    if (item.itemID == static_cast<UINT>(-1)) {
        FillRect(item.hDC, &item.rcItem,
                 skin.brush(face_.value_or(skin.color(Section::combo_box, Property::list))));
        return;
    }
    skin.paint_combo_item(item.hDC, item.rcItem, wide_item(static_cast<int>(item.itemID)),
                          item.itemState & ODS_SELECTED, look());
}

LRESULT ComboBox::message(UINT msg, WPARAM wparam, LPARAM, bool& handled) {
    track_hot(msg);
    handled = true;
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT: {
            PAINTSTRUCT paint_info{};
            HDC dc =
                msg == WM_PAINT ? BeginPaint(handle(), &paint_info) : reinterpret_cast<HDC>(wparam);
            {
                Selected font(dc, form().application().font());
                RECT client{};
                GetClientRect(handle(), &client);
                form().application().skin().paint_combo(dc, client, wide_item(item_index()),
                                                        look());
            }
            if (msg == WM_PAINT) EndPaint(handle(), &paint_info);
            return 0;
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_ENABLE:
            invalidate();
            handled = false;
            return 0;
        default:
            handled = false;
            return 0;
    }
}

// ---- Label ----

Label::Label(Form& form, const ControlSpec& spec, int id)
    : Control(form, spec, id), alignment_(spec.alignment) {}

void Label::fit() {
    const std::wstring text = widen(caption());
    MeasuringDc dc(form().application().font());
    RECT size{0, 0, 0, 0};
    if (text.empty()) {
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc.get(), &metrics);
        size.bottom = metrics.tmHeight;
    } else {
        DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &size,
                  DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    }
    RECT bounds = this->bounds();
    if (alignment_ == Alignment::right)
        bounds.left = bounds.right - size.right;
    else
        bounds.right = bounds.left + size.right;
    bounds.bottom = bounds.top + size.bottom;
    set_bounds(bounds);
}

void Label::paint(HDC dc) {
    form().application().skin().paint_label(dc, bounds(), widen(caption()),
                                            alignment_ == Alignment::right, !enabled());
}

// ---- Image ----

Image::Image(Form& form, const ControlSpec& spec, int id) : Control(form, spec, id) {
    if (!spec.picture.empty()) set_picture(Picture::from_resource(spec.picture));
}

void Image::set_picture(Picture picture) {
    picture_ = std::move(picture);
    RECT bounds = this->bounds();
    bounds.right = bounds.left + picture_.width();
    bounds.bottom = bounds.top + picture_.height();
    set_bounds(bounds);
}

void Image::paint(HDC dc) {
    picture_.draw(dc, bounds().left, bounds().top);
}

// ---- GroupBox ----

void GroupBox::created() {
    create_window(group_box_window_class, 0, WS_EX_CONTROLPARENT);
}

LRESULT GroupBox::message(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) {
    handled = true;
    LRESULT result = 0;
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint_info{};
            HDC dc = BeginPaint(handle(), &paint_info);
            {
                Selected font(dc, form().application().font());
                RECT client{};
                GetClientRect(handle(), &client);
                form().application().skin().paint_group_box(dc, client, widen(caption()),
                                                            !enabled());
                form().paint_graphics(dc, this);
            }
            EndPaint(handle(), &paint_info);
            return 0;
        }
        default:
            // Notifications and drawing requests of the controls inside go to the window.
            handled = form().parent_message(msg, wparam, lparam, result);
            return result;
    }
}

// ---- Timer ----

Timer::Timer(Form& form, std::string_view name, unsigned interval_ms, UINT_PTR id)
    : form_(form), name_(name), interval_(interval_ms), id_(id) {}

Timer::~Timer() {
    if (enabled_ && form_.handle()) KillTimer(form_.handle(), id_);
}

void Timer::set_enabled(bool enabled) {
    enabled_ = enabled;
    apply();
}

void Timer::apply() {
    if (!form_.handle()) return;
    if (enabled_)
        SetTimer(form_.handle(), id_, interval_, nullptr);
    else
        KillTimer(form_.handle(), id_);
}

}  // namespace toolkit
