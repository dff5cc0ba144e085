#include "toolkit/image.h"

#include <utility>

#include "toolkit/form.h"

namespace toolkit {

Image::Image(Form& form, const ControlSpec& spec, int id) : Control(form, spec, id) {
    if (!spec.picture.empty())
        set_picture(Picture::from_resource(spec.picture, PictureUse::draw, form.dpi()));
}

void Image::set_picture(Picture picture) {
    const int dpi = form().dpi();
    picture_ = picture.for_dpi(dpi);
    const SIZE size = picture_.size_at(dpi);
    RECT bounds = this->bounds();
    bounds.right = bounds.left + size.cx;
    bounds.bottom = bounds.top + size.cy;
    set_bounds(bounds);
}

void Image::paint(HDC dc) {
    picture_.draw(dc, bounds().left, bounds().top, form().dpi());
}

}  // namespace toolkit
