#include "toolkit/timer.h"

#include "toolkit/form.h"

namespace toolkit {

Timer::Timer(Form& form, std::string_view name, unsigned interval_ms, UINT_PTR id)
    : form_(form), name_(name), interval_(interval_ms), id_(id) {}

Timer::~Timer() {
    if (enabled_ && form_.handle()) KillTimer(form_.handle(), id_);
}

void Timer::set_enabled(bool enabled) {
    enabled_ = enabled;
    apply();
}

void Timer::apply() {
    if (!form_.handle()) return;
    if (enabled_)
        SetTimer(form_.handle(), id_, interval_, nullptr);
    else
        KillTimer(form_.handle(), id_);
}

}  // namespace toolkit
