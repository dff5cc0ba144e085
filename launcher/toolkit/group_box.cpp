#include "toolkit/group_box.h"

#include "kit/text.h"
#include "toolkit/application.h"
#include "toolkit/form.h"
#include "toolkit/handles.h"
#include "toolkit/skin_manager.h"

namespace toolkit {

void GroupBox::created() {
    create_window(group_box_window_class, 0, WS_EX_CONTROLPARENT);
}

std::optional<LRESULT> GroupBox::message(UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            const PaintDc dc(handle());
            Selected font(dc.get(), form().font());
            RECT client{};
            GetClientRect(handle(), &client);
            form().application().skin().paint_group_box(
                dc.get(), client, kit::text::widen(caption()), !enabled(), form().dpi());
            form().paint_graphics(dc.get(), this);
            return 0;
        }
        default: {
            // Notifications and drawing requests of the controls inside go to the window.
            LRESULT result = 0;
            if (!form().parent_message(msg, wparam, lparam, result)) return std::nullopt;
            return result;
        }
    }
}

}  // namespace toolkit
