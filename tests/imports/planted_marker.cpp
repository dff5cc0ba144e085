// A stand-in for a DLL dropped into the game folder under a system DLL's name. Loading it
// leaves "<its path>.loaded" beside it, and each of its functions leaves
// "<its path>.<function>.called": a file that appears tells the test that the planted code ran.
// It exports what the launcher takes (or once imported) from the DLLs it loads at run time, so
// that a loader that searched the program's folder would be satisfied with it.

#include <windows.h>

namespace {

HMODULE planted_module = nullptr;

void leave_trace(const wchar_t* suffix) {
    wchar_t path[MAX_PATH + 64]{};
    const DWORD length = GetModuleFileNameW(planted_module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    lstrcatW(path, suffix);
    HANDLE file =
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        planted_module = instance;
        leave_trace(L".loaded");
    }
    return TRUE;
}

// A pad that is there with nothing held: were this taken for the system's function, the
// launcher would open its gamepad dialog instead of asking for a pad.
UINT WINAPI planted_joyGetPos(UINT, void*) {
    leave_trace(L".joyGetPos.called");
    return 0;
}

HRESULT WINAPI planted_SetWindowTheme(HWND, LPCWSTR, LPCWSTR) {
    leave_trace(L".SetWindowTheme.called");
    return S_OK;
}

HRESULT WINAPI planted_DwmSetWindowAttribute(HWND, DWORD, LPCVOID, DWORD) {
    leave_trace(L".DwmSetWindowAttribute.called");
    return S_OK;
}

BOOL WINAPI planted_AlphaBlend(HDC, int, int, int, int, HDC, int, int, int, int, DWORD) {
    leave_trace(L".AlphaBlend.called");
    return TRUE;
}

HRESULT WINAPI planted_WICConvertBitmapSource(const GUID*, void*, void**) {
    leave_trace(L".WICConvertBitmapSource.called");
    return E_FAIL;
}

BOOL WINAPI planted_InitCommonControlsEx(const void*) {
    leave_trace(L".InitCommonControlsEx.called");
    return TRUE;
}

BOOL WINAPI planted_SetWindowSubclass(HWND, void*, UINT_PTR, DWORD_PTR) {
    leave_trace(L".SetWindowSubclass.called");
    return FALSE;
}

BOOL WINAPI planted_RemoveWindowSubclass(HWND, void*, UINT_PTR) {
    leave_trace(L".RemoveWindowSubclass.called");
    return FALSE;
}

LRESULT WINAPI planted_DefSubclassProc(HWND, UINT, WPARAM, LPARAM) {
    leave_trace(L".DefSubclassProc.called");
    return 0;
}

}  // extern "C"
