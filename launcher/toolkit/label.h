#pragma once

// A label painted by its parent.

#include "toolkit/control.h"

namespace toolkit {

// Static text that sizes itself to its caption; a right-aligned label keeps its right edge.
class Label final : public Control {
  public:
    Label(Form& form, const ControlSpec& spec, int id);

  private:
    void created() override { fit(); }
    void caption_changed() override { fit(); }
    void rescaled() override { fit(); }
    void paint(HDC dc) override;
    void fit();

    Alignment alignment_;
};

}  // namespace toolkit
