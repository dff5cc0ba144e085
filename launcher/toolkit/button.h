#pragma once

// A skinned push button.

#include <functional>
#include <optional>

#include "toolkit/control.h"

namespace toolkit {

struct ButtonLook;

// A control of the system's BUTTON class drawn by the skin: push buttons, radio buttons and
// check boxes. A click, by the mouse or the keys, runs click().
class ButtonControl : public Control {
  public:
    using Control::Control;
    // As if the player clicked it.
    virtual void click() = 0;
    std::function<void()> on_click;

  protected:
    void created() override;
    // The look of the button being drawn.
    ButtonLook button_look(const DRAWITEMSTRUCT& item) const;

  private:
    void command(WORD code) override;
};

class Button final : public ButtonControl {
  public:
    Button(Form& form, const ControlSpec& spec, int id);
    ModalResult modal_result() const { return modal_result_; }
    bool default_button() const { return default_button_; }
    // Sets the window's modal result, then runs on_click.
    void click() override;

  private:
    void draw(const DRAWITEMSTRUCT& item) override;
    std::optional<LRESULT> message(UINT msg, WPARAM wparam, LPARAM lparam) override;

    ModalResult modal_result_;
    bool default_button_;
    bool default_look_ = false;  // the dialog manager's current default push button
};

}  // namespace toolkit
