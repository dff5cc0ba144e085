#pragma once

// The keyboard settings dialog: thirteen drop-down lists of keys, read from the key-binding
// file at every opening and written back on OK, which then starts the patcher.

#include <array>

#include "action_rows.h"
#include "core/keyboard_settings.h"
#include "settings_dialog.h"

namespace launcher {

class TForm3 : public SettingsDialog<TForm3, keyboard::BindingsFile>, public ActionLists {
  public:
    explicit TForm3(Context& context);

    void FormCreate();
    void FormShow();
    void sButton1Click();

    toolkit::Image& Image1;
    toolkit::ComboBox& sComboBox10;
    toolkit::ComboBox& sComboBox11;
    toolkit::ComboBox& sComboBox12;
    toolkit::ComboBox& sComboBox13;

    // The drop-down list of a row of keyboard::bindings.
    toolkit::ComboBox& combo_box_of(int binding) const;

  private:
    // sComboBox1 to sComboBox13, in the order of their numbers.
    std::array<toolkit::ComboBox*, keyboard::binding_count> combo_boxes_;
};

}  // namespace launcher
