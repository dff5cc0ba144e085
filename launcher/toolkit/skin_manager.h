#pragma once

// The skin manager draws every window and control of the launcher with one skin, so that
// nothing keeps the system's look. Colours come from skin::SkinData; every colour the
// toolkit draws with is resolved when the manager is made, so painting never fails.

#include <windows.h>

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "toolkit/handles.h"
#include "toolkit/skin_data.h"

namespace toolkit {

enum class Section { form, label, button, combo_box, group_box, radio_button, check_box, caption };
enum class Property {
    face,
    text,
    border,
    focus,
    arrow,
    glyph,
    mark,
    frame,
    list,
    selection,
    button,
    close,
    track,
    thumb
};
enum class State {
    normal,
    hot,
    pressed,
    focused,
    disabled,
    default_button,
    selected,
    checked,
    inactive
};

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

// How a window's frame is to look. Every look carries the dots per inch of its window: the
// skin's lines, gaps and marks are those of the 96-dpi layout, scaled.
struct FrameLook {
    int dpi = 96;
    bool active = true;
    CaptionButton hot = CaptionButton::none;
    CaptionButton pressed = CaptionButton::none;
};

// How a push button, radio button or check box is to look.
struct ButtonLook {
    int dpi = 96;
    bool hot = false;
    bool pressed = false;
    bool focused = false;
    bool disabled = false;
    bool default_button = false;         // push buttons
    bool checked = false;                // radio buttons and check boxes
    Section background = Section::form;  // whose face lies behind a radio button or check box
};

// How a drop-down list's closed field is to look.
struct ComboLook {
    int dpi = 96;
    bool hot = false;
    bool focused = false;
    bool disabled = false;
    bool dropped = false;
    std::optional<COLORREF> face = std::nullopt;  // the control's own colours, when it has them
    std::optional<COLORREF> text = std::nullopt;
};

class SkinManager {
  public:
    // Throws skin::SkinError when the skin lacks a colour the toolkit draws with.
    explicit SkinManager(skin::SkinData data);
    // Parses a skin text; throws skin::SkinError with the reason for a malformed one.
    static SkinManager from_text(std::string_view text);
    // The skin carried as an RCDATA resource of the running executable.
    static SkinManager from_resource(std::wstring_view name);

    const std::string& skin_name() const { return data_.name(); }
    COLORREF color(Section section, Property property, State state = State::normal) const;
    // Solid brushes, made once per colour and owned here.
    HBRUSH brush(COLORREF color);

    void paint_background(HDC dc, const RECT& area, Section section);
    void paint_button(HDC dc, const RECT& area, std::wstring_view caption, const ButtonLook& look);
    // A radio button or check box: its glyph at the left, the caption beside it.
    void paint_toggle(HDC dc, const RECT& area, std::wstring_view caption, Section section,
                      const ButtonLook& look);
    void paint_group_box(HDC dc, const RECT& area, std::wstring_view caption, bool disabled,
                         int dpi);
    void paint_label(HDC dc, const RECT& area, std::wstring_view caption, bool right_aligned,
                     bool disabled);
    // The closed drop-down list: border, field, selected text and arrow.
    void paint_combo(HDC dc, const RECT& area, std::wstring_view text, const ComboLook& look);
    // The field text alone (the combo box asks for it on its own).
    void paint_combo_field(HDC dc, const RECT& area, std::wstring_view text, const ComboLook& look);
    // A window's frame: border, title bar with icon and title, caption buttons. Paints the
    // whole window rectangle; the caller keeps the client area out.
    void paint_frame(HDC dc, const FrameLayout& layout, std::wstring_view title, HICON icon,
                     HFONT title_font, const FrameLook& look);
    // The open list's scroll indicator; `thumb` is normal, hot or pressed.
    void paint_scroll_indicator(HDC dc, const RECT& track, const ScrollPosition& position,
                                State thumb, int dpi);
    // One item of the open list.
    void paint_combo_item(HDC dc, const RECT& area, std::wstring_view text, bool selected,
                          const ComboLook& look);

  private:
    using StateColors = std::array<COLORREF, skin::state_names.size()>;
    void paint_caption_button(HDC dc, const RECT& area, CaptionButton button,
                              const FrameLook& look);
    // A border of `thickness` pixels inside `area`.
    void frame(HDC dc, const RECT& area, COLORREF color, int thickness = 1);
    void fill(HDC dc, const RECT& area, COLORREF color);

    skin::SkinData data_;
    std::map<std::pair<Section, Property>, StateColors> colors_;
    std::map<COLORREF, BrushHandle> brushes_;
};

}  // namespace toolkit
