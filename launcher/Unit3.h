#pragma once

// The keyboard settings dialog: thirteen drop-down lists of keys, read from the key-binding
// file at every opening and written back on OK, which then starts the patcher.

#include <array>
#include <optional>

#include "action_rows.h"
#include "context.h"
#include "core/keyboard_settings.h"
#include "toolkit/form.h"

namespace launcher {

class TForm3 : public toolkit::Form, public ActionLists {
  public:
    explicit TForm3(Context& context);

    void FormCreate();
    void FormShow();
    void FormDestroy();
    void sButton1Click();
    void sButton2Click();

    toolkit::Image& Image1;
    toolkit::Button& sButton1;
    toolkit::Button& sButton2;
    toolkit::ComboBox& sComboBox10;
    toolkit::ComboBox& sComboBox11;
    toolkit::ComboBox& sComboBox12;
    toolkit::ComboBox& sComboBox13;

    // The drop-down list of a row of keyboard::bindings.
    toolkit::ComboBox& combo_box_of(int binding) const;

  private:
    // sComboBox1 to sComboBox13, in the order of their numbers.
    std::array<toolkit::ComboBox*, keyboard::binding_count> combo_boxes_;
    // Made by FormCreate, freed by FormDestroy.
    std::optional<keyboard::BindingsFile> file_;
    Context& context_;
};

}  // namespace launcher
