#pragma once

// Skinned radio buttons and check boxes.

#include <functional>
#include <optional>

#include "toolkit/button.h"

namespace toolkit {

// A radio button or a check box, drawn by the skin.
class ToggleButton : public ButtonControl {
  public:
    ToggleButton(Form& form, const ControlSpec& spec, int id);
    bool checked() const { return checked_; }
    // Set by the program: runs no handler. A radio button that becomes checked unchecks
    // the other radio buttons of its parent.
    void set_checked(bool checked);
    void click() override;

  private:
    void created() override;
    void draw(const DRAWITEMSTRUCT& item) override;
    std::optional<LRESULT> message(UINT msg, WPARAM wparam, LPARAM lparam) override;
    void apply_checked(bool checked);

    bool checked_;
};

class RadioButton final : public ToggleButton {
  public:
    using ToggleButton::ToggleButton;
};

class CheckBox final : public ToggleButton {
  public:
    using ToggleButton::ToggleButton;
};

}  // namespace toolkit
