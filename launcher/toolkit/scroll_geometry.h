#pragma once

// The geometry of the slim scroll indicator of an open drop-down list: where its thumb lies
// for the rows shown, and which rows a dragged thumb shows.

#include <windows.h>

namespace toolkit {

// Which rows of a list show: the first, how many fit, how many there are.
struct ScrollPosition {
    int top = 0;
    int visible = 0;
    int count = 0;
    int range() const { return count > visible ? count - visible : 0; }
};

// The thumb of a slim scroll indicator within its track: its height shows the visible
// share, its place the first visible row. Empty when every row is visible.
RECT scroll_thumb(const RECT& track, const ScrollPosition& position, int dpi);
// The first row that shows the thumb with its top at `thumb_top` (as dragged there).
int scroll_top_for_thumb(const RECT& track, const ScrollPosition& position, int thumb_top, int dpi);

}  // namespace toolkit
