#include <windows.h>
// After <windows.h>:
#include <mmsystem.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "kit/text.h"
#include "platform/win32/code_page_win32.h"
#include "platform/win32/services.h"
#include "platform/win32/system_library.h"

namespace platform {
namespace {

// The multimedia joystick of winmm.dll, which is no known DLL: loaded from the system folder.
class WinmmJoystick final : public Joystick {
  public:
    unsigned poll(unsigned id, JoystickInfo& info) override {
        JOYINFO raw{};
        // Without the system's function every pad counts as absent.
        auto* const joy_get_pos = find_joy_get_pos();
        const MMRESULT result = joy_get_pos ? joy_get_pos(id, &raw) : MMSYSERR_NODRIVER;
        // A failed poll (no pad, or one pulled out) reports nothing held, whatever the call
        // left in its record: a button held at the moment of unplugging is not seen again.
        if (result != JOYERR_NOERROR) raw = {};
        info.x = raw.wXpos;
        info.y = raw.wYpos;
        info.z = raw.wZpos;
        info.buttons = raw.wButtons;
        return result;
    }

  private:
    // Loaded at the first poll, not at start-up, which needs no pad.
    decltype(::joyGetPos)* find_joy_get_pos() {
        if (!winmm_) {
            // Under Wine the joystick runs through dinput, which imports comctl32: loaded by
            // name from there, it would be looked for beside the exe first. Already loaded
            // from the system folder, it is taken from there.
            comctl32_.emplace(L"comctl32.dll");
            winmm_.emplace(L"winmm.dll");
            joy_get_pos_ = winmm_->find<decltype(::joyGetPos)>("joyGetPos");
        }
        return joy_get_pos_;
    }

    std::optional<SystemLibrary> comctl32_;
    std::optional<SystemLibrary> winmm_;
    decltype(::joyGetPos)* joy_get_pos_ = nullptr;
};

// The shell is loaded only to start a program: loading it at the launcher's start would
// cost every start for a call few of them make.
class ShellStarter final : public ProgramStarter {
  public:
    void start(const std::string& program, const std::string& working_directory) override {
        const std::wstring file = kit::text::widen(program);
        const std::wstring directory = kit::text::widen(working_directory);
        // The outcome is deliberately not examined: a missing program is not reported.
        const SystemLibrary shell32(L"shell32.dll");
        if (auto* execute = shell32.find<decltype(::ShellExecuteW)>("ShellExecuteW"))
            execute(nullptr, L"", file.c_str(), L"", directory.c_str(), SW_SHOWNORMAL);
    }
};

// The primary display's present mode, in real pixels. The launcher is not DPI-aware, and
// Windows scales the screen metrics down for such programs when the display is scaled above
// 100 % (1280 x 720 for a 1920 x 1080 screen at 150 %); display modes are not scaled.
class PrimaryScreen final : public Screen {
  public:
    ScreenSize primary_size() override {
        DISPLAY_DEVICEW device{};
        device.cb = sizeof(device);
        for (DWORD index = 0; EnumDisplayDevicesW(nullptr, index, &device, 0); ++index) {
            if (device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) {
                DEVMODEW mode{};
                mode.dmSize = sizeof(mode);
                if (EnumDisplaySettingsW(device.DeviceName, ENUM_CURRENT_SETTINGS, &mode) &&
                    mode.dmPelsWidth && mode.dmPelsHeight)
                    return {static_cast<int>(mode.dmPelsWidth),
                            static_cast<int>(mode.dmPelsHeight)};
                break;
            }
            device = {};
            device.cb = sizeof(device);
        }
        return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
};

class SystemMessageBoxes final : public MessageBoxes {
  public:
    void show(std::string_view title, std::string_view text, BoxKind kind) override {
        const std::wstring wide_title = kit::text::widen(title);
        const std::wstring wide_text = kit::text::widen(text);
        const UINT icon = kind == BoxKind::error ? MB_ICONERROR : 0;
        // Owned by the active window, so that it is modal to the window the player works in.
        MessageBoxW(GetActiveWindow(), wide_text.c_str(), wide_title.c_str(), MB_OK | icon);
    }
};

}  // namespace

std::string running_executable_path() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        // A full buffer may mean a cut path: try again with a larger one.
        if (length < buffer.size() - 1) return kit::text::narrow({buffer.data(), length});
        buffer.resize(buffer.size() * 2);
    }
}

Services system_services() {
    static WinmmJoystick joystick;
    static ShellStarter starter;
    static PrimaryScreen screen;
    static SystemMessageBoxes boxes;
    return Services{joystick, starter, screen, boxes, running_executable_path, ansi_code_page()};
}

}  // namespace platform
