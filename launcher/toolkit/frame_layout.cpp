#include "toolkit/frame_layout.h"

#include <algorithm>

#include "toolkit/dpi.h"

namespace toolkit {

CaptionButton FrameLayout::button_at(POINT point) const {
    if (PtInRect(&close, point)) return CaptionButton::close;
    if (PtInRect(&minimize, point)) return CaptionButton::minimize;
    return CaptionButton::none;
}

FrameLayout layout_frame(const RECT& window, const RECT& client, bool minimize_box, int icon_size,
                         int dpi) {
    const auto px = [dpi](int length) { return scaled(length, dpi); };
    FrameLayout layout{.window = window, .client = client};
    const LONG border = client.left - window.left;
    layout.caption = {window.left + border, window.top + border, window.right - border, client.top};
    const LONG bar_height = layout.caption.bottom - layout.caption.top;
    if (bar_height <= px(4)) return layout;  // no title bar to put anything on

    const LONG button_height = bar_height - px(4);
    const LONG button_width = button_height + px(2);
    const LONG button_top = layout.caption.top + (bar_height - button_height) / 2;
    const LONG close_left = layout.caption.right - px(2) - button_width;
    layout.close = {close_left, button_top, close_left + button_width, button_top + button_height};
    if (minimize_box) {
        const LONG left = close_left - px(2) - button_width;
        layout.minimize = {left, button_top, left + button_width, button_top + button_height};
    }
    const LONG icon = std::min<LONG>(icon_size, bar_height - px(2));
    const LONG icon_top = layout.caption.top + (bar_height - icon) / 2;
    layout.icon = {layout.caption.left + px(2), icon_top, layout.caption.left + px(2) + icon,
                   icon_top + icon};
    return layout;
}

}  // namespace toolkit
