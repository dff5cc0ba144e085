#include "startup.h"

#include <utility>

namespace launcher {

Launcher::Launcher(platform::Services services)
    : application_(services.boxes), context_{application_, std::move(services), {}} {
    application_.set_title(application_title);
}

Launcher::~Launcher() {
    // Last made, first gone: the dialogs before the main window that owns them and whose
    // skin draws them.
    [this]<std::size_t... index>(std::index_sequence<index...>) {
        constexpr std::size_t last = sizeof...(index) - 1;
        const auto destroy = [](auto& window) {
            if (window) window->destroy();
        };
        (destroy(std::get<last - index>(windows_)), ...);
        (std::get<last - index>(windows_).reset(), ...);
    }
    (std::make_index_sequence<std::tuple_size_v<Windows>>{});
}

void Launcher::create_windows() {
    create_main_window();
    create_dialogs();
}

void Launcher::create_main_window() {
    auto& main = std::get<0>(windows_);
    if (main) return;
    main = std::make_unique<TForm1>(context_);
    application_.create_form(*main);
}

void Launcher::create_dialogs() {
    if (std::get<1>(windows_)) return;
    [this]<std::size_t... index>(std::index_sequence<index...>) {
        const auto create = [this]<class Window>(std::unique_ptr<Window>& window) {
            window = std::make_unique<Window>(context_);
            application_.create_form(*window);
        };
        (create(std::get<index + 1>(windows_)), ...);
    }
    (std::make_index_sequence<std::tuple_size_v<Windows> - 1>{});
    form1().set_dialogs({form2(), form3(), form4()});
}

void Launcher::run() {
    if (!std::get<0>(windows_)) return;
    // Painted before the dialogs are made: the player sees the window without waiting for
    // windows that stay hidden until asked for.
    if (!std::get<1>(windows_)) form1().show();
    create_dialogs();
    application_.run();
}

}  // namespace launcher
