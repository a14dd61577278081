// Any bytes as a BMP file: loading never reads outside them, a refused file
// leaves the bitmap empty, and a loaded one crops, writes out and reads back
// unchanged.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "qr/address_qr.h"
#include "qr/bitmap.h"

using tarvelle::qr::Bitmap;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    Bitmap bitmap = Bitmap::create(3, 3, 1, tarvelle::qr::kWhite);
    if (!bitmap.loadFromBytes(file)) {
        if (!bitmap.empty() || bitmap.pixel(0, 0) != 0) std::abort();
        return 0;
    }

    const Bitmap cropped = tarvelle::qr::CropSymbol(bitmap);
    Bitmap picture;
    if (!picture.loadFromBytes(cropped.fileImage()) || picture.width() != cropped.width())
        std::abort();

    Bitmap again;
    if (!again.loadFromBytes(bitmap.fileImage())) std::abort();
    if (again.width() != bitmap.width() || again.height() != bitmap.height() ||
        again.bitsPerPixel() != bitmap.bitsPerPixel())
        std::abort();
    for (int y = 0; y < std::min(bitmap.height(), 64); ++y)
        for (int x = 0; x < std::min(bitmap.width(), 64); ++x)
            if (again.pixel(x, y) != bitmap.pixel(x, y)) std::abort();
    return 0;
}
