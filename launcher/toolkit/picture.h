#pragma once

// A picture with an alpha channel: decoded from PNG once, drawn with its transparency, and
// usable as a window icon. Copies share the decoded pixels, which never change.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "toolkit/handles.h"

namespace toolkit {

class Picture {
  public:
    Picture() = default;
    // Decodes a PNG; throws std::runtime_error when the bytes are no picture.
    static Picture from_png(std::span<const std::uint8_t> bytes);
    // A PNG carried as an RCDATA resource of the running executable.
    static Picture from_resource(std::wstring_view name);

    bool empty() const { return !data_; }
    int width() const { return data_ ? data_->width : 0; }
    int height() const { return data_ ? data_->height : 0; }

    // Draws at its natural size, blending by its alpha channel.
    void draw(HDC dc, int x, int y) const;
    // A window icon of this picture's size.
    IconHandle make_icon() const;

  private:
    struct Data {
        int width = 0;
        int height = 0;
        std::vector<std::uint8_t> straight_bgra;  // rows top-down, alpha not premultiplied
        BitmapHandle premultiplied;               // for AlphaBlend
    };
    std::shared_ptr<const Data> data_;
};

// The bytes of an RCDATA resource of the running executable; throws std::runtime_error
// when it is missing.
std::span<const std::uint8_t> resource_bytes(std::wstring_view name);

}  // namespace toolkit
