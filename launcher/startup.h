#pragma once

// The start-up sequence: the toolkit, the title, the four windows in their fixed order; at
// the end, the windows are destroyed in reverse order. The program shows the main window as
// soon as it exists and makes the dialogs right after its first painting, before the event
// loop handles anything, so no input can reach a window that is not there yet.

#include <memory>
#include <tuple>

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
    TForm1& form1() { return window<TForm1>(); }
    TForm2& form2() { return window<TForm2>(); }
    TForm3& form3() { return window<TForm3>(); }
    TForm4& form4() { return window<TForm4>(); }

  private:
    // The windows in the order they are made: the main window first, then the dialogs, which
    // it owns. They are destroyed in the reverse order.
    using Windows = std::tuple<std::unique_ptr<TForm1>, std::unique_ptr<TForm2>,
                               std::unique_ptr<TForm3>, std::unique_ptr<TForm4>>;

    template <class Window>
    Window& window() {
        return *std::get<std::unique_ptr<Window>>(windows_);
    }
    void create_dialogs();

    toolkit::Application application_;
    Context context_;
    Windows windows_;
};

}  // namespace launcher
