#pragma once

// A window of the launcher: laid out from tables, drawn by the skin manager, shown modally
// with its own message loop. It is created once and only hidden between showings, so its
// controls keep their state. Every handler runs through the application's dispatch point.

#include <windows.h>

#include <functional>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/controls.h"
#include "toolkit/frame.h"
#include "toolkit/handles.h"
#include "toolkit/picture.h"
#include "toolkit/skin_manager.h"

namespace toolkit {

class Application;

enum class Placement {
    default_position,  // where the system puts a new window; kept between showings
    desktop_center,    // centred on the area spanning all monitors
    main_form_center,  // centred over the main window when first shown
};

struct FormSpec {
    std::string_view name;
    std::string_view caption;
    int client_width = 0;
    int client_height = 0;
    Placement placement = Placement::default_position;
    bool minimize_box = false;
    // The window icon, a PNG carried as RCDATA; empty: the application icon.
    std::wstring_view icon_picture = {};
    // The control that has the focus when the window opens; empty: the first tab stop.
    std::string_view active_control = {};
};

class Form {
  public:
    Form(Application& application, const FormSpec& spec, std::span<const ControlSpec> controls);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    Application& application() const { return application_; }
    const std::string& name() const { return name_; }
    HWND handle() const { return handle_; }
    bool visible() const;
    // The dots per inch the window is drawn at, and its font at them.
    int dpi() const { return dpi_; }
    HFONT font() const;

    // Controls by name; throws std::logic_error for a name of no control of that type.
    template <class T>
    T& get(std::string_view name) const {
        if (auto* typed = dynamic_cast<T*>(&control(name))) return *typed;
        throw std::logic_error("control " + std::string(name) + " is of another type");
    }
    Control& control(std::string_view name) const;
    Control* find_control(HWND window) const;
    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
    Timer& add_timer(std::string_view name, unsigned interval_ms);

    // The window icon as a picture (empty for the application icon).
    const Picture& icon_picture() const { return icon_picture_; }

    // The control that has, or last had, the focus in this window. One chosen by on_show is
    // the one that has the focus when the window comes on screen.
    Control* active_control() const { return active_; }
    void set_active_control(Control& control);
    // Moves the focus to the next tab stop after the active control, wrapping around.
    void select_next();

    // Shows the window modally: on_show runs first (a message box it shows comes before
    // the window), the main window is disabled meanwhile, and the call returns once a
    // button with a modal result was pressed, close() was called or the close box used.
    ModalResult show_modal();
    // Shows the window without a loop of its own (the main window).
    void show();
    // A modal window ends its showing with Cancel; the main window ends the application.
    void close();
    ModalResult modal_result() const { return modal_result_; }
    void set_modal_result(ModalResult result) { modal_result_ = result; }

    // Handlers of the window itself, run through the dispatch point.
    std::function<void()> on_create;
    std::function<void()> on_show;
    std::function<void()> on_hide;
    std::function<void()> on_destroy;

    // Creates the window and its controls, then runs on_create. Called by the application.
    void create();
    // Runs on_destroy, then destroys the window. Called by the application at its end.
    void destroy();

    // Paints the windowless controls of `parent` (null: of the window itself).
    void paint_graphics(HDC dc, const GroupBox* parent) const;
    // Handles what every parent window of controls receives.
    bool parent_message(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result);

    // Where the frame's parts lie now, and how the frame looks now (for tests as well).
    FrameLayout frame_layout() const { return frame_.layout(); }
    FrameLook frame_look() const { return frame_.look(); }

    static LRESULT CALLBACK window_proc(HWND, UINT, WPARAM, LPARAM) noexcept;

  private:
    friend class Control;
    friend class Timer;
    LRESULT message(UINT msg, WPARAM wparam, LPARAM lparam);
    void create_controls(const GroupBox* parent);
    void assign_groups();
    void place();
    void apply_focus();
    // Runs on_show, noting the control it chooses.
    void open();
    void paint(HDC dc);
    Control* find_control(int id) const;
    DWORD style() const;
    DWORD ex_style() const;
    // Sizes the window and places its controls for `dpi`; `where` is the new window
    // rectangle's top-left corner (null: it stays).
    void scale_to(int dpi, const POINT* where);

    Application& application_;
    std::string name_;
    std::string caption_;
    int client_width_;
    int client_height_;
    Placement placement_;
    bool minimize_box_;
    std::string active_control_name_;
    Picture icon_picture_;
    std::vector<ControlSpec> specs_;
    std::vector<std::unique_ptr<Control>> controls_;
    std::vector<std::unique_ptr<Timer>> timers_;
    HWND handle_ = nullptr;
    int dpi_ = 96;
    Control* active_ = nullptr;
    // While on_show runs, and then the control it chose until the window is on screen: the
    // activation would otherwise give the focus back to where it was when the window hid.
    bool opening_ = false;
    Control* opening_choice_ = nullptr;
    bool placed_ = false;
    bool modal_ = false;
    ModalResult modal_result_ = ModalResult::none;
    SkinnedFrame frame_;
};

}  // namespace toolkit
