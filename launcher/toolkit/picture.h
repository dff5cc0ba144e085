#pragma once

// A picture with an alpha channel: decoded from PNG once (toolkit/png.h), drawn with its
// transparency, and usable as a window icon. Copies share the decoded pixels, which never
// change. Only the premultiplied pixels that drawing needs are kept (256 KB for the main
// window's portrait); a picture that is also an icon makes its icon while decoding.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "toolkit/handles.h"

namespace toolkit {

enum class PictureUse { draw, draw_and_icon };

class Picture {
  public:
    Picture() = default;
    // Decodes a PNG; throws std::runtime_error when the bytes are no picture.
    static Picture from_png(std::span<const std::uint8_t> bytes, PictureUse use = PictureUse::draw);
    // A PNG carried as an RCDATA resource of the running executable, for a screen of `dpi`:
    // the artwork drawn at 1.5 or 2 times the size (NAME_150, NAME_200) when the screen is
    // denser and the resource has it.
    static Picture from_resource(std::wstring_view name, PictureUse use, int dpi);
    // The same picture for a screen of `dpi`: itself, or its resource's artwork for that size.
    Picture for_dpi(int dpi) const;

    bool empty() const { return !data_; }
    // The pixels of the artwork.
    int width() const { return data_ ? data_->width : 0; }
    int height() const { return data_ ? data_->height : 0; }
    // The size it is drawn at on a screen of `dpi`: its size at 96 dpi, scaled.
    SIZE size_at(int dpi) const;

    // Draws at its size for `dpi`, blending by its alpha channel.
    void draw(HDC dc, int x, int y, int dpi) const;
    // The window icon of this picture's size; null unless made for PictureUse::draw_and_icon.
    HICON icon() const { return data_ ? data_->icon.get() : nullptr; }

  private:
    struct Data {
        int width = 0;
        int height = 0;
        int scale = 100;        // the artwork's size in percent of the 96-dpi one
        std::wstring resource;  // empty for a picture from bytes
        PictureUse use = PictureUse::draw;
        BitmapHandle premultiplied;  // for AlphaBlend
        IconHandle icon;
    };
    static Picture decode(std::span<const std::uint8_t> bytes, PictureUse use, int scale,
                          std::wstring_view resource);
    std::shared_ptr<const Data> data_;
};

// The bytes of an RCDATA resource of the running executable; throws std::runtime_error
// when it is missing.
std::span<const std::uint8_t> resource_bytes(std::wstring_view name);
// The same, empty when it is missing.
std::span<const std::uint8_t> find_resource_bytes(std::wstring_view name);

}  // namespace toolkit
