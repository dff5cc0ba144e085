#pragma once

// The windowing toolkit's application: initialises what the windows need (the window
// classes, the fonts), holds the title and the skin, runs
// the event loop, and is the one dispatch point through which every handler runs.

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "toolkit/handles.h"
#include "toolkit/subclass.h"

namespace toolkit {

class Form;
class SkinManager;
class SystemDialogSkin;

class Application {
  public:
    explicit Application(platform::MessageBoxes& boxes);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    const std::string& title() const { return title_; }
    void set_title(std::string_view title) { title_ = title; }

    // Tahoma 8 pt (11 layout pixels high), one font object for every window and control
    // drawn at `dpi`.
    HFONT font(int dpi) const;
    // The windows' titles: the same face, bold.
    HFONT caption_font(int dpi) const;
    HICON big_icon() const { return big_icon_.get(); }
    HICON small_icon() const { return small_icon_.get(); }

    void set_skin(SkinManager& skin) { skin_ = &skin; }
    SkinManager& skin() const;
    bool has_skin() const { return skin_ != nullptr; }

    // Runs a handler. An error it raises stops it; the error's message is shown in an error
    // box captioned with the title, and the application carries on. Returns whether the
    // handler ran to its end.
    bool dispatch(const std::function<void()>& handler) noexcept;
    // The body of a window procedure, which no error may leave for the system's frames:
    // runs `body` and returns its result. An error escaping it is shown as dispatch shows a
    // handler's (one box at a time: a window that fails while a box is open fails again on
    // every repaint), then `fallback` (the window's default handling) answers the message.
    template <class Body, class Fallback>
    LRESULT guard(Body&& body, Fallback&& fallback) noexcept {
        try {
            return body();
        } catch (...) {
            report_window_error();
        }
        return fallback();
    }
    // The text of the error box: the message, followed by "." when its last character's
    // code is above that of ".". Text is UTF-8, so a message ending in a non-ASCII
    // character ends in a byte of 0x80 or more and gets the full stop; an empty message
    // gets nothing.
    static std::string error_text(std::string_view message);
    // The application's own messages: a box with the title, the text and one OK button.
    void show_message(std::string_view text) const;

    // Creates a form's window; the first form created becomes the main window.
    void create_form(Form& form);
    Form* main_form() const { return main_form_; }
    // Shows the main window (unless it is shown already) and runs the event loop until it
    // is closed.
    void run();
    void terminate() const;

    // One message of the loop, with dialog keys (Tab, arrows, Enter) for the windows.
    static void process_message(MSG& message);
    // Handles every pending message, then returns.
    static void process_messages();

  private:
    // Shows the error being handled in the error box; for catch blocks.
    void report_current_error() noexcept;
    void report_window_error() noexcept;

    platform::MessageBoxes& boxes_;
    std::string title_;
    // By dots per inch, made when first asked for.
    mutable std::map<int, FontHandle> fonts_;
    mutable std::map<int, FontHandle> caption_fonts_;
    IconHandle big_icon_;
    IconHandle small_icon_;
    SkinManager* skin_ = nullptr;
    Form* main_form_ = nullptr;
    bool reporting_window_error_ = false;
    std::unique_ptr<SystemDialogSkin> system_dialogs_;
};

// How a window answers a message whose handling failed: by its default handling, but a
// paint request is dropped, as the default painting of a skinned control could ask for the
// failing painting again without end.
template <class Default>
LRESULT answer_failed_message(HWND window, UINT msg, const Default& by_default) noexcept {
    if (msg != WM_PAINT) return by_default();
    ValidateRect(window, nullptr);
    return 0;
}

// The window procedure of a window subclassed for `owner` (set_window_subclass with the
// owner as its data): the owner's subclass_message answers under the application's guard,
// the window's own handling when it fails; subclass_ended runs as the window goes.
template <class Owner>
LRESULT CALLBACK guarded_subclass_proc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR, DWORD_PTR data) noexcept {
    auto& owner = *reinterpret_cast<Owner*>(data);
    const auto by_default = [&] { return def_subclass_proc(window, msg, wparam, lparam); };
    if (msg == WM_NCDESTROY) {
        remove_window_subclass(window, guarded_subclass_proc<Owner>, 0);
        owner.subclass_ended(window);
        return by_default();
    }
    return owner.application().guard(
        [&] { return owner.subclass_message(window, msg, wparam, lparam); },
        [&] { return answer_failed_message(window, msg, by_default); });
}

// The window classes of the toolkit, registered by the application.
extern const wchar_t* const form_window_class;
extern const wchar_t* const group_box_window_class;

}  // namespace toolkit
