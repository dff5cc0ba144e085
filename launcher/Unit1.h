#pragma once

// The launcher's main window: the portrait and five buttons that open the dialogs and start
// the game.

#include <string_view>

#include "context.h"
#include "toolkit/form.h"
#include "toolkit/skin_manager.h"

namespace launcher {

class TForm1 : public toolkit::Form {
  public:
    explicit TForm1(Context& context);

    // The dialogs the buttons open, created after the main window.
    struct Dialogs {
        toolkit::Form& gamepad;
        toolkit::Form& keyboard;
        toolkit::Form& display;
    };
    void set_dialogs(const Dialogs& dialogs);

    void FormCreate();
    void sButton1Click();
    void sButton2Click();
    void sButton3Click();
    void sButton4Click();
    void sButton5Click();

    toolkit::SkinManager sSkinManager1;
    toolkit::Button& sButton1;
    toolkit::Button& sButton2;
    toolkit::Button& sButton3;
    toolkit::Button& sButton4;
    toolkit::Button& sButton5;
    toolkit::Image& Image1;

  private:
    // The gamepad buttons: test the pad, then open the gamepad dialog for it.
    void open_gamepad(unsigned pad, std::string_view file_name, std::string_view absent_message);
    static void open_dialog(toolkit::Form* dialog);

    Context& context_;
    toolkit::Form* gamepad_dialog_ = nullptr;
    toolkit::Form* keyboard_dialog_ = nullptr;
    toolkit::Form* display_dialog_ = nullptr;
};

}  // namespace launcher
