#pragma once

// The launcher's main window, the state the windows share, and the start-up sequence.

#include <memory>
#include <string>
#include <string_view>

#include "platform/win32/services.h"
#include "toolkit/application.h"
#include "toolkit/form.h"
#include "toolkit/skin_manager.h"

namespace launcher {

class TForm1;
class TForm2;
class TForm3;
class TForm4;

// Launcher-wide state: one of each, for the whole run.
struct LauncherState {
    // The folder of the launcher's executable, with its trailing separator.
    std::string application_directory;
    // Written by every joystick poll; the gamepad dialog reads the button bits.
    platform::JoystickInfo joystick;
    // 0 for gamepad 1, 1 for gamepad 2; set just before the gamepad dialog opens.
    unsigned current_pad_number = 0;
    // Application directory + "Input1.ini" or "Input2.ini".
    std::string current_pad_file;
};

// The windows, created once at start-up.
struct Windows {
    TForm1* form1 = nullptr;
    TForm2* form2 = nullptr;
    TForm3* form3 = nullptr;
    TForm4* form4 = nullptr;
};

// What every window of the launcher works with.
struct Context {
    toolkit::Application& application;
    platform::Services services;
    LauncherState state;
    Windows windows;
};

inline constexpr std::string_view application_title = "Зорелия";

// Starts `file_name` from the application directory, with that directory as its working
// directory, and returns at once; the outcome is not examined.
void start_program(Context& context, std::string_view file_name);

class TForm1 : public toolkit::Form {
  public:
    explicit TForm1(Context& context);

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

    Context& context_;
};

// The start-up sequence: the toolkit, the title, the four windows in their fixed order;
// at the end, the windows are destroyed in reverse order.
class Launcher {
  public:
    explicit Launcher(platform::Services services);
    ~Launcher();
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    // Creates the main window, then the gamepad, keyboard and display dialogs.
    void create_windows();
    // Shows the main window and runs the event loop until it is closed.
    void run();

    Context& context() { return context_; }
    toolkit::Application& application() { return application_; }
    TForm1& form1() { return *form1_; }
    TForm2& form2() { return *form2_; }
    TForm3& form3() { return *form3_; }
    TForm4& form4() { return *form4_; }

  private:
    toolkit::Application application_;
    Context context_;
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<TForm3> form3_;
    std::unique_ptr<TForm4> form4_;
};

}  // namespace launcher
