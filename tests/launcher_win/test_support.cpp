#include "test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "kit_test.h"
#include "toolkit/application.h"

namespace test {
namespace {

std::map<UINT_PTR, std::function<void()>>& pending_actions() {
    static std::map<UINT_PTR, std::function<void()>> actions;
    return actions;
}

void CALLBACK run_pending(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto found = pending_actions().find(id);
    if (found == pending_actions().end()) return;
    auto action = std::move(found->second);
    pending_actions().erase(found);
    action();
}

}  // namespace

unsigned FakeJoystick::poll(unsigned id, platform::JoystickInfo& info) {
    polled.push_back(id);
    info.buttons = buttons.contains(id) ? buttons[id] : 0;
    const auto found = results.find(id);
    return found == results.end() ? 165 : found->second;
}

void run_later(std::function<void()> action, unsigned delay_ms) {
    const UINT_PTR id = SetTimer(nullptr, 0, delay_ms, run_pending);
    pending_actions()[id] = std::move(action);
}

toolkit::ModalResult show_modal_running(toolkit::Form& dialog, std::function<void()> inside,
                                        unsigned safety_ms) {
    run_later(std::move(inside));
    HWND window = dialog.handle();
    run_later([window] { PostMessageW(window, WM_CLOSE, 0, 0); }, safety_ms);
    return dialog.show_modal();
}

bool pump_until(const std::function<bool()>& done, unsigned timeout_ms) {
    return kit_test::wait_until(
        [&] {
            toolkit::Application::process_messages();
            return done();
        },
        std::chrono::milliseconds(timeout_ms));
}

void settle() {
    // Painting comes after every other message, and a look that finds nothing left ends it.
    toolkit::Application::process_messages();
    GdiFlush();
}

void press_key(HWND window, WPARAM key) {
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
    toolkit::Application::process_messages();
}

COLORREF screen_pixel(HWND window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    HDC screen = GetDC(nullptr);
    const COLORREF color = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return color;
}

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<const std::uint32_t*>(bits);
    old_bitmap_ = SelectObject(dc_.get(), bitmap_.get());
}

COLORREF Canvas::pixel(int x, int y) const {
    GdiFlush();
    const std::uint32_t bgra =
        bits_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
              static_cast<std::size_t>(x)];
    return RGB(bgra >> 16 & 0xFF, bgra >> 8 & 0xFF, bgra & 0xFF);
}

std::vector<COLORREF> Canvas::pixels() const {
    std::vector<COLORREF> all;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) all.push_back(pixel(x, y));
    return all;
}

void Canvas::copy_screen(POINT origin) {
    HDC screen = GetDC(nullptr);
    BitBlt(dc_.get(), 0, 0, width_, height_, screen, origin.x, origin.y, SRCCOPY);
    ReleaseDC(nullptr, screen);
}

bool is_system_look(COLORREF color) {
    for (int element : {COLOR_BTNFACE, COLOR_WINDOW, COLOR_ACTIVECAPTION})
        if (color == GetSysColor(element)) return true;
    return false;
}

void mouse_to(POINT screen) {
    SetCursorPos(screen.x, screen.y);
}

void mouse_button(bool down) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof(input));
}

POINT window_to_screen(HWND window, POINT at) {
    RECT outer{};
    GetWindowRect(window, &outer);
    return {outer.left + at.x, outer.top + at.y};
}

COLORREF window_pixel(HWND window, POINT at) {
    const POINT screen = window_to_screen(window, at);
    HDC dc = GetDC(nullptr);
    const COLORREF color = GetPixel(dc, screen.x, screen.y);
    ReleaseDC(nullptr, dc);
    return color;
}

std::wstring window_text(HWND window) {
    wchar_t text[512]{};
    GetWindowTextW(window, text, 512);
    return text;
}

void expect_dialog_frame(HWND window, std::wstring_view caption, LONG client_width,
                         LONG client_height) {
    EXPECT_EQ(window_text(window), caption);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, client_width);
    EXPECT_EQ(client.bottom, client_height);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
}

void expect_placed(const toolkit::Form& form, std::span<const Placed> controls) {
    for (const auto& expected : controls) {
        SCOPED_TRACE(expected.name);
        const auto& control = form.control(expected.name);
        HWND parent = expected.parent ? form.control(expected.parent).handle() : form.handle();
        ASSERT_EQ(GetParent(control.handle()), parent);
        if (expected.caption) {
            EXPECT_EQ(window_text(control.handle()), expected.caption);
        }
        RECT bounds{};
        GetWindowRect(control.handle(), &bounds);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&bounds), 2);
        EXPECT_EQ(bounds.left, expected.bounds.left);
        EXPECT_EQ(bounds.top, expected.bounds.top);
        EXPECT_EQ(bounds.right, expected.bounds.right);
        if (expected.bounds.bottom) {
            EXPECT_EQ(bounds.bottom, expected.bounds.bottom);
        }
    }
}

}  // namespace test
