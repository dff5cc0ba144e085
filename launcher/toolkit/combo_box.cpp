#include "toolkit/combo_box.h"

#include <windowsx.h>

#include <algorithm>

#include "kit/text.h"
#include "toolkit/application.h"
#include "toolkit/dpi.h"
#include "toolkit/form.h"
#include "toolkit/skin_manager.h"
#include "toolkit/subclass.h"

namespace toolkit {
namespace {

// Items shown at once by an open drop-down list.
constexpr int dropped_items = 8;
// The open list's scroll indicator, beside its items.
constexpr int scroll_indicator_width = 7;

// The open list's frame, in its window's coordinates.
struct ListGeometry {
    RECT window{};
    RECT client{};
    RECT track{};  // the indicator, right of the items
    ScrollPosition position;

    bool on_indicator(POINT at) const { return PtInRect(&track, at) != FALSE; }
};

}  // namespace

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

ComboBox::ComboBox(Form& form, const ControlSpec& spec, int id)
    : Control(form, spec, id),
      item_height_(spec.item_height),
      field_height_(std::max(spec.height - 6, spec.item_height)) {
    if (spec.face) face_ = spec.face->colorref();
    if (spec.text_color) text_ = spec.text_color->colorref();
}

ComboBox::~ComboBox() = default;

void ComboBox::created() {
    const int height = bounds().bottom - bounds().top;
    // The window's height sets the open list's (the classic controls). No WS_VSCROLL: the open
    // list scrolls all the same, and shows the skin's indicator.
    create_window(L"COMBOBOX", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, 0,
                  height + scaled(item_height_ * dropped_items + 2, form().dpi()));
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (GetComboBoxInfo(handle(), &info) && info.hwndList)
        list_ = std::make_unique<OpenList>(form(), info.hwndList);
}

void ComboBox::rescaled() {
    if (!handle()) return;
    const int dpi = form().dpi();
    SendMessageW(handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), scaled(field_height_, dpi));
    SendMessageW(handle(), CB_SETITEMHEIGHT, 0, scaled(item_height_, dpi));
    // The window's height includes the open list's.
    const RECT bounds = this->bounds();
    SetWindowPos(handle(), nullptr, 0, 0, bounds.right - bounds.left,
                 bounds.bottom - bounds.top + scaled(item_height_ * dropped_items + 2, dpi),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ComboBox::add_item(std::string_view text) {
    SendMessageW(handle(), CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(kit::text::widen(text).c_str()));
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
    return kit::text::narrow(wide_item(index));
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
    look.dpi = form().dpi();
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
    const int height = item.itemID == static_cast<UINT>(-1) ? field_height_ : item_height_;
    item.itemHeight = static_cast<UINT>(scaled(height, form().dpi()));
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

// The closed field whole, border and arrow included.
void ComboBox::paint_field(HDC dc) {
    Selected font(dc, form().font());
    RECT client{};
    GetClientRect(handle(), &client);
    form().application().skin().paint_combo(dc, client, wide_item(item_index()), look());
}

std::optional<LRESULT> ComboBox::message(UINT msg, WPARAM wparam, LPARAM) {
    track_hot(msg);
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            paint_field(PaintDc(handle()).get());
            return 0;
        case WM_PRINTCLIENT:
            paint_field(reinterpret_cast<HDC>(wparam));
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_ENABLE:
            invalidate();
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

}  // namespace toolkit
