#pragma once

// The keyboard settings dialog.

#include "Unit1.h"

namespace launcher {

class TForm3 : public toolkit::Form {
  public:
    explicit TForm3(Context& context);

  private:
    Context& context_;
};

}  // namespace launcher
