// The real launcher.exe on a screen of 96, 144 and 192 dpi: its main window at 1, 1.5 and 2
// times the layout, every caption fitting its button in the larger font, and the portrait
// drawn from its larger artwork, not stretched. Each density is a screen of its own: the test
// runs in a Wine session started at that density (see CMakeLists.txt), and measures as a
// DPI-aware tool, through the manifest it shares with the launcher.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "kit/text.h"
#include "kit_test.h"
#include "test_support.h"
#include "toolkit/dpi.h"
#include "toolkit/formats/png.h"

namespace {

struct Running {
    PROCESS_INFORMATION process{};
    HWND window = nullptr;
    ~Running() {
        if (!process.hProcess) return;
        if (window) PostMessageW(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
};

// The main window's buttons in its layout, in 96-dpi pixels.
struct LaidOut {
    const wchar_t* caption;
    RECT bounds;
};
const LaidOut main_buttons[] = {
    {L"Запустить", {84, 324, 164, 349}},  {L"Геймпад 1", {43, 262, 124, 287}},
    {L"Клавиатура", {43, 293, 123, 318}}, {L"Геймпад 2", {131, 262, 213, 287}},
    {L"Экран", {131, 293, 213, 318}},
};

// An RCDATA resource of launcher.exe.
std::vector<std::uint8_t> launcher_resource(const wchar_t* name) {
    HMODULE exe = LoadLibraryExW(kit::text::widen(LAUNCHER_EXE).c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    std::vector<std::uint8_t> bytes;
    if (!exe) return bytes;
    if (HRSRC info = FindResourceW(exe, name, MAKEINTRESOURCEW(10))) {
        const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(exe, info)));
        if (data) bytes.assign(data, data + SizeofResource(exe, info));
    }
    FreeLibrary(exe);
    return bytes;
}

class ScalingTest : public testing::TestWithParam<int> {};

TEST_P(ScalingTest, TheMainWindowIsLaidOutAndDrawnForTheScreensDensity) {
    const int dpi = GetParam();
    const auto px = [dpi](int length) { return toolkit::scaled(length, dpi); };
    HDC screen = GetDC(nullptr);
    const int screen_dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(screen_dpi, dpi) << "this session's screen has another density: run it in a "
                                  "Wine prefix made at this one, as CTest does";
    Running launcher;
    const auto started = kit_test::start_program(kit::text::widen(LAUNCHER_EXE));
    ASSERT_TRUE(started);
    launcher.process = *started;
    launcher.window = kit_test::wait_for_window(L"Зорелия", launcher.process.dwProcessId);
    ASSERT_NE(launcher.window, nullptr);
    WaitForInputIdle(launcher.process.hProcess, 10000);
    HWND window = launcher.window;

    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, px(256));
    EXPECT_EQ(client.bottom, px(356));

    // Each button at its scaled place, its caption fitting inside its border and focus ring.
    LOGFONTW font_spec{};
    font_spec.lfHeight = -px(11);
    font_spec.lfCharSet = DEFAULT_CHARSET;
    lstrcpyW(font_spec.lfFaceName, L"Tahoma");
    const toolkit::FontHandle font(CreateFontIndirectW(&font_spec));
    HDC measuring = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(measuring, font.get());
    for (const LaidOut& button : main_buttons) {
        SCOPED_TRACE(testing::Message()
                     << "button " << button.bounds.left << "," << button.bounds.top);
        HWND handle = FindWindowExW(window, nullptr, L"Button", button.caption);
        ASSERT_NE(handle, nullptr);
        RECT place{};
        GetWindowRect(handle, &place);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
        const RECT expected = toolkit::scaled(button.bounds, dpi);
        EXPECT_TRUE(EqualRect(&place, &expected));
        SIZE text{};
        GetTextExtentPoint32W(measuring, button.caption, lstrlenW(button.caption), &text);
        EXPECT_LE(text.cx, place.right - place.left - 2 * px(4));
        EXPECT_LE(text.cy, place.bottom - place.top - 2 * px(1));
    }
    SelectObject(measuring, previous);
    ReleaseDC(nullptr, measuring);

    // The portrait, as the artwork of this density over the window's face: drawn from it
    // unstretched.
    const wchar_t* const portrait = dpi <= 96    ? L"PORTRAIT"
                                    : dpi <= 144 ? L"PORTRAIT_150"
                                                 : L"PORTRAIT_200";
    const auto artwork = toolkit::png::decode(launcher_resource(portrait));
    ASSERT_EQ(artwork.width, px(256));
    // Pixels of the portrait as the screen shows it that equal the artwork over the face.
    const auto matching_pixels = [&] {
        test::Canvas canvas(artwork.width, artwork.height);
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        canvas.copy_screen(origin);
        const std::vector<COLORREF> shown = canvas.pixels();
        const COLORREF face = shown.back();  // the portrait's corner is fully transparent
        const BYTE face_channels[] = {GetBValue(face), GetGValue(face), GetRValue(face)};
        std::size_t matching = 0;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const BYTE shown_channels[] = {GetBValue(shown[i]), GetGValue(shown[i]),
                                           GetRValue(shown[i])};
            const unsigned alpha = artwork.bgra[4 * i + 3];
            bool same = true;
            for (std::size_t c = 0; c < 3; ++c) {
                const auto expected = static_cast<int>(
                    (artwork.bgra[4 * i + c] * alpha + face_channels[c] * (255 - alpha)) / 255);
                same = same && std::abs(expected - shown_channels[c]) <= 3;
            }
            matching += same;
        }
        return matching;
    };
    const std::size_t pixels =
        static_cast<std::size_t>(artwork.width) * static_cast<std::size_t>(artwork.height);
    SetForegroundWindow(window);
    // Another program paints when it comes to it: until the portrait shows, or the time is up.
    std::size_t matching = 0;
    test::pump_until([&] { return (matching = matching_pixels()) >= pixels * 99 / 100; }, 20000);
    EXPECT_GE(matching, pixels * 99 / 100) << matching << " of " << pixels << " pixels";
}

INSTANTIATE_TEST_SUITE_P(Densities, ScalingTest, testing::Values(96, 144, 192),
                         testing::PrintToStringParamName());

}  // namespace
