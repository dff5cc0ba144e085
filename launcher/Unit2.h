#pragma once

// The gamepad settings dialog: nine drop-down lists of pad buttons for the current pad, read
// from its pad settings file at every opening and written back on OK. While it is shown, a
// held pad button goes into the focused list and the focus moves on (live capture).

#include <array>

#include "action_rows.h"
#include "core/gamepad_settings.h"
#include "settings_dialog.h"

namespace launcher {

class TForm2 : public SettingsDialog<TForm2, gamepad::PadFile>, public ActionLists {
  public:
    explicit TForm2(Context& context);

    void FormCreate();
    void FormShow();
    void FormHide();
    void sButton1Click();
    void sComboBox1Change();
    void Timer1Timer();

    toolkit::GroupBox& sGroupBox1;
    toolkit::GroupBox& sGroupBox2;
    toolkit::Image& Image1;
    toolkit::Timer& Timer1;

    // The list of mapping position `position` (0 for sComboBox1).
    toolkit::ComboBox& list_of(int position) const;

  private:
    // The active control when it is one of the nine lists.
    toolkit::ComboBox* active_list() const;

    // sComboBox1 to sComboBox9, in the order of the mapping positions.
    std::array<toolkit::ComboBox*, gamepad::position_count> lists_;
};

}  // namespace launcher
