// Times two Windows programs against each other for scripts/bench.sh: run_pairs PAIRS A B
// Starts A and B in turn (A, B, A, B...), PAIRS times each after one start of each to warm up,
// in the current folder (GameMain-kb.exe removed before each start, outside the timing), each
// without a console and with its standard streams on the NUL device. Times each from its start to
// its end with the performance counter and prints the median milliseconds of A, of B, and the
// median of the pairs' ratios A/B. A program that cannot start or exits with other than 0 ends the
// measurement with 1.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Handle {
    HANDLE value;
    explicit Handle(HANDLE h) : value(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (value != nullptr && value != INVALID_HANDLE_VALUE) CloseHandle(value);
    }
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Milliseconds from the start of `program` to its end, or a negative value on failure.
double time_one_run(const std::wstring& program, HANDLE nul) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
    std::wstring command_line = L"\"" + program + L"\"";
    PROCESS_INFORMATION process{};
    LARGE_INTEGER frequency{}, start{}, end{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, TRUE,
                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process))
        return -1;
    const Handle process_handle(process.hProcess), thread_handle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    QueryPerformanceCounter(&end);
    DWORD status = 1;
    if (!GetExitCodeProcess(process.hProcess, &status) || status != 0) return -1;
    return static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const long pairs = argc == 4 ? std::wcstol(argv[1], nullptr, 10) : 0;
    if (pairs < 1) {
        std::fputs("usage: run_pairs PAIRS PROGRAM_A PROGRAM_B\n", stderr);
        return 2;
    }
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const Handle nul(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                                 nullptr));
    if (nul.value == INVALID_HANDLE_VALUE) return 1;
    const std::wstring a = argv[2], b = argv[3];
    std::vector<double> times_a, times_b, ratios;
    for (long pair = -1; pair < pairs; ++pair) {
        // Each run starts from the same folder, without the last run's output: the reference
        // truncates an old output in place, which a safe replacement must not do.
        DeleteFileW(L"GameMain-kb.exe");
        const double time_a = time_one_run(a, nul.value);
        DeleteFileW(L"GameMain-kb.exe");
        const double time_b = time_one_run(b, nul.value);
        if (time_a < 0 || time_b < 0) {
            std::fprintf(stderr, "run_pairs: %ls failed\n", time_a < 0 ? a.c_str() : b.c_str());
            return 1;
        }
        if (pair < 0) continue;  // the warm-up
        times_a.push_back(time_a);
        times_b.push_back(time_b);
        ratios.push_back(time_a / time_b);
    }
    std::printf("%.2f %.2f %.4f\n", median(times_a), median(times_b), median(ratios));
    return 0;
}
