#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "text/text.h"

namespace tarvelle::qr {

// A colour as 0x00BBGGRR: red in the low byte.
using Colour = std::uint32_t;

inline constexpr Colour kBlack = 0x000000;
inline constexpr Colour kWhite = 0xFFFFFF;

constexpr Colour rgb(int red, int green, int blue) {
    auto channel = [](int v) { return static_cast<Colour>(v < 0 ? 0 : v > 255 ? 255 : v); };
    return channel(red) | channel(green) << 8 | channel(blue) << 16;
}

// A device-independent bitmap: 1, 4, 8, 16 (5-5-5), 24 or 32 bits per pixel,
// a colour table for 1, 4 and 8 bits, uncompressed rows. (0, 0) is the
// top-left pixel. A default-constructed bitmap is empty: no size, no depth,
// and every pixel reads as 0.
class Bitmap {
public:
    Bitmap() = default;

    // A bitmap with every pixel set to `fill`, or to the table entry nearest
    // to it. Bitmaps of 1, 4 and 8 bits get `colourTable` (at most 2^bits
    // entries), black and white when none is given. Zero width or height is
    // allowed; a negative size or an unknown depth gives an empty bitmap.
    static Bitmap create(int width, int height, int bitsPerPixel, Colour fill,
                         std::vector<Colour> colourTable = {});

    // Replaces this bitmap with the uncompressed BMP file at `path` (a 936
    // text). A file that cannot be opened leaves the bitmap as it was; any
    // other failure leaves it empty.
    bool load(const text::Text& path);

    // The same from a file's bytes: on failure the bitmap is left empty.
    // Accepts 40- and 12-byte information headers; refuses compressed,
    // truncated or inconsistent files without reading outside `file`.
    bool loadFromBytes(std::string_view file);

    // The colour at (x, y), through the colour table for 1, 4 and 8 bits;
    // 0 outside the bitmap.
    Colour pixel(int x, int y) const;

    // Sets (x, y), to the nearest table entry for 1, 4 and 8 bits. Positions
    // outside the bitmap are ignored.
    void setPixel(int x, int y, Colour colour);

    // A complete BMP file: 14-byte file header, 40-byte information header,
    // colour table, rows bottom-up. Empty bytes for an empty bitmap.
    text::Bytes fileImage() const;

    int width() const noexcept { return width_; }
    int height() const noexcept { return height_; }
    int bitsPerPixel() const noexcept { return bitsPerPixel_; }
    bool empty() const noexcept { return bitsPerPixel_ == 0; }
    const std::vector<Colour>& colourTable() const noexcept { return table_; }

private:
    friend void copy(const Bitmap&, int, int, int, int, Bitmap&, int, int);

    std::size_t nearestEntry(Colour colour) const;
    void setEntry(std::size_t x, std::size_t y, std::size_t index);

    int width_ = 0;
    int height_ = 0;
    int bitsPerPixel_ = 0;
    std::size_t stride_ = 0;
    std::vector<Colour> table_;
    std::vector<std::uint8_t> rows_;  // top-down, `stride_` bytes each
};

// Sets target pixel (dx + i, dy + j) to the colour of source pixel
// (x + i, y + j) for 0 <= i < width, 0 <= j < height.
void copy(const Bitmap& source, int x, int y, int width, int height, Bitmap& target, int dx,
          int dy);

}  // namespace tarvelle::qr
