#pragma once

// A timer of a window.

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace toolkit {

class Form;

// A timer of the window's message loop: its ticks run between other window messages.
class Timer {
  public:
    Timer(Form& form, std::string_view name, unsigned interval_ms, UINT_PTR id);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    const std::string& name() const { return name_; }
    bool enabled() const { return enabled_; }
    void set_enabled(bool enabled);
    unsigned interval() const { return interval_; }
    // The id its ticks carry as WM_TIMER's wParam.
    UINT_PTR id() const { return id_; }
    std::function<void()> on_timer;

  private:
    friend class Form;
    void apply();

    Form& form_;
    std::string name_;
    unsigned interval_;
    UINT_PTR id_;
    bool enabled_ = false;
};

}  // namespace toolkit
