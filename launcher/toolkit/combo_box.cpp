#include "toolkit/combo_box.h"

#include <windowsx.h>

#include <algorithm>

#include "kit/text.h"
#include "toolkit/application.h"
#include "toolkit/dpi.h"
#include "toolkit/form.h"
#include "toolkit/open_list.h"
#include "toolkit/skin_manager.h"
#include "toolkit/subclass.h"

namespace toolkit {
namespace {

// Items shown at once by an open drop-down list.
constexpr int dropped_items = 8;

}  // namespace

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
