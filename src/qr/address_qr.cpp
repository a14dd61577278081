#include "qr/address_qr.h"

#include <algorithm>
#include <filesystem>

#include "qr/files.h"
#include "qr/qr_library.h"
#include "text/codepage.h"
#include "text/primitives.h"

namespace tarvelle::qr {

namespace {

constexpr int kPictureSide = 400;
constexpr int kScanLimit = 399;
constexpr double kAppearanceTolerance = 0.0000001;

Bitmap makeAddressQrBitmap(const text::Text& runDirectory, text::Text& text,
                           std::optional<int> version, std::optional<int> level,
                           std::optional<double> appearance) {
    if (text.size() > kMaxQrMessageBytes) text = text::LeftOf(text, kMaxQrMessageBytes);
    const int v = std::clamp(version.value_or(0), 0, 40);
    const int l = std::clamp(level.value_or(0), 0, 4);
    double a = appearance.value_or(0.02);
    if (a - 0.02 < -kAppearanceTolerance) a = 0.02;
    if (a - 0.26 > kAppearanceTolerance) a = 0.26;

    const text::Text path = QrBitmapPath(runDirectory);
    QRSetMessage(text.c_str());
    QRSetBackColor(255, 255, 255);
    QRSetBarColor(0, 0, 0);
    QRConfigure(v, l, 5);
    QRAppearance(a, 1, 0);
    QRSetSize(kPictureSide, kPictureSide);
    QRSaveAsBMP(path.c_str());

    Bitmap cropped = CropSymbolFile(path);

    deleteFile(std::filesystem::path(text::GbkToUtf8(path)));
    return cropped;
}

}  // namespace

std::optional<Point> FindFirstDarkPixel(const Bitmap& bitmap) {
    for (int x = 0; x <= kScanLimit; ++x)
        for (int y = 0; y <= kScanLimit; ++y)
            if (bitmap.pixel(x, y) == 0) return Point{x, y};
    return std::nullopt;
}

Bitmap CropSymbol(const Bitmap& picture) {
    const Point corner = FindFirstDarkPixel(picture).value_or(Point{});
    int side = 0;
    for (int i = 1; i <= kScanLimit; ++i) {
        if (picture.pixel(corner.x + i - 1, corner.y) == 0 &&
            picture.pixel(corner.x, corner.y + i - 1) == 0)
            side = i;
        if (corner.x + i - 1 >= kScanLimit || corner.y + i - 1 >= kScanLimit) break;
    }
    Bitmap cropped = Bitmap::create(side, side, 1, kBlack);
    copy(picture, corner.x, corner.y, side, side, cropped, 0, 0);
    return cropped;
}

Bitmap CropSymbolFile(const text::Text& path) {
    Bitmap picture = Bitmap::create(kPictureSide, kPictureSide, 1, kBlack);
    picture.load(path);
    return CropSymbol(picture);
}

text::Text QrBitmapPath(const text::Text& runDirectory) {
    using text::operator""_gbk;
    return runDirectory + "/" + "二维码图片.bmp"_gbk;
}

text::Bytes MakeAddressQrImage(const text::Text& runDirectory, text::Text& text,
                               std::optional<int> version, std::optional<int> level,
                               std::optional<double> appearance) {
    return makeAddressQrBitmap(runDirectory, text, version, level, appearance).fileImage();
}

text::Text QrMessageForAddress(const text::Text& addressBarText, const text::Text& identityKey) {
    text::Text message = addressBarText;
    if (!identityKey.empty())
        message = text::SubstituteText(message, "zhushou", "myfriends", 1, -1, false);
    return text::LeftOf(message, kMaxQrMessageBytes);
}

AddressQrPicture MakeAddressQrPicture(const text::Text& addressBarText,
                                      const text::Text& identityKey,
                                      const text::Text& runDirectory) {
    text::Text message = QrMessageForAddress(addressBarText, identityKey);
    const Bitmap cropped = makeAddressQrBitmap(runDirectory, message, std::nullopt, 4, 0.18);
    return {cropped.fileImage(), cropped.width()};
}

}  // namespace tarvelle::qr
