#pragma once

// The display settings dialog: window or full screen, one of five sizes and scaling, read
// from game.ini at every opening and written back on OK.

#include <optional>

#include "context.h"
#include "core/display_settings.h"
#include "toolkit/form.h"

namespace launcher {

class TForm4 : public toolkit::Form {
  public:
    explicit TForm4(Context& context);

    void FormCreate();
    void FormShow();
    void FormDestroy();
    void sm1Click();
    void sm2Click();
    void sButton1Click();
    void sButton2Click();

    toolkit::GroupBox& sGroupBox1;
    toolkit::Label& sLabel1;
    toolkit::ComboBox& sComboBox1;
    toolkit::RadioButton& sm1;
    toolkit::RadioButton& sm2;
    toolkit::CheckBox& mm;
    toolkit::Button& sButton1;
    toolkit::Button& sButton2;

  private:
    // Made by FormCreate, freed by FormDestroy.
    std::optional<display::SettingsFile> file_;
    Context& context_;
};

}  // namespace launcher
