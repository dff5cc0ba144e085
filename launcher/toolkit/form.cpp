#include "toolkit/form.h"

#include <algorithm>
#include <utility>

#include "kit/text.h"
#include "toolkit/application.h"
#include "toolkit/dpi.h"
#include "toolkit/skin_manager.h"

namespace toolkit {
namespace {

// Control ids start above IDOK and IDCANCEL, which the dialog manager sends for Enter and
// Escape when the window has no default or cancel button: those must stay without effect.
constexpr int first_control_id = 100;

// Every kind has its case: -Wswitch names a kind added without one.
std::unique_ptr<Control> make_control(Form& form, const ControlSpec& spec, int id) {
    switch (spec.kind) {
        case ControlKind::button:
            return std::make_unique<Button>(form, spec, id);
        case ControlKind::combo_box:
            return std::make_unique<ComboBox>(form, spec, id);
        case ControlKind::label:
            return std::make_unique<Label>(form, spec, id);
        case ControlKind::group_box:
            return std::make_unique<GroupBox>(form, spec, id);
        case ControlKind::radio_button:
            return std::make_unique<RadioButton>(form, spec, id);
        case ControlKind::check_box:
            return std::make_unique<CheckBox>(form, spec, id);
        case ControlKind::image:
            return std::make_unique<Image>(form, spec, id);
    }
    throw std::logic_error("unknown control kind");
}

POINT centred(const RECT& outer, const RECT& area) {
    return {area.left + (area.right - area.left - (outer.right - outer.left)) / 2,
            area.top + (area.bottom - area.top - (outer.bottom - outer.top)) / 2};
}

}  // namespace

Form::Form(Application& application, const FormSpec& spec, std::span<const ControlSpec> controls)
    : application_(application),
      name_(spec.name),
      caption_(spec.caption),
      client_width_(spec.client_width),
      client_height_(spec.client_height),
      placement_(spec.placement),
      minimize_box_(spec.minimize_box),
      active_control_name_(spec.active_control),
      specs_(controls.begin(), controls.end()),
      frame_(application, spec.minimize_box) {
    if (!spec.icon_picture.empty())
        icon_picture_ = Picture::from_resource(spec.icon_picture, PictureUse::draw_and_icon, dpi_);
    int id = first_control_id;
    for (const ControlSpec& control : specs_)
        controls_.push_back(make_control(*this, control, id++));
    for (std::size_t i = 0; i < specs_.size(); ++i) {
        if (specs_[i].parent.empty()) continue;
        controls_[i]->parent_ = &get<GroupBox>(specs_[i].parent);
    }
}

Form::~Form() {
    if (handle_) DestroyWindow(handle_);
}

bool Form::visible() const {
    return handle_ && IsWindowVisible(handle_);
}

Control& Form::control(std::string_view name) const {
    for (const auto& control : controls_)
        if (control->name() == name) return *control;
    throw std::logic_error("no control named " + std::string(name) + " in " + name_);
}

Control* Form::find_control(HWND window) const {
    if (!window) return nullptr;
    for (const auto& control : controls_)
        if (control->handle() == window) return control.get();
    return nullptr;
}

Control* Form::find_control(int id) const {
    for (const auto& control : controls_)
        if (control->id() == id) return control.get();
    return nullptr;
}

Timer& Form::add_timer(std::string_view name, unsigned interval_ms) {
    const auto id = static_cast<UINT_PTR>(timers_.size() + 1);
    timers_.push_back(std::make_unique<Timer>(*this, name, interval_ms, id));
    return *timers_.back();
}

DWORD Form::style() const {
    return WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | (minimize_box_ ? WS_MINIMIZEBOX : 0);
}

DWORD Form::ex_style() const {
    // The main window carries the application's taskbar button; the dialogs are owned by it.
    const bool is_main = application_.main_form() == this;
    return WS_EX_CONTROLPARENT | (is_main ? WS_EX_APPWINDOW : 0);
}

HFONT Form::font() const {
    return application_.font(dpi_);
}

void Form::create() {
    if (handle_) return;
    const bool is_main = application_.main_form() == this;
    const RECT outer =
        window_rect_for_client(client_width_, client_height_, style(), ex_style(), layout_dpi);
    HWND owner = is_main ? nullptr : application_.main_form()->handle();
    const std::wstring caption = kit::text::widen(caption_);
    CreateWindowExW(ex_style(), form_window_class, caption.c_str(), style(), CW_USEDEFAULT,
                    CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top, owner,
                    nullptr, GetModuleHandleW(nullptr), this);
    if (!handle_) throw std::runtime_error("Cannot create window " + name_);
    // Made at 96 dpi, then sized for the monitor it is on; its controls are made at that size.
    if (const int dpi = window_dpi(handle_); dpi != layout_dpi) scale_to(dpi, nullptr);
    SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font()), FALSE);
    // A window's own picture serves as both its icons.
    const HICON big = icon_picture_.icon() ? icon_picture_.icon() : application_.big_icon();
    const HICON small = icon_picture_.icon() ? icon_picture_.icon() : application_.small_icon();
    SendMessageW(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(handle_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    frame_.attach(handle_, small);

    create_controls(nullptr);
    assign_groups();
    for (const auto& control : controls_) {
        if (auto* button = dynamic_cast<Button*>(control.get()); button && button->default_button())
            SendMessageW(handle_, DM_SETDEFID, static_cast<WPARAM>(button->id()), 0);
    }
    if (!active_control_name_.empty()) active_ = &control(active_control_name_);
    for (const auto& timer : timers_) timer->apply();
    application_.dispatch(on_create);
}

void Form::create_controls(const GroupBox* parent) {
    std::vector<Control*> children;
    for (const auto& control : controls_)
        if (control->parent() == parent) children.push_back(control.get());
    // Windows in tab order, so that the dialog keys visit them in that order.
    std::stable_sort(children.begin(), children.end(), [this](Control* a, Control* b) {
        const auto order = [this](Control* control) {
            const int tab =
                specs_[static_cast<std::size_t>(control->id() - first_control_id)].tab_order;
            return tab < 0 ? INT32_MAX : tab;
        };
        return order(a) < order(b);
    });
    for (Control* child : children) {
        child->created();
        if (auto* group = dynamic_cast<GroupBox*>(child)) create_controls(group);
    }
}

// Arrow keys move through a group of controls; radio buttons form groups of their own.
void Form::assign_groups() {
    const auto mark = [this](HWND container) {
        bool previous_radio = false;
        bool first = true;
        for (HWND child = GetWindow(container, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            const Control* control = find_control(child);
            const bool radio = control && control->kind() == ControlKind::radio_button;
            LONG style = GetWindowLongW(child, GWL_STYLE);
            if (first || radio != previous_radio)
                style |= WS_GROUP;
            else
                style &= ~WS_GROUP;
            SetWindowLongW(child, GWL_STYLE, style);
            previous_radio = radio;
            first = false;
        }
    };
    mark(handle_);
    for (const auto& control : controls_)
        if (control->kind() == ControlKind::group_box && control->handle()) mark(control->handle());
}

void Form::destroy() {
    if (!handle_) return;
    application_.dispatch(on_destroy);
    for (const auto& timer : timers_) timer->set_enabled(false);
    DestroyWindow(handle_);
}

void Form::scale_to(int dpi, const POINT* where) {
    dpi_ = dpi;
    frame_.set_dpi(dpi);
    RECT now{};
    GetWindowRect(handle_, &now);
    const POINT at = where ? *where : POINT{now.left, now.top};
    const RECT outer =
        window_rect_for_client(client_width_, client_height_, style(), ex_style(), dpi);
    SIZE size{outer.right - outer.left, outer.bottom - outer.top};
    SetWindowPos(handle_, nullptr, at.x, at.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame may keep the sizes of its former scaling: make up the difference.
    RECT client{};
    GetClientRect(handle_, &client);
    const int wanted_width = scaled(client_width_, dpi);
    const int wanted_height = scaled(client_height_, dpi);
    if (client.right != wanted_width || client.bottom != wanted_height) {
        size.cx += wanted_width - client.right;
        size.cy += wanted_height - client.bottom;
        SetWindowPos(handle_, nullptr, 0, 0, size.cx, size.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font()), FALSE);
    for (const auto& control : controls_) control->scale_to(dpi);
    RedrawWindow(handle_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void Form::place() {
    if (placed_) return;
    placed_ = true;
    if (placement_ == Placement::default_position) return;
    RECT outer{};
    GetWindowRect(handle_, &outer);
    RECT area{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
    area.right = area.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    area.bottom = area.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    Form* main = application_.main_form();
    if (placement_ == Placement::main_form_center && main && main != this && main->handle_)
        GetWindowRect(main->handle_, &area);
    const POINT at = centred(outer, area);
    SetWindowPos(handle_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::apply_focus() {
    if (active_ && active_->handle() && IsWindowEnabled(active_->handle()))
        SendMessageW(handle_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(active_->handle()), TRUE);
}

void Form::show() {
    place();
    ShowWindow(handle_, SW_SHOW);
    SetForegroundWindow(handle_);
    if (opening_choice_) active_ = std::exchange(opening_choice_, nullptr);
    apply_focus();
    UpdateWindow(handle_);
}

void Form::open() {
    opening_choice_ = nullptr;
    opening_ = true;
    application_.dispatch(on_show);
    opening_ = false;
}

ModalResult Form::show_modal() {
    if (!handle_) throw std::logic_error(name_ + " has no window: create it first");
    if (modal_) throw std::logic_error(name_ + " is shown already");
    open();
    modal_result_ = ModalResult::none;
    Form* main = application_.main_form();
    HWND owner = main && main != this ? main->handle_ : nullptr;
    if (owner) EnableWindow(owner, FALSE);
    modal_ = true;
    show();
    MSG message{};
    while (modal_result_ == ModalResult::none) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            // The application is ending: leave the loop and let the outer one see the quit.
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
            modal_result_ = ModalResult::cancel;
            break;
        }
        Application::process_message(message);
    }
    modal_ = false;
    const ModalResult result = modal_result_;
    // The owner comes back before this window goes, so that the system activates it.
    if (owner) EnableWindow(owner, TRUE);
    application_.dispatch(on_hide);
    ShowWindow(handle_, SW_HIDE);
    if (owner) SetActiveWindow(owner);
    return result;
}

void Form::close() {
    if (modal_) {
        modal_result_ = ModalResult::cancel;
    } else if (application_.main_form() == this) {
        ShowWindow(handle_, SW_HIDE);
        application_.terminate();
    } else if (handle_) {
        application_.dispatch(on_hide);
        ShowWindow(handle_, SW_HIDE);
    }
}

void Form::set_active_control(Control& control) {
    active_ = &control;
    if (opening_) opening_choice_ = &control;
    // Within this thread only: a window in the background becomes active here without
    // taking the foreground from another program.
    if (visible()) apply_focus();
}

void Form::select_next() {
    HWND from = active_ ? active_->handle() : nullptr;
    HWND next = GetNextDlgTabItem(handle_, from, FALSE);
    if (Control* control = find_control(next)) set_active_control(*control);
}

void Form::paint_graphics(HDC dc, const GroupBox* parent) const {
    for (const auto& control : controls_)
        if (!control->windowed() && control->parent() == parent) control->paint(dc);
}

void Form::paint(HDC dc) {
    RECT client{};
    GetClientRect(handle_, &client);
    Selected selected(dc, font());
    application_.skin().paint_background(dc, client, Section::form);
    paint_graphics(dc, nullptr);
}

bool Form::parent_message(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    switch (msg) {
        case WM_COMMAND: {
            Control* control = find_control(reinterpret_cast<HWND>(lparam));
            if (!control && lparam == 0) control = find_control(static_cast<int>(LOWORD(wparam)));
            if (control) control->command(HIWORD(wparam));
            result = 0;
            return true;
        }
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
            Control* control = find_control(item.hwndItem);
            if (!control) return false;
            Selected selected(item.hDC, font());
            control->draw(item);
            result = TRUE;
            return true;
        }
        case WM_MEASUREITEM: {
            // Arrives while the control's window is being made: found by id.
            auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
            Control* control = find_control(static_cast<int>(item.CtlID));
            if (!control) return false;
            control->measure(item);
            result = TRUE;
            return true;
        }
        case WM_CTLCOLORLISTBOX: {
            // The open list of a drop-down list, around and below its items.
            SkinManager& skin = application_.skin();
            const COLORREF face = skin.color(Section::combo_box, Property::list);
            SetBkColor(reinterpret_cast<HDC>(wparam), face);
            SetTextColor(reinterpret_cast<HDC>(wparam),
                         skin.color(Section::combo_box, Property::text));
            result = reinterpret_cast<LRESULT>(skin.brush(face));
            return true;
        }
        default:
            return false;
    }
}

LRESULT Form::message(UINT msg, WPARAM wparam, LPARAM lparam) {
    LRESULT result = 0;
    const auto by_default = [this](UINT message, WPARAM first, LPARAM second) {
        return DefDlgProcW(handle_, message, first, second);
    };
    if (frame_.message(msg, wparam, lparam, result, by_default)) return result;
    if (parent_message(msg, wparam, lparam, result)) return result;
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT fills everything
        case WM_PAINT: {
            const PaintDc dc(handle_);
            paint(dc.get());
            return 0;
        }
        case WM_PRINTCLIENT:
            paint(reinterpret_cast<HDC>(wparam));
            return 0;
        case WM_TIMER:
            for (const auto& timer : timers_)
                if (timer->id_ == wparam && timer->enabled())
                    application_.dispatch(timer->on_timer);
            return 0;
        case WM_CLOSE:
            close();
            return 0;
        case WM_DPICHANGED: {
            // Moved to a monitor of another scaling: where the system suggests, at the new
            // size of the layout.
            const auto& suggested = *reinterpret_cast<const RECT*>(lparam);
            const POINT at{suggested.left, suggested.top};
            scale_to(LOWORD(wparam), &at);
            return 0;
        }
        case WM_ACTIVATE: {
            // Back to this window's own active control, which may have changed meanwhile. The
            // dialog manager gives the focus back to where it was when the window was last
            // hidden; a control chosen by the opening comes first.
            result = DefDlgProcW(handle_, msg, wparam, lparam);
            if (opening_choice_) active_ = opening_choice_;
            if (LOWORD(wparam) != WA_INACTIVE && !HIWORD(wparam)) apply_focus();
            return result;
        }
        default:
            return DefDlgProcW(handle_, msg, wparam, lparam);
    }
}

LRESULT CALLBACK Form::window_proc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) noexcept {
    auto* self = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (msg == WM_NCCREATE) {
        self = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->handle_ = window;
    }
    const auto by_default = [&] { return DefDlgProcW(window, msg, wparam, lparam); };
    if (!self) return by_default();
    if (msg == WM_NCDESTROY) {
        const LRESULT result = by_default();
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->handle_ = nullptr;
        return result;
    }
    return self->application_.guard([&] { return self->message(msg, wparam, lparam); },
                                    [&] { return answer_failed_message(window, msg, by_default); });
}

}  // namespace toolkit
