#include "toolkit/picture.h"

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "kit/text.h"
#include "toolkit/dpi.h"
#include "toolkit/formats/png.h"

namespace toolkit {
namespace {

// A top-down 32-bit DIB section; `bits` receives its pixel memory.
BitmapHandle make_dib(int width, int height, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    BitmapHandle bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0));
    if (!bitmap) throw std::runtime_error("Cannot create a bitmap for a picture");
    return bitmap;
}

}  // namespace

std::span<const std::uint8_t> find_resource_bytes(std::wstring_view name) {
    const std::wstring resource_name(name);
    HRSRC info = FindResourceW(nullptr, resource_name.c_str(), MAKEINTRESOURCEW(10));  // RCDATA
    HGLOBAL handle = info ? LoadResource(nullptr, info) : nullptr;
    const void* data = handle ? LockResource(handle) : nullptr;
    if (!data) return {};
    return {static_cast<const std::uint8_t*>(data), SizeofResource(nullptr, info)};
}

std::span<const std::uint8_t> resource_bytes(std::wstring_view name) {
    const auto bytes = find_resource_bytes(name);
    if (bytes.empty()) throw std::runtime_error("Missing resource " + kit::text::narrow(name));
    return bytes;
}

namespace {

// An icon takes the straight (not premultiplied) pixels; its mask only has to exist (all
// zero: word-aligned rows), the alpha channel decides.
IconHandle make_icon(const png::DecodedPicture& decoded) {
    void* bits = nullptr;
    BitmapHandle color = make_dib(decoded.width, decoded.height, &bits);
    std::memcpy(bits, decoded.bgra.data(), decoded.bgra.size());
    const std::vector<std::uint8_t> zeros(static_cast<std::size_t>((decoded.width + 15) / 16 * 2) *
                                          static_cast<std::size_t>(decoded.height));
    BitmapHandle mask(CreateBitmap(decoded.width, decoded.height, 1, 1, zeros.data()));
    ICONINFO info{TRUE, 0, 0, mask.get(), color.get()};
    return IconHandle(CreateIconIndirect(&info));
}

}  // namespace

Picture Picture::from_png(std::span<const std::uint8_t> bytes, PictureUse use) {
    return decode(bytes, use, 100, {});
}

Picture Picture::decode(std::span<const std::uint8_t> bytes, PictureUse use, int scale,
                        std::wstring_view resource) {
    const png::DecodedPicture decoded = png::decode(bytes);
    auto data = std::make_shared<Data>();
    data->width = decoded.width;
    data->height = decoded.height;
    data->scale = scale;
    data->resource = resource;
    data->use = use;
    void* bits = nullptr;
    data->premultiplied = make_dib(data->width, data->height, &bits);
    auto* out = static_cast<std::uint8_t*>(bits);
    const auto& in = decoded.bgra;
    for (std::size_t i = 0; i < in.size(); i += 4) {
        const unsigned alpha = in[i + 3];
        for (std::size_t c = 0; c < 3; ++c)
            out[i + c] = static_cast<std::uint8_t>((in[i + c] * alpha + 127) / 255);
        out[i + 3] = static_cast<std::uint8_t>(alpha);
    }
    if (use == PictureUse::draw_and_icon) data->icon = make_icon(decoded);
    Picture picture;
    picture.data_ = std::move(data);
    return picture;
}

namespace {

// The artwork's sizes, in percent of the 96-dpi one, and their resource names' endings.
struct ArtScale {
    int percent;
    const wchar_t* suffix;
};
constexpr ArtScale art_scales[] = {{100, L""}, {150, L"_150"}, {200, L"_200"}};

// The smallest artwork of `name` at least as large as a screen of `dpi` needs, else the
// largest there is; the 96-dpi one always is.
const ArtScale& art_for(std::wstring_view name, int dpi) {
    const int needed = dpi * 100 / layout_dpi;
    const ArtScale* chosen = &art_scales[0];
    for (const ArtScale& art : art_scales) {
        if (art.percent == 100) continue;
        if (chosen->percent >= needed) break;
        if (!find_resource_bytes(std::wstring(name) + art.suffix).empty()) chosen = &art;
    }
    return *chosen;
}

}  // namespace

Picture Picture::from_resource(std::wstring_view name, PictureUse use, int dpi) {
    const ArtScale& art = art_for(name, dpi);
    return decode(resource_bytes(std::wstring(name) + art.suffix), use, art.percent, name);
}

Picture Picture::for_dpi(int dpi) const {
    // Decoded again only for other artwork.
    if (empty() || data_->resource.empty() || art_for(data_->resource, dpi).percent == data_->scale)
        return *this;
    return from_resource(data_->resource, data_->use, dpi);
}

SIZE Picture::size_at(int dpi) const {
    if (empty()) return {0, 0};
    // The 96-dpi size, then scaled: the same rounding as the windows' layout.
    return {scaled(data_->width * 100 / data_->scale, dpi),
            scaled(data_->height * 100 / data_->scale, dpi)};
}

void Picture::draw(HDC dc, int x, int y, int dpi) const {
    if (empty()) return;
    MemoryDc source(CreateCompatibleDC(dc));
    Selected selected(source.get(), data_->premultiplied.get());
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const SIZE size = size_at(dpi);
    // AlphaBlend under gdi32's name (the same function): msimg32.dll is no known DLL. At the
    // artwork's own size nothing is stretched.
    GdiAlphaBlend(dc, x, y, size.cx, size.cy, source.get(), 0, 0, data_->width, data_->height,
                  blend);
}

}  // namespace toolkit
