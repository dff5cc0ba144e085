#pragma once

// The start-up sequence: the toolkit, the title, the four windows in their fixed order; at
// the end, the windows are destroyed in reverse order. The program shows the main window as
// soon as it exists and makes the dialogs right after its first painting, before the event
// loop handles anything, so no input can reach a window that is not there yet.

#include <memory>

#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit4.h"
#include "context.h"

namespace launcher {

class Launcher {
  public:
    explicit Launcher(platform::Services services);
    ~Launcher();
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    // Creates the main window, then the gamepad, keyboard and display dialogs.
    void create_windows();
    // The first half of create_windows: the main window alone.
    void create_main_window();
    // Shows the main window, creates the dialogs not made yet and runs the event loop until
    // the main window is closed.
    void run();

    Context& context() { return context_; }
    toolkit::Application& application() { return application_; }
    TForm1& form1() { return *form1_; }
    TForm2& form2() { return *form2_; }
    TForm3& form3() { return *form3_; }
    TForm4& form4() { return *form4_; }

  private:
    void create_dialogs();

    toolkit::Application application_;
    Context context_;
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<TForm3> form3_;
    std::unique_ptr<TForm4> form4_;
};

}  // namespace launcher
