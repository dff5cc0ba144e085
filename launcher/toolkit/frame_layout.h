#pragma once

// Where the parts of a window's frame lie: the geometry that the skinned frame paints and
// hit-tests, from the sizes the system keeps.

#include <windows.h>

namespace toolkit {

enum class CaptionButton { none, minimize, close };

// Where the parts of a window's frame lie, in window coordinates (0,0 is the window's
// top-left corner). The system keeps the frame's sizes; the toolkit only paints them.
struct FrameLayout {
    RECT window{};
    RECT client{};
    RECT caption{};   // the title bar
    RECT icon{};      // the window icon at the bar's left
    RECT minimize{};  // empty for a window without a minimise box
    RECT close{};
    // The caption button under a point of the window, if any.
    CaptionButton button_at(POINT point) const;
};

// Lays the frame out from the window's size and its client area within it; its gaps are
// those of the layout at `dpi`.
FrameLayout layout_frame(const RECT& window, const RECT& client, bool minimize_box, int icon_size,
                         int dpi);

}  // namespace toolkit
