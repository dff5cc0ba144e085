#pragma once

// A window's frame drawn by the skin: title bar, border, icon, title and caption buttons.
// The system keeps the frame's sizes, hit testing, dragging, system menu and keys; the
// frame paints itself over the system's and works the caption buttons it painted. Used by
// the toolkit's windows and by the system's message boxes alike.

#include <windows.h>

#include <functional>

#include "toolkit/skin_manager.h"

namespace toolkit {

class Application;

// A window's rectangle in its own coordinates (0, 0 its top-left corner, the frame
// included), and its client area in the same coordinates.
struct WindowRects {
    RECT window;
    RECT client;
};
WindowRects window_rects(HWND window);

class SkinnedFrame {
  public:
    // The window's own default handling of a message.
    using DefaultProc = std::function<LRESULT(UINT, WPARAM, LPARAM)>;

    SkinnedFrame(Application& application, bool minimize_box);
    // Takes over the frame of `window`, drawn with `icon` (none: no icon).
    void attach(HWND window, HICON icon);
    // The dots per inch it is drawn at: those of its window unless told.
    void set_dpi(int dpi) { dpi_ = dpi; }
    int dpi() const;

    // Where the frame's parts lie now, and how the frame looks now.
    FrameLayout layout() const;
    FrameLook look() const;
    // Paints the frame now, if the window shows one.
    void repaint() const;

    // Handles a message of the window that concerns its frame; false leaves it to the
    // window.
    bool message(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result,
                 const DefaultProc& default_proc);

  private:
    bool mouse_message(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result,
                       const DefaultProc& default_proc);
    LRESULT hit_test(LPARAM lparam, const std::function<LRESULT()>& by_default) const;
    void paint(HDC dc) const;
    void set_hot_button(CaptionButton button);
    bool over_pressed_button(LPARAM client_point) const;
    void release_caption_button(LPARAM client_point);

    Application& application_;
    bool minimize_box_;
    HWND window_ = nullptr;
    HICON icon_ = nullptr;
    int dpi_ = 0;
    bool active_ = false;
    bool tracking_leave_ = false;
    CaptionButton hot_button_ = CaptionButton::none;
    CaptionButton pressed_button_ = CaptionButton::none;  // held down by the mouse
    bool pressed_inside_ = false;                         // and the mouse still over it
};

}  // namespace toolkit
