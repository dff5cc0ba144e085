#pragma once

// The base of the launcher's controls. A window lays them out from a table of ControlSpec
// rows in 96-dpi pixels; a group box can be the parent of other controls. Labels and
// pictures have no window of their own: their parent paints them, so they can lie over a
// picture. Values set by the program never run a change or click handler; the player's
// choices do.

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "toolkit/formats/skin_data.h"

namespace toolkit {

class Application;
class Form;
class GroupBox;

enum class ControlKind { button, combo_box, label, group_box, radio_button, check_box, image };
enum class ModalResult : int { none = 0, ok = 1, cancel = 2 };
enum class Alignment { left, right };

// A row of a window's layout table that holds a control of class T (layout::row_of).
template <class T>
struct Row {
    std::size_t index;
};

struct ControlSpec {
    ControlKind kind;
    std::string_view name;
    std::string_view caption = {};
    std::string_view parent = {};  // the name of a group box; empty for the window itself
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int tab_order = -1;  // among the windowed controls of one parent; -1: after the others
    bool tab_stop = true;
    ModalResult modal_result = ModalResult::none;  // push buttons
    bool default_button = false;                   // push buttons: pressed by Enter
    bool enabled = true;
    bool checked = false;                        // radio buttons and check boxes
    Alignment alignment = Alignment::left;       // labels
    std::wstring_view picture = {};              // pictures: RCDATA resource of a PNG
    std::optional<skin::Color> face = {};        // drop-down lists: own background colour
    std::optional<skin::Color> text_color = {};  // drop-down lists: own text colour
    int item_height = 13;                        // drop-down lists
};

class Control {
  public:
    Control(Form& form, const ControlSpec& spec, int id);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    ControlKind kind() const { return kind_; }
    Form& form() const { return form_; }
    GroupBox* parent() const { return parent_; }
    // Null for labels and pictures, which have no window of their own.
    HWND handle() const { return handle_; }
    int id() const { return id_; }
    // Position and size in the parent's client area, in the window's pixels.
    RECT bounds() const { return bounds_; }
    bool windowed() const { return kind_ != ControlKind::label && kind_ != ControlKind::image; }

    const std::string& caption() const { return caption_; }
    void set_caption(std::string_view caption);
    bool enabled() const { return enabled_; }
    void set_enabled(bool enabled);
    // Makes this the window's active control.
    void set_focus();
    bool focused() const;

  protected:
    friend class Form;
    // The window of the parent: the group box's or the form's.
    HWND parent_window() const;
    void create_window(const wchar_t* window_class, DWORD style, DWORD ex_style = 0,
                       int window_height = 0);
    void invalidate() const;
    void set_bounds(const RECT& bounds);
    // Places the control by its layout at `dpi`, its window with the form's font.
    void scale_to(int dpi);
    virtual void created() {}
    virtual void caption_changed() {}
    // After the window's dots per inch changed and the control took its place at them.
    virtual void rescaled() {}
    // Handlers of the parent's notifications and drawing requests for this control.
    virtual void command(WORD) {}
    virtual void draw(const DRAWITEMSTRUCT&) {}
    virtual void measure(MEASUREITEMSTRUCT&) {}
    // Labels and pictures: painted by their parent.
    virtual void paint(HDC) {}
    // Messages of this control's own window; nothing passes them on to the window's own
    // handling.
    virtual std::optional<LRESULT> message(UINT msg, WPARAM wparam, LPARAM lparam);
    // Tracks the mouse for the hot look.
    void track_hot(UINT msg);
    bool hot_ = false;

  private:
    template <class Owner>
    friend LRESULT CALLBACK guarded_subclass_proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR,
                                                  DWORD_PTR) noexcept;
    Application& application() const;
    LRESULT subclass_message(HWND window, UINT msg, WPARAM wparam, LPARAM lparam);
    void subclass_ended(HWND) { handle_ = nullptr; }

    Form& form_;
    GroupBox* parent_ = nullptr;
    ControlKind kind_;
    std::string name_;
    std::string caption_;
    RECT layout_;  // in the layout's 96-dpi pixels
    RECT bounds_;  // at the form's dots per inch, as the control sized itself
    int id_;
    bool enabled_;
    bool tab_stop_;
    HWND handle_ = nullptr;
};

}  // namespace toolkit
