// Measures how fast programs put their first window on screen, and what that costs them.
//
//   start_probe.exe [--pairs N] [--settle MS] A.exe [B.exe]
//
// Starts A, then B, N times in turn (pair by pair, so that both see the same machine), and
// for each start prints one row on standard output:
//   run|<program>|<pair>|<visible ms>|<idle ms>|<private KB>|<working set KB>|<cpu ms>
// visible: from just before CreateProcessW until a visible top-level window of the process
// exists; idle: until the process first waits for input with nothing queued
// (WaitForInputIdle); private bytes, working set and CPU time (user + kernel) are read
// `settle` ms after idle. The program is then closed with WM_CLOSE (terminated if it does
// not end). The probe keeps a hidden window of its own, so that the desktop process lives
// across the runs.
//
// Under Wine, GetProcessTimes of another process gives no CPU times and PrivateUsage stays
// 0 (PagefileUsage holds the private bytes: resident anonymous memory plus swap). The CPU
// time is then read from the Linux side, /proc/<pid>/stat through drive Z:, of the one
// process whose command line names the program.

#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Handle {
    HANDLE value = nullptr;
    Handle() = default;
    explicit Handle(HANDLE handle) : value(handle) {}
    ~Handle() {
        if (value) CloseHandle(value);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
};

struct Sample {
    double visible_ms = -1;
    double idle_ms = -1;
    unsigned long long private_kb = 0;
    unsigned long long working_set_kb = 0;
    double cpu_ms = 0;
};

double elapsed_ms(LARGE_INTEGER from) {
    LARGE_INTEGER now{};
    LARGE_INTEGER frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart - from.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

struct WindowSearch {
    DWORD process_id;
    HWND found;
};

BOOL CALLBACK match_window(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.process_id || !IsWindowVisible(window)) return TRUE;
    search.found = window;
    return FALSE;
}

HWND visible_window_of(DWORD process_id) {
    WindowSearch search{process_id, nullptr};
    EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

double to_ms(const FILETIME& time) {
    ULARGE_INTEGER value{};
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return double(value.QuadPart) / 10000.0;  // 100 ns units
}

std::string read_small_file(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    Handle closer(file);
    std::string text(8192, '\0');
    DWORD got = 0;
    if (!ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &got, nullptr)) return {};
    text.resize(got);
    return text;
}

std::string lower_ascii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// User + system CPU time of the Linux process running `name` under Wine, or -1. `name` is the
// program's whole path, or its file name when no process names the whole path (another program
// of that name, a demo say, may be running beside the one measured).
double unix_cpu_ms(const std::string& name) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE) return -1;
    double result = -1;
    const std::string wanted = lower_ascii(name);
    do {
        const std::wstring pid = found.cFileName;
        if (pid.empty() || pid.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
        const std::wstring folder = L"Z:\\proc\\" + pid + L"\\";
        // The program itself: its first argument is its path, ending in its name.
        std::string command = lower_ascii(read_small_file(folder + L"cmdline"));
        command = command.substr(0, command.find('\0'));
        if (command.size() < wanted.size() ||
            command.compare(command.size() - wanted.size(), wanted.size(), wanted) != 0)
            continue;
        // Fields after the command's closing parenthesis: state is field 3, utime 14, stime 15.
        const std::string stat = read_small_file(folder + L"stat");
        const auto close = stat.rfind(')');
        if (close == std::string::npos) continue;
        const char* at = stat.c_str() + close + 2;
        unsigned long long field[16]{};
        int index = 3;
        while (*at && index <= 15) {
            while (*at == ' ') ++at;
            if (index >= 4) field[index] = std::strtoull(at, nullptr, 10);
            while (*at && *at != ' ') ++at;
            ++index;
        }
        result = double(field[14] + field[15]) * 10.0;  // 100 clock ticks a second
        break;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return result;
}

std::wstring folder_of(const std::wstring& path) {
    const auto cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? std::wstring(L".") : path.substr(0, cut);
}

// Running under Wine: ntdll exports wine_get_version.
bool wine_version() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

std::wstring base_name(const std::wstring& path);

bool measure(const std::wstring& program, DWORD settle_ms, Sample& sample) {
    std::wstring command_line = L"\"" + program + L"\"";
    const std::wstring folder = folder_of(program);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION created{};
    LARGE_INTEGER start{};
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &created)) {
        std::fprintf(stderr, "cannot start %ls (error %lu)\n", program.c_str(), GetLastError());
        return false;
    }
    Handle process(created.hProcess);
    Handle thread(created.hThread);
    HWND window = nullptr;
    for (;;) {
        window = visible_window_of(created.dwProcessId);
        if (window) break;
        if (WaitForSingleObject(process.value, 1) == WAIT_OBJECT_0) {
            std::fprintf(stderr, "%ls ended before showing a window\n", program.c_str());
            return false;
        }
        if (elapsed_ms(start) > 30000) break;
    }
    sample.visible_ms = elapsed_ms(start);
    if (window && WaitForInputIdle(process.value, 10000) == 0) sample.idle_ms = elapsed_ms(start);
    Sleep(settle_ms);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(process.value, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof(memory))) {
        sample.private_kb =
            (memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage) / 1024;
        sample.working_set_kb = memory.WorkingSetSize / 1024;
    }
    FILETIME creation{}, exit{}, kernel{}, user{};
    if (GetProcessTimes(process.value, &creation, &exit, &kernel, &user))
        sample.cpu_ms = to_ms(kernel) + to_ms(user);
    if (sample.cpu_ms == 0 || wine_version()) {
        std::string name;
        for (wchar_t c : base_name(program)) name += static_cast<char>(c);
        std::string path;
        for (wchar_t c : program) path += static_cast<char>(c);
        sample.cpu_ms = unix_cpu_ms(path);
        if (sample.cpu_ms < 0) sample.cpu_ms = unix_cpu_ms(name);
    }
    if (window) PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.value, 5000) != WAIT_OBJECT_0) {
        TerminateProcess(process.value, 1);
        WaitForSingleObject(process.value, 5000);
    }
    return window != nullptr;
}

std::wstring base_name(const std::wstring& path) {
    const auto cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

// Keeps the desktop process alive between the measured programs.
HWND make_keeper_window() {
    return CreateWindowW(L"STATIC", L"start_probe", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int pairs = 1;
    DWORD settle_ms = 300;
    std::vector<std::wstring> programs;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--pairs" && i + 1 < argc) {
            pairs = std::wcstol(argv[++i], nullptr, 10);
        } else if (arg == L"--settle" && i + 1 < argc) {
            settle_ms = static_cast<DWORD>(std::wcstol(argv[++i], nullptr, 10));
        } else {
            wchar_t full[MAX_PATH]{};
            GetFullPathNameW(argv[i], MAX_PATH, full, nullptr);
            programs.emplace_back(full);
        }
    }
    if (programs.empty() || pairs < 1) {
        std::fprintf(stderr, "usage: start_probe [--pairs N] [--settle MS] A.exe [B.exe]\n");
        return 2;
    }
    HWND keeper = make_keeper_window();
    int failures = 0;
    for (int pair = 1; pair <= pairs; ++pair) {
        for (const auto& program : programs) {
            Sample sample;
            if (!measure(program, settle_ms, sample)) ++failures;
            std::printf("run|%ls|%d|%.1f|%.1f|%llu|%llu|%.1f\n", base_name(program).c_str(), pair,
                        sample.visible_ms, sample.idle_ms, sample.private_kb, sample.working_set_kb,
                        sample.cpu_ms);
            std::fflush(stdout);
        }
    }
    if (keeper) DestroyWindow(keeper);
    return failures ? 1 : 0;
}
