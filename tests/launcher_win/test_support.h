#pragma once

// Fakes of the platform services and helpers to drive real windows from a test.

#include <windows.h>

#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/code_page_win32.h"
#include "platform/win32/services.h"
#include "toolkit/form.h"
#include "toolkit/handles.h"

namespace test {

class FakeJoystick final : public platform::Joystick {
  public:
    // Pads not listed are absent, with the result Wine gives for a missing pad.
    std::map<unsigned, unsigned> results;
    std::map<unsigned, std::uint32_t> buttons;
    std::vector<unsigned> polled;
    unsigned poll(unsigned id, platform::JoystickInfo& info) override;
};

class FakeStarter final : public platform::ProgramStarter {
  public:
    struct Start {
        std::string program;
        std::string working_directory;
    };
    std::vector<Start> started;
    void start(const std::string& program, const std::string& working_directory) override {
        started.push_back({program, working_directory});
    }
};

class FakeScreen final : public platform::Screen {
  public:
    platform::ScreenSize size{1920, 1080};
    platform::ScreenSize primary_size() override { return size; }
};

class FakeBoxes final : public platform::MessageBoxes {
  public:
    struct Box {
        std::string title;
        std::string text;
        platform::BoxKind kind;
    };
    std::vector<Box> shown;
    // Runs inside show(), while the box would be on screen.
    std::function<void()> while_shown;
    void show(std::string_view title, std::string_view text, platform::BoxKind kind) override {
        shown.push_back({std::string(title), std::string(text), kind});
        if (while_shown) while_shown();
    }
};

struct FakeServices {
    FakeJoystick joystick;
    FakeStarter starter;
    FakeScreen screen;
    FakeBoxes boxes;
    std::string executable = "C:\\Игры\\Зорелия\\launcher.exe";
    const launcher::CodePage& code_page = platform::ansi_code_page();
    platform::Services services() {
        return {joystick, starter, screen, boxes, [this] { return executable; }, code_page};
    }
};

// Runs `action` from whichever message loop runs `delay_ms` from now (the application's,
// a modal window's, a message box's).
void run_later(std::function<void()> action, unsigned delay_ms = 0);

// Shows `dialog` modally; `inside` runs from its loop and should close it. Should it not, the
// close box ends the showing after `safety_ms`.
toolkit::ModalResult show_modal_running(toolkit::Form& dialog, std::function<void()> inside,
                                        unsigned safety_ms = 5000);

// Handles messages, with the dialog keys, until `done` or the time is up; returns `done()`.
bool pump_until(const std::function<bool()>& done, unsigned timeout_ms = 3000);

// Handles every message that waits for this thread, the input a test queued and the painting
// it causes included, until none is left: the windows of this thread are then idle, and the
// screen shows what they drew.
void settle();

// Sends a key press to a window as the keyboard would post it, then handles it.
void press_key(HWND window, WPARAM key);

// The colour on screen at a point of a window's client area.
COLORREF screen_pixel(HWND window, int x, int y);

// Where a point of a window (in window coordinates, 0,0 its top-left corner, the frame
// included) is on screen, and the colour shown there.
POINT window_to_screen(HWND window, POINT at);
COLORREF window_pixel(HWND window, POINT at);

std::wstring window_text(HWND window);

// A dialog's frame: its caption, client size, a close box and no other box, fixed size.
void expect_dialog_frame(HWND window, std::wstring_view caption, LONG client_width,
                         LONG client_height);

// Where a windowed control lies in its parent's client area, and its text.
struct Placed {
    const char* name;
    const char* parent;      // nullptr: the window itself
    const wchar_t* caption;  // nullptr: not checked (a list shows its item)
    RECT bounds;             // bottom 0: not checked (a drop-down list's height is the system's)
};
void expect_placed(const toolkit::Form& form, std::span<const Placed> controls);

// A 32-bit picture to paint into, or to copy the screen into, and to read back.
class Canvas {
  public:
    Canvas(int width, int height);
    ~Canvas() { SelectObject(dc_.get(), old_bitmap_); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    COLORREF pixel(int x, int y) const;
    std::vector<COLORREF> pixels() const;
    // Copies what the screen shows from `origin` on.
    void copy_screen(POINT origin);

  private:
    int width_;
    int height_;
    const std::uint32_t* bits_ = nullptr;
    toolkit::MemoryDc dc_;
    toolkit::BitmapHandle bitmap_;
    HGDIOBJ old_bitmap_ = nullptr;
};

// The system's face, window and active title bar colours: what a skinned window never shows.
bool is_system_look(COLORREF color);

// The mouse as the player uses it: the pointer to a point of the screen, the left button.
// The input is queued; whichever loop runs next handles it.
void mouse_to(POINT screen);
void mouse_button(bool down);

}  // namespace test
