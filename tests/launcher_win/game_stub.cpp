// A stand-in for the patched game: writes its working directory, then its own path, as
// UTF-16 lines into "started.txt" beside itself, and ends. The report is written under
// another name and moved into place, so that a reader never sees it half written.

#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t directory[4096]{};
    GetCurrentDirectoryW(4096, directory);
    wchar_t self[4096]{};
    GetModuleFileNameW(nullptr, self, 4096);
    std::wstring report = std::wstring(directory) + L"\n" + self + L"\n";
    std::wstring target(self);
    target = target.substr(0, target.find_last_of(L'\\') + 1) + L"started.txt";
    const std::wstring partial = target + L".partial";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(file, report.data(), static_cast<DWORD>(report.size() * sizeof(wchar_t)), &written,
              nullptr);
    CloseHandle(file);
    return MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
