#include "test_support.h"

#include <chrono>
#include <memory>

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

bool pump_until(const std::function<bool()>& done, unsigned timeout_ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        toolkit::Application::process_messages();
        Sleep(5);
    }
    return true;
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

std::wstring window_text(HWND window) {
    wchar_t text[512]{};
    GetWindowTextW(window, text, 512);
    return text;
}

}  // namespace test
