// The stand-in GameMain.exe: a small window that runs the key routine carried in its own file
// (layout.h) on the keys held down and shows which of the nineteen inputs are on, with what
// it makes of game.ini, Input1.ini and Input2.ini and of the pads' buttons.
//
// GameMain.exe --probe [CODE...]   prints the input word the routine gives with exactly the
// keys CODE (DirectInput codes, 0x2C or 44) down, as "0x%X" and a line end, and ends.

#include <windows.h>
// After <windows.h>:
#include <mmsystem.h>
#include <shellapi.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/actions.h"
#include "core/application_directory.h"
#include "keyboard.h"
#include "kit/read_file.h"
#include "kit/text.h"
#include "layout.h"
#include "platform/win32/code_page_win32.h"
#include "platform/win32/services.h"
#include "platform/win32/system_library.h"
#include "routine.h"
#include "settings_view.h"
#include "toolkit/handles.h"

namespace {

constexpr wchar_t window_class[] = L"ZoreliaStandInGame";
constexpr std::string_view caption = "Зорелия: игра";
constexpr UINT_PTR pad_timer = 1;
constexpr UINT pad_interval_ms = 50;

// The routine of this program's own file, or why there is none.
std::optional<game::Routine> own_routine(std::string& problem) {
    const auto contents = kit::read_regular_file(platform::running_executable_path());
    if (!contents.ok()) {
        problem = "the program cannot read its own file";
        return std::nullopt;
    }
    return game::Routine::map(contents.bytes.span(), problem);
}

void write_out(std::string_view text) {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

int probe(const std::vector<std::wstring>& codes) {
    game::KeyState keys{};
    for (const auto& code : codes) {
        wchar_t* end = nullptr;
        const unsigned long value = std::wcstoul(code.c_str(), &end, 0);
        if (code.empty() || *end != L'\0' || value == 0 || value > 0xFF) {
            write_out("not a key code: " + kit::text::narrow(code) + "\n");
            return 2;
        }
        keys[value] = 0x80;
    }
    std::string problem;
    const auto routine = own_routine(problem);
    if (!routine) {
        write_out(problem + "\n");
        return 1;
    }
    std::array<char, 16> word{};
    std::snprintf(word.data(), word.size(), "0x%X\n", static_cast<unsigned>(routine->run(keys)));
    write_out(word.data());
    return 0;
}

// The captions of the launcher's dialogs where an input has one.
std::string input_caption(std::string_view entry) {
    struct Named {
        std::string_view entry;
        int list;  // in core/actions.h
    };
    static constexpr Named named[] = {
        {"KeyUp", 12}, {"KeyDown", 13}, {"KeyLeft", 10}, {"KeyRight", 11}, {"KeyA", 1},
        {"KeyB", 2},   {"KeyC", 3},     {"KeyTouch", 4}, {"KeyAppeal", 5}, {"KeyStart", 6},
        {"KeyAB", 7},  {"KeyBC", 8},    {"KeyABC", 9},
    };
    for (const auto& item : named)
        if (item.entry == entry)
            return std::string(launcher::actions::caption_of(item.list)) + " (" +
                   std::string(entry) + ")";
    return std::string(entry);
}

class GameWindow {
  public:
    GameWindow() : directory_(launcher::directory_of(platform::running_executable_path())) {
        routine_ = own_routine(routine_problem_);
        const auto& ansi = platform::ansi_code_page();
        display_ = game::read_display(directory_, ansi);
        pads_[0] = game::read_pad(directory_, 0, ansi);
        pads_[1] = game::read_pad(directory_, 1, ansi);
        font_.reset(CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH, L"Tahoma"));
        bold_.reset(CreateFontW(-13, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH, L"Tahoma"));
        background_.reset(CreateSolidBrush(RGB(26, 26, 26)));
        cell_.reset(CreateSolidBrush(RGB(48, 48, 48)));
        lit_.reset(CreateSolidBrush(RGB(232, 150, 40)));
    }

    HWND create(HINSTANCE instance, int show) {
        const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
        RECT frame{0, 0, display_.width, display_.height};
        AdjustWindowRectEx(&frame, style, FALSE, 0);
        const int width = frame.right - frame.left;
        const int height = frame.bottom - frame.top;
        const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
        HWND window = CreateWindowExW(0, window_class, kit::text::widen(caption).c_str(), style,
                                      x < 0 ? 0 : x, y < 0 ? 0 : y, width, height, nullptr, nullptr,
                                      instance, this);
        if (!window) return nullptr;
        ShowWindow(window, show);
        UpdateWindow(window);
        return window;
    }

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam,
                                      LPARAM lparam) noexcept {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<GameWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (!self) return DefWindowProcW(window, message, wparam, lparam);
        try {
            return self->handle(window, message, wparam, lparam);
        } catch (...) {
            return DefWindowProcW(window, message, wparam, lparam);
        }
    }

  private:
    LRESULT handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        switch (message) {
            case WM_CREATE:
                poll_pads();
                SetTimer(window, pad_timer, pad_interval_ms, nullptr);
                return 0;
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN:
            case WM_KEYUP:
            case WM_SYSKEYUP: {
                const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
                set_key(window, game::direct_input_code(static_cast<std::uint64_t>(lparam)), down);
                // Alt+F4 still closes the window; no other key opens the system menu.
                if (message == WM_SYSKEYDOWN && wparam == VK_F4)
                    return DefWindowProcW(window, message, wparam, lparam);
                return 0;
            }
            case WM_SYSCHAR:
                return 0;
            case WM_KILLFOCUS:
                keys_.fill(0);
                update(window);
                return 0;
            case WM_TIMER:
                if (wparam == pad_timer && poll_pads()) InvalidateRect(window, nullptr, FALSE);
                return 0;
            case WM_ERASEBKGND:
                return 1;
            case WM_PAINT:
                paint(window);
                return 0;
            case WM_DESTROY:
                KillTimer(window, pad_timer);
                PostQuitMessage(0);
                return 0;
            default:
                return DefWindowProcW(window, message, wparam, lparam);
        }
    }

    void set_key(HWND window, unsigned code, bool down) {
        if (code == 0 || code > 0xFF) return;  // code 0 is no key
        keys_[code] = down ? 0x80 : 0;
        update(window);
    }

    void update(HWND window) {
        const std::uint32_t word = routine_ ? routine_->run(keys_) : 0;
        if (word == word_) return;
        word_ = word;
        InvalidateRect(window, nullptr, FALSE);
    }

    // True when some pad's state changed.
    bool poll_pads() {
        if (!joy_get_pos_ex_) return false;
        bool changed = false;
        for (UINT pad = 0; pad < 2; ++pad) {
            JOYINFOEX info{};
            info.dwSize = sizeof(info);
            info.dwFlags = JOY_RETURNBUTTONS;
            std::optional<std::uint32_t> buttons;
            if (joy_get_pos_ex_(pad, &info) == JOYERR_NOERROR) buttons = info.dwButtons;
            if (buttons != pad_buttons_[pad]) changed = true;
            pad_buttons_[pad] = buttons;
        }
        return changed;
    }

    void text(HDC dc, int x, int y, std::string_view line, COLORREF colour) const {
        SetTextColor(dc, colour);
        const std::wstring wide = kit::text::widen(line);
        TextOutW(dc, x, y, wide.c_str(), static_cast<int>(wide.size()));
    }

    // `line` broken into words over the width of `box`.
    void paragraph(HDC dc, RECT box, std::string_view line, COLORREF colour) const {
        SetTextColor(dc, colour);
        const std::wstring wide = kit::text::widen(line);
        DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &box,
                  DT_WORDBREAK | DT_NOPREFIX);
    }

    void cell(HDC dc, int x, int y, int width, std::string_view label, bool on) const {
        RECT box{x, y, x + width, y + row_height - 2};
        FillRect(dc, &box, on ? lit_.get() : cell_.get());
        text(dc, x + 6, y + 1, label, on ? RGB(16, 16, 16) : RGB(170, 170, 170));
    }

    void paint(HWND window) const {
        toolkit::PaintDc paint_dc(window);
        RECT client{};
        GetClientRect(window, &client);
        // Drawn off screen first, so that a held key does not flicker.
        const HDC screen = paint_dc.get();
        toolkit::MemoryDc dc(CreateCompatibleDC(screen));
        toolkit::BitmapHandle bitmap(CreateCompatibleBitmap(screen, client.right, client.bottom));
        toolkit::Selected picture(dc.get(), bitmap.get());
        toolkit::Selected font(dc.get(), font_.get());
        FillRect(dc.get(), &client, background_.get());
        SetBkMode(dc.get(), TRANSPARENT);

        constexpr COLORREF plain = RGB(200, 200, 200);
        constexpr COLORREF fault = RGB(240, 110, 90);
        text(dc.get(), margin, 8, display_.line, plain);
        if (!routine_)
            text(dc.get(), margin, 8 + row_height, "Клавиатура не работает: " + routine_problem_,
                 fault);

        const int top = 8 + 2 * row_height + 6;
        const int column = (client.right - 2 * margin) / 3;
        {
            toolkit::Selected heading(dc.get(), bold_.get());
            text(dc.get(), margin, top, "Клавиатура", plain);
        }
        for (std::size_t i = 0; i < game::inputs.size(); ++i) {
            const auto& input = game::inputs[i];
            cell(dc.get(), margin, top + row_height * static_cast<int>(i + 1), column - 12,
                 input_caption(input.entry), (word_ & input.bit) != 0);
        }
        char word[32];
        std::snprintf(word, sizeof word, "Слово ввода: 0x%05X", static_cast<unsigned>(word_));
        text(dc.get(), margin, top + row_height * 20 + 2, word, plain);

        for (int pad = 0; pad < 2; ++pad) {
            const int x = margin + column * (pad + 1);
            const auto& view = pads_[static_cast<std::size_t>(pad)];
            const auto& buttons = pad_buttons_[static_cast<std::size_t>(pad)];
            {
                toolkit::Selected heading(dc.get(), bold_.get());
                text(dc.get(), x, top, pad == 0 ? "Геймпад 1" : "Геймпад 2", plain);
            }
            const auto held = game::held_actions(view, buttons.value_or(0));
            for (int p = 0; p < launcher::gamepad::position_count; ++p) {
                const int button = view.buttons[static_cast<std::size_t>(p)];
                const std::string label =
                    std::string(launcher::actions::caption_of(p + 1)) + ": " +
                    (button == 0 ? std::string("не задано") : "кнопка " + std::to_string(button));
                cell(dc.get(), x, top + row_height * (p + 1), column - 12, label,
                     held[static_cast<std::size_t>(p)]);
            }
            const bool bad = view.line.find(':') != std::string::npos;
            text(dc.get(), x, top + row_height * 10 + 6,
                 buttons ? "Геймпад подключён" : "Геймпад не подключён", plain);
            const int line_top = top + row_height * 11 + 6;
            paragraph(dc.get(), {x, line_top, x + column - 12, line_top + 3 * row_height},
                      view.line, bad ? fault : plain);
        }
        BitBlt(screen, 0, 0, client.right, client.bottom, dc.get(), 0, 0, SRCCOPY);
    }

    static constexpr int margin = 12;
    static constexpr int row_height = 20;

    std::string directory_;
    std::optional<game::Routine> routine_;
    std::string routine_problem_;
    game::KeyState keys_{};
    std::uint32_t word_ = 0;
    game::DisplayView display_;
    std::array<game::PadView, 2> pads_;
    std::array<std::optional<std::uint32_t>, 2> pad_buttons_;
    platform::SystemLibrary winmm_{L"winmm.dll"};
    decltype(::joyGetPosEx)* joy_get_pos_ex_ = winmm_.find<decltype(::joyGetPosEx)>("joyGetPosEx");
    toolkit::FontHandle font_;
    toolkit::FontHandle bold_;
    toolkit::BrushHandle background_;
    toolkit::BrushHandle cell_;
    toolkit::BrushHandle lit_;
};

struct LocalFreeDeleter {
    void operator()(LPWSTR* memory) const { LocalFree(memory); }
};

int run_window(HINSTANCE instance, int show) {
    WNDCLASSEXW window{};
    window.cbSize = sizeof(window);
    window.lpfnWndProc = GameWindow::procedure;
    window.hInstance = instance;
    window.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    window.lpszClassName = window_class;
    if (!RegisterClassExW(&window)) return 1;
    auto game = std::make_unique<GameWindow>();
    if (!game->create(instance, show)) return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    try {
        int count = 0;
        std::unique_ptr<LPWSTR, LocalFreeDeleter> arguments(
            CommandLineToArgvW(GetCommandLineW(), &count));
        if (arguments && count >= 2 && std::wstring_view(arguments.get()[1]) == L"--probe")
            return probe({arguments.get() + 2, arguments.get() + count});
        return run_window(instance, show);
    } catch (const std::exception& error) {
        write_out(std::string(error.what()) + "\n");
        return 1;
    }
}
