#pragma once

// The display settings dialog: window or full screen, one of five sizes and scaling, read
// from game.ini at every opening and written back on OK.

#include "core/display_settings.h"
#include "settings_dialog.h"

namespace launcher {

class TForm4 : public SettingsDialog<TForm4, display::SettingsFile> {
  public:
    explicit TForm4(Context& context);

    void FormCreate();
    void FormShow();
    void sm1Click();
    void sm2Click();
    void sButton1Click();

    toolkit::GroupBox& sGroupBox1;
    toolkit::Label& sLabel1;
    toolkit::ComboBox& sComboBox1;
    toolkit::RadioButton& sm1;
    toolkit::RadioButton& sm2;
    toolkit::CheckBox& mm;
};

}  // namespace launcher
