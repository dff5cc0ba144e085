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

enum class Section { form, label, button, combo_box, group_box, radio_button, check_box };
enum class Property { face, text, border, focus, arrow, glyph, mark, frame, list, selection };
enum class State { normal, hot, pressed, focused, disabled, default_button, selected, checked };

// How a push button, radio button or check box is to look.
struct ButtonLook {
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
    bool hot = false;
    bool focused = false;
    bool disabled = false;
    bool dropped = false;
    std::optional<COLORREF> face;  // the control's own colours, when it has them
    std::optional<COLORREF> text;
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
    void paint_group_box(HDC dc, const RECT& area, std::wstring_view caption, bool disabled);
    void paint_label(HDC dc, const RECT& area, std::wstring_view caption, bool right_aligned,
                     bool disabled);
    // The closed drop-down list: border, field, selected text and arrow.
    void paint_combo(HDC dc, const RECT& area, std::wstring_view text, const ComboLook& look);
    // The field text alone (the combo box asks for it on its own).
    void paint_combo_field(HDC dc, const RECT& area, std::wstring_view text, const ComboLook& look);
    // One item of the open list.
    void paint_combo_item(HDC dc, const RECT& area, std::wstring_view text, bool selected,
                          const ComboLook& look);

  private:
    using StateColors = std::array<COLORREF, 8>;
    void frame(HDC dc, const RECT& area, COLORREF color);
    void fill(HDC dc, const RECT& area, COLORREF color);

    skin::SkinData data_;
    std::map<std::pair<Section, Property>, StateColors> colors_;
    std::map<COLORREF, BrushHandle> brushes_;
};

}  // namespace toolkit
