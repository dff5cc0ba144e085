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
    form1_ = std::make_unique<TForm1>(context_);
    application_.create_form(*form1_);
    form2_ = std::make_unique<TForm2>(context_);
    application_.create_form(*form2_);
    form3_ = std::make_unique<TForm3>(context_);
    application_.create_form(*form3_);
    form4_ = std::make_unique<TForm4>(context_);
    application_.create_form(*form4_);
    form1_->set_dialogs({*form2_, *form3_, *form4_});
}

void Launcher::run() {
    application_.run();
}

}  // namespace launcher
