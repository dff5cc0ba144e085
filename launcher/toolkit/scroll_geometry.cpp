#include "toolkit/scroll_geometry.h"

#include <algorithm>

#include "toolkit/dpi.h"

namespace toolkit {

namespace {
// The thumb never shrinks below a size that a mouse can take hold of.
constexpr LONG minimum_thumb = 12;
}  // namespace

RECT scroll_thumb(const RECT& track, const ScrollPosition& position, int dpi) {
    if (position.range() == 0) return {};
    const LONG length = track.bottom - track.top;
    const LONG thumb = std::min(length, std::max<LONG>(scaled(minimum_thumb, dpi),
                                                       length * position.visible / position.count));
    const int top = std::clamp(position.top, 0, position.range());
    const LONG offset = (length - thumb) * top / position.range();
    return {track.left, track.top + offset, track.right, track.top + offset + thumb};
}

int scroll_top_for_thumb(const RECT& track, const ScrollPosition& position, int thumb_top,
                         int dpi) {
    const RECT thumb = scroll_thumb(track, position, dpi);
    const LONG travel = (track.bottom - track.top) - (thumb.bottom - thumb.top);
    if (travel <= 0) return 0;
    const LONG offset = std::clamp<LONG>(thumb_top - track.top, 0, travel);
    // Of the two rows around the dragged place, the one whose thumb lies nearer to it, so
    // that the thumb stays where it was let go whenever a row shows it there.
    const LONG range = position.range();
    const LONG lower = offset * range / travel;
    const LONG upper = std::min(range, (offset * range + travel - 1) / travel);
    const auto place = [&](LONG top) { return travel * top / range; };
    return static_cast<int>(offset - place(lower) < place(upper) - offset ? lower : upper);
}

}  // namespace toolkit
