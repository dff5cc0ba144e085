#pragma once

// A picture painted by its parent.

#include "toolkit/control.h"
#include "toolkit/picture.h"

namespace toolkit {

// A picture at its natural size; the control sizes itself to it.
class Image final : public Control {
  public:
    Image(Form& form, const ControlSpec& spec, int id);
    const Picture& picture() const { return picture_; }
    void set_picture(Picture picture);

  private:
    void paint(HDC dc) override;
    void rescaled() override { set_picture(picture_); }
    Picture picture_;
};

}  // namespace toolkit
