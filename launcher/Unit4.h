#pragma once

// The display settings dialog.

#include "context.h"
#include "toolkit/form.h"

namespace launcher {

class TForm4 : public toolkit::Form {
  public:
    explicit TForm4(Context& context);

  private:
    Context& context_;
};

}  // namespace launcher
