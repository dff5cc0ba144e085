#include "toolkit/system_dialogs.h"

#include <string_view>

#include "toolkit/application.h"
#include "toolkit/dpi.h"
#include "toolkit/frame.h"
#include "toolkit/skin_manager.h"
#include "toolkit/subclass.h"

namespace toolkit {
namespace {

// The one instance of this thread, for the hook, which gets no context of its own.
thread_local SystemDialogSkin* current = nullptr;

bool has_class(HWND window, std::wstring_view name) {
    wchar_t found[32]{};
    GetClassNameW(window, found, 32);
    return CompareStringOrdinal(found, -1, name.data(), static_cast<int>(name.size()), TRUE) ==
           CSTR_EQUAL;
}

}  // namespace

SystemDialogSkin::SystemDialogSkin(Application& application) : application_(application) {
    current = this;
    hook_ = SetWindowsHookExW(WH_CBT, hook, nullptr, GetCurrentThreadId());
}

SystemDialogSkin::~SystemDialogSkin() {
    if (hook_) UnhookWindowsHookEx(hook_);
    if (current == this) current = nullptr;
    // A box still open outlives its skin: hand it back to the system.
    for (const auto& [dialog, frame] : frames_)
        remove_window_subclass(dialog, guarded_subclass_proc<SystemDialogSkin>, 0);
}

LRESULT CALLBACK SystemDialogSkin::hook(int code, WPARAM wparam, LPARAM lparam) noexcept {
    const auto next = [&] { return CallNextHookEx(nullptr, code, wparam, lparam); };
    // Activation comes once the box and its controls exist, before it is painted.
    if (code != HCBT_ACTIVATE || !current) return next();
    return current->application_.guard(
        [&] {
            HWND window = reinterpret_cast<HWND>(wparam);
            if (has_class(window, L"#32770")) current->skin(window);
            return next();
        },
        next);
}

void SystemDialogSkin::skin(HWND dialog) {
    if (frames_.contains(dialog) || !application_.has_skin()) return;
    auto& frame = frames_[dialog] = std::make_unique<SkinnedFrame>(application_, false);
    set_window_subclass(dialog, guarded_subclass_proc<SystemDialogSkin>, 0,
                        reinterpret_cast<DWORD_PTR>(this));
    frame->attach(dialog, nullptr);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!has_class(child, L"Button")) continue;
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        SetWindowLongW(child, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
        set_window_subclass(child, button_proc, 0, 0);
    }
    SetWindowPos(dialog, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(dialog, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

LRESULT SystemDialogSkin::subclass_message(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
    const auto by_default = [dialog](UINT message, WPARAM first, LPARAM second) {
        return def_subclass_proc(dialog, message, first, second);
    };
    LRESULT result = 0;
    if (frames_.at(dialog)->message(msg, wparam, lparam, result, by_default)) return result;
    SkinManager& skin = application_.skin();
    switch (msg) {
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            HDC dc = reinterpret_cast<HDC>(wparam);
            const COLORREF face = skin.color(Section::form, Property::face);
            SetTextColor(dc, skin.color(Section::form, Property::text));
            SetBkColor(dc, face);
            return reinterpret_cast<LRESULT>(skin.brush(face));
        }
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
            if (item.CtlType != ODT_BUTTON) break;
            ButtonLook look;
            look.dpi = window_dpi(dialog);
            look.pressed = item.itemState & ODS_SELECTED;
            look.focused = item.itemState & ODS_FOCUS;
            look.disabled = item.itemState & ODS_DISABLED;
            look.default_button = look.focused;
            wchar_t caption[64]{};
            const int length = GetWindowTextW(item.hwndItem, caption, 64);
            auto font = reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0));
            Selected selected(item.hDC, font ? font : application_.font(look.dpi));
            skin.paint_button(item.hDC, item.rcItem, {caption, static_cast<std::size_t>(length)},
                              look);
            return TRUE;
        }
        default:
            break;
    }
    return by_default(msg, wparam, lparam);
}

// Win32 calls alone: nothing here can raise an error.
LRESULT CALLBACK SystemDialogSkin::button_proc(HWND button, UINT msg, WPARAM wparam, LPARAM lparam,
                                               UINT_PTR, DWORD_PTR) noexcept {
    switch (msg) {
        case WM_NCDESTROY:
            remove_window_subclass(button, button_proc, 0);
            break;
        case BM_SETSTYLE:
            // The dialog manager moves the default between push buttons: this one stays
            // owner-drawn and shows the default by its focus.
            InvalidateRect(button, nullptr, FALSE);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_BUTTON | (GetFocus() == button ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        default:
            break;
    }
    return def_subclass_proc(button, msg, wparam, lparam);
}

}  // namespace toolkit
