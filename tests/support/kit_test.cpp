#include "kit_test.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>
#include <thread>

#include "kit/atomic_file.h"

namespace kit_test {

namespace fs = std::filesystem;

fs::path path_from_utf8(std::string_view utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string path_to_utf8(const fs::path& path) {
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::optional<std::string> replace_file_atomically(const fs::path& target, std::string_view bytes) {
    return kit::replace_file_atomically(path_to_utf8(target), bytes);
}

std::string read_bytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string crlf_text(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

#ifdef _WIN32
namespace {

struct WantedWindow {
    std::wstring_view title;
    DWORD process_id;
    HWND found = nullptr;
};

BOOL CALLBACK match_window(HWND window, LPARAM data) {
    auto& wanted = *reinterpret_cast<WantedWindow*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if ((wanted.process_id != 0 && owner != wanted.process_id) || !IsWindowVisible(window))
        return TRUE;
    wchar_t text[256]{};
    GetWindowTextW(window, text, 256);
    if (wanted.title != text) return TRUE;
    wanted.found = window;
    return FALSE;
}

}  // namespace

std::optional<PROCESS_INFORMATION> start_program(const std::wstring& exe,
                                                 const std::wstring& folder) {
    std::wstring command_line = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(exe.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return std::nullopt;
    return process;
}

StartButtonRun press_start_in_launcher(const std::wstring& launcher_exe,
                                       const std::wstring& folder) {
    StartButtonRun run;
    const auto launched = start_program(launcher_exe, folder);
    if (!launched) return run;
    run.started = true;
    const PROCESS_INFORMATION process = *launched;
    CloseHandle(process.hThread);
    HWND window = wait_for_window(L"Зорелия", process.dwProcessId);
    run.shown = window != nullptr;
    if (run.shown) {
        HWND start = FindWindowExW(window, nullptr, L"Button", L"Запустить");
        EXPECT_NE(start, nullptr) << "no button Запустить";
        PostMessageW(start ? start : window, WM_KEYDOWN, VK_RETURN, 1);
    }
    run.ended = WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0;
    if (!run.ended) TerminateProcess(process.hProcess, 1);
    GetExitCodeProcess(process.hProcess, &run.exit_code);
    CloseHandle(process.hProcess);
    return run;
}

HWND wait_for_window(std::wstring_view title, DWORD process_id, unsigned timeout_ms) {
    WantedWindow wanted{title, process_id};
    wait_until(
        [&] {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            EnumWindows(match_window, reinterpret_cast<LPARAM>(&wanted));
            return wanted.found != nullptr;
        },
        std::chrono::milliseconds(timeout_ms));
    return wanted.found;
}
#endif

bool wait_until(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

fs::path host_path(std::string build_path) {
#ifdef _WIN32
    if (build_path.starts_with('/')) {
        std::ranges::replace(build_path, '/', '\\');
        build_path = "Z:" + build_path;
    }
#endif
    return path_from_utf8(build_path);
}

namespace {

std::string running_test_name() {
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    if (!test) return "outside-a-test";
    std::string name = std::string(test->test_suite_name()) + "-" + test->name();
    // Parameterised names carry '/', which would make a subfolder.
    std::ranges::replace(name, '/', '-');
    return name;
}

}  // namespace

TempFolder::TempFolder(std::string_view prefix)
    : path_(fs::temp_directory_path() / path_from_utf8(std::string(prefix) + running_test_name())) {
    fs::remove_all(path_);
    fs::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string TempFolder::directory() const {
    return path_to_utf8(path_ / "");
}

fs::path TempFolder::operator/(std::string_view name) const {
    return path_ / path_from_utf8(name);
}

}  // namespace kit_test
