#include "toolkit/skin_data.h"

namespace skin {

SkinData SkinData::parse(std::string_view) { throw SkinError("skin parser not built yet"); }

Color SkinData::color(std::string_view, std::string_view, std::string_view) const {
    throw SkinError("skin parser not built yet");
}

}  // namespace skin
