#pragma once

// The launcher's controls. A window lays them out from a table of ControlSpec rows in
// 96-dpi pixels; a group box can be the parent of other controls. Labels and pictures
// have no window of their own: their parent paints them, so they can lie over a picture.
// Values set by the program never run a change or click handler; the player's choices do.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/picture.h"
#include "toolkit/skin_data.h"

namespace toolkit {

class Form;
class GroupBox;

enum class ControlKind { button, combo_box, label, group_box, radio_button, check_box, image };
enum class ModalResult : int { none = 0, ok = 1, cancel = 2 };
enum class Alignment { left, right };

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
    // Position and size in the parent's client area.
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
    virtual void created() {}
    virtual void caption_changed() {}
    // Handlers of the parent's notifications and drawing requests for this control.
    virtual void command(WORD) {}
    virtual void draw(const DRAWITEMSTRUCT&) {}
    virtual void measure(MEASUREITEMSTRUCT&) {}
    // Labels and pictures: painted by their parent.
    virtual void paint(HDC) {}
    // Messages of this control's own window; `handled` false passes them on.
    virtual LRESULT message(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled);
    // Tracks the mouse for the hot look.
    void track_hot(UINT msg);
    bool hot_ = false;

  private:
    static LRESULT CALLBACK subclass_proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    Form& form_;
    GroupBox* parent_ = nullptr;
    ControlKind kind_;
    std::string name_;
    std::string caption_;
    RECT bounds_;
    int id_;
    bool enabled_;
    bool tab_stop_;
    HWND handle_ = nullptr;
};

class Button final : public Control {
  public:
    Button(Form& form, const ControlSpec& spec, int id);
    ModalResult modal_result() const { return modal_result_; }
    bool default_button() const { return default_button_; }
    // As if the player pressed it: sets the window's modal result, then runs on_click.
    void click();
    std::function<void()> on_click;

  private:
    void created() override;
    void command(WORD code) override;
    void draw(const DRAWITEMSTRUCT& item) override;
    LRESULT message(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;

    ModalResult modal_result_;
    bool default_button_;
    bool default_look_ = false;  // the dialog manager's current default push button
};

// A radio button or a check box, drawn by the skin.
class ToggleButton : public Control {
  public:
    ToggleButton(Form& form, const ControlSpec& spec, int id);
    bool checked() const { return checked_; }
    // Set by the program: runs no handler. A radio button that becomes checked unchecks
    // the other radio buttons of its parent.
    void set_checked(bool checked);
    // As if the player clicked it.
    void click();
    std::function<void()> on_click;

  private:
    void created() override;
    void command(WORD code) override;
    void draw(const DRAWITEMSTRUCT& item) override;
    LRESULT message(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;
    void apply_checked(bool checked);

    bool checked_;
};

class RadioButton final : public ToggleButton {
  public:
    using ToggleButton::ToggleButton;
};

class CheckBox final : public ToggleButton {
  public:
    using ToggleButton::ToggleButton;
};

// A drop-down list to choose from (no typing), unsorted, drawn by the skin.
class ComboBox final : public Control {
  public:
    ComboBox(Form& form, const ControlSpec& spec, int id);
    void add_item(std::string_view text);
    void clear();
    int count() const;
    std::string item(int index) const;
    // -1 when nothing is selected.
    int item_index() const;
    // Set by the program: runs no handler; an index outside the items selects nothing.
    void set_item_index(int index);
    // Runs when the player changes the selection.
    std::function<void()> on_change;

  private:
    void created() override;
    void command(WORD code) override;
    void draw(const DRAWITEMSTRUCT& item) override;
    void measure(MEASUREITEMSTRUCT& item) override;
    LRESULT message(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;
    std::wstring wide_item(int index) const;
    struct ComboLook look() const;
    // The open list's own window: its border in the skin's colour and, instead of the
    // system's scroll bar, a slim skinned indicator beside the items that follows the
    // wheel and the keys and can be dragged.
    static LRESULT CALLBACK list_proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    bool list_message(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result);
    struct ListGeometry;
    ListGeometry list_geometry() const;
    void paint_list_frame(bool border) const;
    void follow_list_scroll();
    void press_indicator(POINT at);
    void drag_thumb(POINT at);
    void end_indicator_press();
    void scroll_list_to(int top);

    std::optional<COLORREF> face_;
    std::optional<COLORREF> text_;
    int item_height_;
    int field_height_;
    HWND list_ = nullptr;
    bool thumb_hot_ = false;
    bool indicator_pressed_ = false;   // the left button went down on the indicator
    bool took_capture_ = false;        // and the list had not the mouse before
    std::optional<LONG> drag_offset_;  // the thumb is held this far below its top
    int painted_top_ = -1;
    int painted_count_ = -1;
    bool following_ = false;
};

// Static text that sizes itself to its caption; a right-aligned label keeps its right edge.
class Label final : public Control {
  public:
    Label(Form& form, const ControlSpec& spec, int id);

  private:
    void created() override { fit(); }
    void caption_changed() override { fit(); }
    void paint(HDC dc) override;
    void fit();

    Alignment alignment_;
};

// A picture at its natural size; the control sizes itself to it.
class Image final : public Control {
  public:
    Image(Form& form, const ControlSpec& spec, int id);
    const Picture& picture() const { return picture_; }
    void set_picture(Picture picture);

  private:
    void paint(HDC dc) override;
    Picture picture_;
};

// A frame with a caption; it can be the parent of other controls.
class GroupBox final : public Control {
  public:
    using Control::Control;

  private:
    void created() override;
    LRESULT message(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;
};

// A timer of the window's message loop: its ticks run between other window messages.
class Timer {
  public:
    Timer(Form& form, std::string_view name, unsigned interval_ms, UINT_PTR id);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    const std::string& name() const { return name_; }
    bool enabled() const { return enabled_; }
    void set_enabled(bool enabled);
    unsigned interval() const { return interval_; }
    std::function<void()> on_timer;

  private:
    friend class Form;
    void apply();

    Form& form_;
    std::string name_;
    unsigned interval_;
    UINT_PTR id_;
    bool enabled_ = false;
};

}  // namespace toolkit
