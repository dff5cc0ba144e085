#pragma once

// The gamepad settings dialog.

#include "context.h"
#include "toolkit/form.h"

namespace launcher {

class TForm2 : public toolkit::Form {
  public:
    explicit TForm2(Context& context);

  private:
    Context& context_;
};

}  // namespace launcher
