#include "toolkit/label.h"

#include "kit/text.h"
#include "toolkit/application.h"
#include "toolkit/form.h"
#include "toolkit/handles.h"
#include "toolkit/skin_manager.h"

namespace toolkit {
namespace {

// The screen's device context for measuring text, with the toolkit's font.
class MeasuringDc {
  public:
    explicit MeasuringDc(HFONT font) : dc_(GetDC(nullptr)), font_(dc_, font) {}
    ~MeasuringDc() { ReleaseDC(nullptr, dc_); }
    MeasuringDc(const MeasuringDc&) = delete;
    MeasuringDc& operator=(const MeasuringDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HDC dc_;
    Selected font_;
};

}  // namespace

Label::Label(Form& form, const ControlSpec& spec, int id)
    : Control(form, spec, id), alignment_(spec.alignment) {}

void Label::fit() {
    const std::wstring text = kit::text::widen(caption());
    MeasuringDc dc(form().font());
    RECT size{0, 0, 0, 0};
    if (text.empty()) {
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc.get(), &metrics);
        size.bottom = metrics.tmHeight;
    } else {
        DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &size,
                  DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    }
    RECT bounds = this->bounds();
    if (alignment_ == Alignment::right)
        bounds.left = bounds.right - size.right;
    else
        bounds.right = bounds.left + size.right;
    bounds.bottom = bounds.top + size.bottom;
    set_bounds(bounds);
}

void Label::paint(HDC dc) {
    form().application().skin().paint_label(dc, bounds(), kit::text::widen(caption()),
                                            alignment_ == Alignment::right, !enabled());
}

}  // namespace toolkit
