// DLLs dropped into the game folder under the names of the DLLs the exes use never run inside
// them. A marker DLL is planted under each name, in a copy of the game folder; it leaves a
// file beside itself when it is loaded and when one of its functions is called.
//
// Stock Wine prefers its own code for most system DLLs even when one lies beside the exe, so
// the names that the launcher loads at run time get a native-first override: with it, a
// search that looks in the exe's folder takes the marker, as Windows would. The known DLLs are
// planted without an override: Windows always takes those from its own folder, and forcing
// Wine to take a marker in place of kernel32 would test nothing of the exes.

#include <gtest/gtest.h>
#include <windows.h>
// After <windows.h>:
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "kit/text.h"
#include "kit_test.h"
#include "pe_imports.h"
#include "toolkit/application.h"

namespace {

namespace fs = std::filesystem;

// The DLLs the launcher loads at run time, or once did (comctl32 now only before the pad).
const char* const loaded_at_run_time[] = {"winmm.dll",   "uxtheme.dll",       "dwmapi.dll",
                                          "msimg32.dll", "windowscodecs.dll", "comctl32.dll"};

using kit_test::wait_until;

// Wine's own overrides for one program, as `HKCU\Software\Wine\AppDefaults\<exe>\DllOverrides`,
// removed at the end. A child started by CreateProcess does not take WINEDLLOVERRIDES from
// the environment block it is given; the registry reaches it. Windows ignores the key.
class NativeFirstOverrides {
  public:
    explicit NativeFirstOverrides(const wchar_t* exe_name)
        : key_(std::wstring(L"Software\\Wine\\AppDefaults\\") + exe_name) {
        const std::wstring overrides = key_ + L"\\DllOverrides";
        for (const char* dll : loaded_at_run_time) {
            std::wstring name = kit::text::widen(dll);
            name.resize(name.size() - 4);  // without ".dll"
            const wchar_t order[] = L"native,builtin";
            RegSetKeyValueW(HKEY_CURRENT_USER, overrides.c_str(), name.c_str(), REG_SZ, order,
                            sizeof(order));
        }
    }
    ~NativeFirstOverrides() { RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str()); }
    NativeFirstOverrides(const NativeFirstOverrides&) = delete;
    NativeFirstOverrides& operator=(const NativeFirstOverrides&) = delete;

  private:
    std::wstring key_;
};

class Process {
  public:
    Process(const fs::path& exe, const fs::path& folder) {
        const std::wstring program = exe.wstring();
        std::wstring command_line = L"\"" + program + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        started_ =
            CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE,
                           CREATE_NO_WINDOW, nullptr, folder.wstring().c_str(), &startup, &info_);
    }
    ~Process() {
        if (!started_) return;
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info_.hProcess, 1);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool started() const { return started_; }
    DWORD id() const { return info_.dwProcessId; }
    bool ended(DWORD timeout_ms) const {
        return WaitForSingleObject(info_.hProcess, timeout_ms) == WAIT_OBJECT_0;
    }

  private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
};

std::wstring text_of(HWND window) {
    wchar_t text[256]{};
    GetWindowTextW(window, text, 256);
    return text;
}

struct WindowSearch {
    DWORD process;
    const wchar_t* window_class;
    const wchar_t* title;  // nullptr: any
    HWND found = nullptr;
};

BOOL CALLBACK match_window(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t name[64]{};
    GetClassNameW(window, name, 64);
    if (owner != search.process || !IsWindowVisible(window) ||
        _wcsicmp(name, search.window_class) != 0 ||
        (search.title && text_of(window) != search.title))
        return TRUE;
    search.found = window;
    return FALSE;
}

BOOL CALLBACK describe_window(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<std::pair<DWORD, std::string>*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.first || !IsWindowVisible(window)) return TRUE;
    wchar_t name[64]{};
    GetClassNameW(window, name, 64);
    search.second +=
        " [" + kit::text::narrow(name) + " \"" + kit::text::narrow(text_of(window)) + "\"";
    if (HWND message = GetDlgItem(window, 0xFFFF))  // a message box's text
        search.second += ": " + kit::text::narrow(text_of(message));
    search.second += "]";
    return TRUE;
}

// The visible top-level windows of `process`, for a failure's message.
std::string windows_of(const Process& process) {
    std::pair<DWORD, std::string> search{process.id(), {}};
    EnumWindows(describe_window, reinterpret_cast<LPARAM>(&search));
    return search.second.empty() ? " none" : search.second;
}

// A visible window of `process`, of `window_class` and, when given, titled `title`.
HWND wait_for_window(const Process& process, const wchar_t* window_class,
                     const wchar_t* title = nullptr) {
    WindowSearch search{process.id(), window_class, title};
    wait_until(
        [&] {
            EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        std::chrono::seconds(20));
    return search.found;
}

// The traces the planted markers left: "<dll>.loaded", "<dll>.<function>.called".
std::vector<std::string> marker_traces(const fs::path& folder) {
    std::vector<std::string> traces;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::wstring name = entry.path().filename().wstring();
        if (name.ends_with(L".loaded") || name.ends_with(L".called"))
            traces.push_back(kit::text::narrow(name));
    }
    return traces;
}

// The files of every module loaded in a running process, the exe first.
std::vector<fs::path> modules_of(const Process& process) {
    std::vector<fs::path> files;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process.id());
    if (snapshot == INVALID_HANDLE_VALUE) return files;
    MODULEENTRY32W module{};
    module.dwSize = sizeof(module);
    for (BOOL more = Module32FirstW(snapshot, &module); more;
         more = Module32NextW(snapshot, &module))
        files.emplace_back(module.szExePath);
    CloseHandle(snapshot);
    return files;
}

fs::path system_folder() {
    wchar_t folder[MAX_PATH]{};
    GetSystemDirectoryW(folder, MAX_PATH);
    return folder;
}

class PlantingTest : public testing::Test {
  protected:
    PlantingTest() {
        fs::copy_file(kit_test::host_path(LAUNCHER_EXE), game / "launcher.exe");
        fs::copy_file(kit_test::host_path(OSTREL_EXE), game / "ostrel.exe");
        // As shipped beside them: the keyboard dialog opens only with its key file.
        fs::copy_file(kit_test::host_path(SHIPPED_OSTREL_INI), game / "ostrel.ini");
        std::set<std::string> names(std::begin(loaded_at_run_time), std::end(loaded_at_run_time));
        for (const char* exe : {LAUNCHER_EXE, OSTREL_EXE}) {
            const auto dlls =
                imports_test::read_imported_dlls(kit_test::read_bytes(kit_test::host_path(exe)));
            names.insert(dlls.at_load.begin(), dlls.at_load.end());
            names.insert(dlls.delayed.begin(), dlls.delayed.end());
        }
        for (const std::string& name : names)
            fs::copy_file(kit_test::host_path(PLANTED_MARKER_DLL), game / name,
                          fs::copy_options::overwrite_existing);
    }

    NativeFirstOverrides launcher_overrides{L"launcher.exe"};
    NativeFirstOverrides ostrel_overrides{L"ostrel.exe"};
    kit_test::TempFolder scratch{"zorelia-plant-"};
    fs::path game = scratch.path();
};

// The first pad's button polls the pad. There is none here: the system's joyGetPos says so
// and the launcher asks for one. The marker's would report a pad, and the gamepad dialog
// would open instead.
void poll_the_first_pad(const Process& launcher, HWND main_window) {
    HWND pad_button = FindWindowExW(main_window, nullptr, L"Button", L"Геймпад 1");
    ASSERT_NE(pad_button, nullptr);
    PostMessageW(pad_button, BM_CLICK, 0, 0);
    HWND box = wait_for_window(launcher, L"#32770");
    ASSERT_NE(box, nullptr) << "no message box after the pad poll";
    EXPECT_EQ(text_of(GetDlgItem(box, 0xFFFF)), L"Сначало подсоедините первый джойстик");
    PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(wait_until([&] { return !IsWindow(box); }, std::chrono::seconds(10)));
}

// A dialog button of the main window opens its dialog; its close box closes it again.
void open_and_close_dialog(const Process& launcher, HWND main_window, const wchar_t* button,
                           const wchar_t* title) {
    SCOPED_TRACE(kit::text::narrow(title));
    HWND opener = FindWindowExW(main_window, nullptr, L"Button", button);
    ASSERT_NE(opener, nullptr);
    PostMessageW(opener, BM_CLICK, 0, 0);
    HWND dialog = wait_for_window(launcher, toolkit::form_window_class, title);
    ASSERT_NE(dialog, nullptr) << "the dialog never opened; its windows:" << windows_of(launcher);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(dialog); }, std::chrono::seconds(10)));
    EXPECT_TRUE(wait_until([&] { return IsWindowEnabled(main_window) != FALSE; },
                           std::chrono::seconds(10)));
}

// The launcher as built, and the same code meeting the loader of Windows 7 SP1 without its
// 2011 update, which refuses the search flags: there every system DLL is loaded by its full
// path in the system folder, and the functions newer than Windows 7 are not found.
struct LauncherBuild {
    const char* name;
    const char* exe;
};
// Printed by its name in the test list, not as bytes.
void PrintTo(const LauncherBuild& build, std::ostream* out) {
    *out << build.name;
}

class LauncherPlantingTest : public PlantingTest,
                             public testing::WithParamInterface<LauncherBuild> {};

TEST_P(LauncherPlantingTest, OpensWorksItsPadAndDialogsAndLoadsDllsOnlyFromTheSystemFolder) {
    fs::copy_file(kit_test::host_path(GetParam().exe), game / "launcher.exe",
                  fs::copy_options::overwrite_existing);
    {
        const Process launcher(game / "launcher.exe", game);
        ASSERT_TRUE(launcher.started());
        HWND main_window = wait_for_window(launcher, toolkit::form_window_class);
        EXPECT_NE(main_window, nullptr) << "the main window never opened";
        if (main_window) {
            EXPECT_EQ(text_of(main_window), L"Зорелия");
            poll_the_first_pad(launcher, main_window);
            open_and_close_dialog(launcher, main_window, L"Клавиатура", L"Настройка клавиатуры");
            open_and_close_dialog(launcher, main_window, L"Экран", L"Настройка графики");
            // The DLLs it loads itself. (Wine names a builtin DLL by the file it stood in
            // for, so a known DLL shows the planted file's path without running it.)
            for (const fs::path& module : modules_of(launcher)) {
                const std::string name = kit::text::narrow(module.filename().wstring());
                if (std::none_of(std::begin(loaded_at_run_time), std::end(loaded_at_run_time),
                                 [&](const char* dll) { return _stricmp(dll, name.c_str()) == 0; }))
                    continue;
                EXPECT_EQ(_wcsicmp(module.parent_path().wstring().c_str(),
                                   system_folder().wstring().c_str()),
                          0)
                    << module.string();
            }
            PostMessageW(main_window, WM_CLOSE, 0, 0);
            EXPECT_TRUE(launcher.ended(20000));
        }
    }  // ended here at the latest
    EXPECT_EQ(marker_traces(game), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Loaders, LauncherPlantingTest,
                         testing::Values(LauncherBuild{"AsBuilt", LAUNCHER_EXE},
                                         LauncherBuild{"Windows7WithoutLoaderUpdate",
                                                       LAUNCHER_WINDOWS7_EXE}),
                         [](const auto& build) { return std::string(build.param.name); });

TEST_F(PlantingTest, OstrelRunsWithoutRunningPlantedCode) {
    // Without a game beside it, it reports the missing game and ends.
    const Process ostrel(game / "ostrel.exe", game);
    ASSERT_TRUE(ostrel.started());
    EXPECT_TRUE(ostrel.ended(20000));
    EXPECT_EQ(marker_traces(game), std::vector<std::string>{});
}

}  // namespace
