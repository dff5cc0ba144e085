#pragma once

// The windowing toolkit's application: initialises what the windows need (COM for the
// picture decoder, the window classes, the one font), holds the title and the skin, runs
// the event loop, and is the one dispatch point through which every handler runs.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "toolkit/handles.h"

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
    platform::MessageBoxes& message_boxes() const { return boxes_; }

    // Tahoma 8 pt (11 pixels high): one font object shared by every window and control.
    HFONT font() const { return font_.get(); }
    // The windows' titles: the same face, bold.
    HFONT caption_font() const { return caption_font_.get(); }
    HICON big_icon() const { return big_icon_.get(); }
    HICON small_icon() const { return small_icon_.get(); }

    void set_skin(SkinManager& skin) { skin_ = &skin; }
    SkinManager& skin() const;
    bool has_skin() const { return skin_ != nullptr; }

    // Runs a handler. An error it raises stops it; the error's message is shown in an error
    // box captioned with the title, and the application carries on. Returns whether the
    // handler ran to its end.
    bool dispatch(const std::function<void()>& handler) noexcept;
    // The application's own messages: a box with the title, the text and one OK button.
    void show_message(std::string_view text) const;

    // Creates a form's window; the first form created becomes the main window.
    void create_form(Form& form);
    Form* main_form() const { return main_form_; }
    // Shows the main window and runs the event loop until it is closed.
    void run();
    void terminate() const;

    // One message of the loop, with dialog keys (Tab, arrows, Enter) for the windows.
    static void process_message(MSG& message);
    // Handles every pending message, then returns.
    static void process_messages();

  private:
    platform::MessageBoxes& boxes_;
    std::string title_;
    FontHandle font_;
    FontHandle caption_font_;
    IconHandle big_icon_;
    IconHandle small_icon_;
    SkinManager* skin_ = nullptr;
    Form* main_form_ = nullptr;
    bool com_ready_ = false;
    std::unique_ptr<SystemDialogSkin> system_dialogs_;
};

// The window classes of the toolkit, registered by the application.
extern const wchar_t* const form_window_class;
extern const wchar_t* const group_box_window_class;

}  // namespace toolkit
