#pragma once

// A skinned group box.

#include <optional>

#include "toolkit/control.h"

namespace toolkit {

// A frame with a caption; it can be the parent of other controls.
class GroupBox final : public Control {
  public:
    using Control::Control;

  private:
    void created() override;
    std::optional<LRESULT> message(UINT msg, WPARAM wparam, LPARAM lparam) override;
};

}  // namespace toolkit
