#pragma once

// The message boxes are the system's own dialogs; while the application lives, each one
// that opens on its thread is skinned as it comes on screen: frame, background, text and
// buttons, so that no window of the launcher keeps the system's look.

#include <windows.h>

#include <map>
#include <memory>

namespace toolkit {

class Application;
class SkinnedFrame;

class SystemDialogSkin {
  public:
    explicit SystemDialogSkin(Application& application);
    ~SystemDialogSkin();
    SystemDialogSkin(const SystemDialogSkin&) = delete;
    SystemDialogSkin& operator=(const SystemDialogSkin&) = delete;

  private:
    static LRESULT CALLBACK hook(int code, WPARAM wparam, LPARAM lparam) noexcept;
    template <class Owner>
    friend LRESULT CALLBACK guarded_subclass_proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR,
                                                  DWORD_PTR) noexcept;
    Application& application() const { return application_; }
    LRESULT subclass_message(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam);
    void subclass_ended(HWND dialog) { frames_.erase(dialog); }
    static LRESULT CALLBACK button_proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR) noexcept;
    void skin(HWND dialog);

    Application& application_;
    HHOOK hook_ = nullptr;
    std::map<HWND, std::unique_ptr<SkinnedFrame>> frames_;
};

}  // namespace toolkit
