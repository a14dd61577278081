#pragma once

#include <optional>

#include "qr/bitmap.h"
#include "text/text.h"

namespace tarvelle::qr {

// At most this many bytes of an address go into the symbol.
inline constexpr int kMaxQrMessageBytes = 120;

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// The first dark (colour 0) pixel scanning column by column, x = 0..399, and
// within a column row by row, y = 0..399; nothing when there is none.
std::optional<Point> FindFirstDarkPixel(const Bitmap& bitmap);

// The symbol cut out of a picture the QR library drew: the corner is the first
// dark pixel ((0, 0) when none), and the side e is one more than the largest
// offset i - 1 (i = 1..399, stopping once the corner's row or column reaches
// pixel 399) at which both the corner's row and its column are dark. The
// result is a 1-bit, e × e bitmap, black and white.
Bitmap CropSymbol(const Bitmap& picture);

// The same for the BMP file at `path` (936): a 400 × 400 black bitmap loaded
// from the file, so that a file that cannot be opened, or fails to load,
// leaves every pixel dark.
Bitmap CropSymbolFile(const text::Text& path);

// The temporary QR picture beside the program: `runDirectory` (936, without a
// trailing separator) joined with "二维码图片.bmp".
text::Text QrBitmapPath(const text::Text& runDirectory);

// Draws `text` as a QR symbol through the QR library into the temporary file
// in `runDirectory`, crops it and returns the cropped picture as a BMP file
// image; the file is deleted before returning. `text` longer than 120 bytes is
// cut to its first 120 (bytes, not characters) and the caller's text receives
// the cut. Omitted: version 0, level 0, appearance 0.02; out-of-range values
// are clamped (version 0-40, level 0-4, appearance 0.02-0.26 give or take
// 1e-7). Without a usable file the picture is a black 399 × 399 square.
text::Bytes MakeAddressQrImage(const text::Text& runDirectory, text::Text& text,
                               std::optional<int> version = std::nullopt,
                               std::optional<int> level = std::nullopt,
                               std::optional<double> appearance = std::nullopt);

// What the QR button encodes for the address bar's text: with an identity
// key, every "zhushou" (ASCII case ignored, at character boundaries) becomes
// "myfriends"; then the text is cut to 120 bytes.
text::Text QrMessageForAddress(const text::Text& addressBarText, const text::Text& identityKey);

// The QR button's picture: a BMP file image of `side` × `side` pixels, 1 bit
// per pixel. The caller shows "地址栏内容不得为空" for an empty address bar
// instead of calling this.
struct AddressQrPicture {
    text::Bytes image;
    int side = 0;
};

// Encodes QrMessageForAddress(addressBarText, identityKey) at level 4 and
// appearance 0.18, as the QR button does.
AddressQrPicture MakeAddressQrPicture(const text::Text& addressBarText,
                                      const text::Text& identityKey,
                                      const text::Text& runDirectory);

}  // namespace tarvelle::qr
