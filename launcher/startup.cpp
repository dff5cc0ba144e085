#include "startup.h"

namespace launcher {

Launcher::Launcher(platform::Services services)
    : application_(services.boxes), context_{application_, std::move(services), {}} {
    application_.set_title(application_title);
}

Launcher::~Launcher() {
    // The dialogs go first: they are owned by the main window and drawn with its skin.
    if (form4_) form4_->destroy();
    if (form3_) form3_->destroy();
    if (form2_) form2_->destroy();
    if (form1_) form1_->destroy();
    form4_.reset();
    form3_.reset();
    form2_.reset();
    form1_.reset();
}

void Launcher::create_windows() {
    create_main_window();
    create_dialogs();
}

void Launcher::create_main_window() {
    if (form1_) return;
    form1_ = std::make_unique<TForm1>(context_);
    application_.create_form(*form1_);
}

void Launcher::create_dialogs() {
    if (form2_) return;
    form2_ = std::make_unique<TForm2>(context_);
    application_.create_form(*form2_);
    form3_ = std::make_unique<TForm3>(context_);
    application_.create_form(*form3_);
    form4_ = std::make_unique<TForm4>(context_);
    application_.create_form(*form4_);
    form1_->set_dialogs({*form2_, *form3_, *form4_});
}

void Launcher::run() {
    if (!form1_) return;
    // Painted before the dialogs are made: the player sees the window without waiting for
    // windows that stay hidden until asked for.
    if (!form2_) form1_->show();
    create_dialogs();
    application_.run();
}

}  // namespace launcher
