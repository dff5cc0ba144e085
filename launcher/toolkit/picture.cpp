#include "toolkit/picture.h"

#include <shlwapi.h>
#include <wincodec.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "kit/text.h"

namespace toolkit {
namespace {

void check(HRESULT result, const char* what) {
    if (FAILED(result)) throw std::runtime_error(std::string("Cannot decode picture: ") + what);
}

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

std::span<const std::uint8_t> resource_bytes(std::wstring_view name) {
    const std::wstring resource_name(name);
    HRSRC info = FindResourceW(nullptr, resource_name.c_str(), MAKEINTRESOURCEW(10));  // RCDATA
    HGLOBAL handle = info ? LoadResource(nullptr, info) : nullptr;
    const void* data = handle ? LockResource(handle) : nullptr;
    if (!data) throw std::runtime_error("Missing resource " + kit::text::narrow(name));
    return {static_cast<const std::uint8_t*>(data), SizeofResource(nullptr, info)};
}

Picture Picture::from_png(std::span<const std::uint8_t> bytes) {
    ComPtr<IWICImagingFactory> factory;
    check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                           IID_IWICImagingFactory, reinterpret_cast<void**>(factory.put())),
          "no imaging factory (is COM initialised?)");
    ComPtr<IStream> stream;
    *stream.put() = SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size()));
    if (!stream.get()) throw std::runtime_error("Cannot decode picture: no memory stream");
    ComPtr<IWICBitmapDecoder> decoder;
    check(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnLoad,
                                           decoder.put()),
          "not a known image format");
    ComPtr<IWICBitmapFrameDecode> frame;
    check(decoder->GetFrame(0, frame.put()), "no frame");
    // The factory's converter, not WICConvertBitmapSource: that one would tie the launcher to
    // windowscodecs.dll at load time, a DLL looked for in the game folder first.
    ComPtr<IWICFormatConverter> converted;
    check(factory->CreateFormatConverter(converted.put()), "no converter");
    check(converted->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                nullptr, 0.0, WICBitmapPaletteTypeCustom),
          "no 32-bit conversion");
    UINT width = 0;
    UINT height = 0;
    check(converted->GetSize(&width, &height), "no size");

    auto data = std::make_shared<Data>();
    data->width = static_cast<int>(width);
    data->height = static_cast<int>(height);
    data->straight_bgra.resize(std::size_t{width} * height * 4);
    check(converted->CopyPixels(nullptr, width * 4, static_cast<UINT>(data->straight_bgra.size()),
                                data->straight_bgra.data()),
          "pixels unreadable");

    void* bits = nullptr;
    data->premultiplied = make_dib(data->width, data->height, &bits);
    auto* out = static_cast<std::uint8_t*>(bits);
    const auto& in = data->straight_bgra;
    for (std::size_t i = 0; i < in.size(); i += 4) {
        const unsigned alpha = in[i + 3];
        for (std::size_t c = 0; c < 3; ++c)
            out[i + c] = static_cast<std::uint8_t>((in[i + c] * alpha + 127) / 255);
        out[i + 3] = static_cast<std::uint8_t>(alpha);
    }
    Picture picture;
    picture.data_ = std::move(data);
    return picture;
}

Picture Picture::from_resource(std::wstring_view name) {
    return from_png(resource_bytes(name));
}

void Picture::draw(HDC dc, int x, int y) const {
    if (empty()) return;
    MemoryDc source(CreateCompatibleDC(dc));
    Selected selected(source.get(), data_->premultiplied.get());
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    // AlphaBlend under gdi32's name (the same function): msimg32.dll is no known DLL.
    GdiAlphaBlend(dc, x, y, data_->width, data_->height, source.get(), 0, 0, data_->width,
                  data_->height, blend);
}

IconHandle Picture::make_icon() const {
    if (empty()) return {};
    const int width = data_->width;
    const int height = data_->height;
    void* bits = nullptr;
    BitmapHandle color = make_dib(width, height, &bits);
    std::memcpy(bits, data_->straight_bgra.data(), data_->straight_bgra.size());
    // The alpha channel decides; the mask only has to exist (all zero: word-aligned rows).
    const std::vector<std::uint8_t> zeros(static_cast<std::size_t>((width + 15) / 16 * 2) *
                                          static_cast<std::size_t>(height));
    BitmapHandle mask(CreateBitmap(width, height, 1, 1, zeros.data()));
    ICONINFO info{TRUE, 0, 0, mask.get(), color.get()};
    return IconHandle(CreateIconIndirect(&info));
}

}  // namespace toolkit
