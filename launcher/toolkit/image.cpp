#include "toolkit/image.h"

#include <utility>

namespace toolkit {

Image::Image(Form& form, const ControlSpec& spec, int id) : Control(form, spec, id) {
    if (!spec.picture.empty()) set_picture(Picture::from_resource(spec.picture));
}

void Image::set_picture(Picture picture) {
    picture_ = std::move(picture);
    RECT bounds = this->bounds();
    bounds.right = bounds.left + picture_.width();
    bounds.bottom = bounds.top + picture_.height();
    set_bounds(bounds);
}

void Image::paint(HDC dc) {
    picture_.draw(dc, bounds().left, bounds().top);
}

}  // namespace toolkit
