// The symbols read back with a real decoder, as a phone would read them off
// the screen.

#include <ZXing/ReadBarcode.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "bmp_writer.h"
#include "qr/address_qr.h"
#include "qr/qr_library.h"
#include "text/codepage.h"

namespace tarvelle::qr {
namespace {

using testing::TempDir;
using text::operator""_gbk;

constexpr int kBox = 300;

ZXing::Result scan(const std::vector<std::uint8_t>& lum, int side) {
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    return ZXing::ReadBarcode({lum.data(), side, side, ZXing::ImageFormat::Lum}, hints);
}

std::vector<std::uint8_t> luminance(const Bitmap& b) {
    std::vector<std::uint8_t> lum;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) lum.push_back(b.pixel(x, y) == kBlack ? 0 : 255);
    return lum;
}

// The picture as the 300 × 300 picture box shows it: centred on a light
// ground, shrunk (averaging) when it is larger than the box.
ZXing::Result scanAsShown(const text::Bytes& image) {
    Bitmap b;
    if (!b.loadFromBytes(image) || b.width() != b.height()) return {};
    const int side = b.width();
    const int shown = std::min(side, kBox);
    const int offset = (kBox - shown) / 2;
    std::vector<std::uint8_t> lum(kBox * kBox, 255);
    for (int y = 0; y < shown; ++y)
        for (int x = 0; x < shown; ++x) {
            int sum = 0, count = 0;
            for (int sy = y * side / shown; sy < (y + 1) * side / shown; ++sy)
                for (int sx = x * side / shown; sx < (x + 1) * side / shown; ++sx, ++count)
                    sum += b.pixel(sx, sy) == kBlack ? 0 : 255;
            lum[static_cast<std::size_t>((offset + y) * kBox + offset + x)] =
                static_cast<std::uint8_t>(sum / count);
        }
    return scan(lum, kBox);
}

std::string bytesOf(const ZXing::Result& r) { return {r.bytes().begin(), r.bytes().end()}; }

// A run directory with a name outside ASCII, as a 936 text.
struct RunDir {
    TempDir temp;
    std::filesystem::path path = temp.path() / "运行目录";
    RunDir() { std::filesystem::create_directory(path); }
    text::Text text() const { return text::Utf8ToGbk(path.string()); }
    bool isEmpty() const { return std::filesystem::is_empty(path); }
};

TEST(AddressQr, ThePictureReadsBackAsTheEncodedBytes) {
    const std::string plain = "http://portal.example/plus/view.php?aid=565&list=1";
    const std::string long150 =
        "http://portal.example/plus/view.php?aid=565&list=1&q=" + std::string(150 - 53, 'x');
    const text::Text chinese = "http://门户.example/文章/视频?标题=二维码图片&页=第一页"_gbk;
    // 119 ASCII bytes, then a double-byte character: the cut keeps its lead byte.
    const text::Text leadAt120 = text::Text(std::string(119, 'a')) + "文章"_gbk;
    struct Case {
        const char* name;
        text::Text address;
        text::Text identityKey;
        std::string encoded;
    };
    const std::vector<Case> cases = {
        {"plain", plain, "", plain},
        {"zhushou kept without a key", "http://p.example/plus/view.php?aid=565&zhushou=1&list=1",
         "", "http://p.example/plus/view.php?aid=565&zhushou=1&list=1"},
        {"zhushou replaced with a key", "http://p.example/plus/view.php?aid=565&ZHUSHOU=1&list=1",
         "k9", "http://p.example/plus/view.php?aid=565&myfriends=1&list=1"},
        {"cut at 120 bytes", long150, "", long150.substr(0, 120)},
        {"double-byte characters", chinese, "", chinese.str()},
        {"cut through a double-byte character", leadAt120, "", leadAt120.str().substr(0, 120)},
    };
    RunDir run;
    for (const auto& c : cases) {
        const AddressQrPicture picture = MakeAddressQrPicture(c.address, c.identityKey, run.text());
        EXPECT_TRUE(run.isEmpty()) << c.name;
        const ZXing::Result r = scanAsShown(picture.image);
        ASSERT_TRUE(r.isValid()) << c.name;
        EXPECT_EQ(bytesOf(r), c.encoded) << c.name;

        // Shown unscaled in the box, at most version 6, with every module the
        // same whole number of pixels, at least six.
        const auto symbol = encodeSymbol(c.encoded, 0, 4);
        ASSERT_TRUE(symbol);
        EXPECT_LE(picture.side, kBox) << c.name;
        EXPECT_EQ(picture.side % symbol->modules, 0) << c.name;
        EXPECT_LE(symbol->version, 6) << c.name;
        EXPECT_GE(picture.side / symbol->modules, 6) << c.name;
    }
}

TEST(AddressQr, MakeAddressQrImageHandsBackTheCutText) {
    RunDir run;
    text::Text address(std::string(150, 'h'));
    const text::Bytes image = MakeAddressQrImage(run.text(), address, std::nullopt, 4, 0.18);
    EXPECT_EQ(address.str(), std::string(120, 'h'));
    EXPECT_EQ(bytesOf(scanAsShown(image)), std::string(120, 'h'));

    text::Text shortAddress = "http://a.example/";
    MakeAddressQrImage(run.text(), shortAddress);
    EXPECT_EQ(shortAddress, "http://a.example/");
    EXPECT_TRUE(run.isEmpty());
}

// Out-of-range settings are clamped, so every call still gives a symbol.
TEST(AddressQr, OutOfRangeSettingsStillGiveASymbol) {
    RunDir run;
    struct Case {
        std::optional<int> version, level;
        std::optional<double> appearance;
    };
    for (const auto& c : {Case{-5, -1, -3.0}, Case{99, 99, 99.0}, Case{40, 4, 0.26},
                          Case{{}, {}, {}}, Case{0, 2, 0.2600000999}, Case{0, 4, std::nan("")}}) {
        text::Text address = "http://portal.example/?aid=1";
        const ZXing::Result r =
            scanAsShown(MakeAddressQrImage(run.text(), address, c.version, c.level, c.appearance));
        EXPECT_EQ(bytesOf(r), address.str());
    }
    EXPECT_TRUE(run.isEmpty());
}

// The file the library writes meets what the crop relies on: 400 × 400,
// uncompressed, dark exactly 0 and everything else white, a square symbol on
// a light margin; it reads back at every level and every depth.
TEST(QrLibrary, FileAtEveryLevelAndDepth) {
    TempDir dir;
    const text::Text path = (dir.path() / "symbol.bmp").string();
    const std::string message = "http://portal.example/plus/view.php?aid=565&myfriends=1&list=1";
    const char* const letters[] = {"L", "M", "Q", "H"};
    for (int level = 0; level <= 4; ++level)
        for (int bits : {0, 1, 4, 8, 16, 24, 32}) {
            QRSetMessage(message.c_str());
            QRSetBackColor(255, 255, 255);
            QRSetBarColor(0, 0, 0);
            QRConfigure(0, level, 5);
            QRAppearance(0.18, 1, bits);
            QRSetSize(400, 400);
            ASSERT_EQ(QRSaveAsBMP(path.c_str()), 1);

            Bitmap file;
            ASSERT_TRUE(file.load(path));
            ASSERT_EQ(file.width(), 400);
            ASSERT_EQ(file.height(), 400);
            EXPECT_EQ(file.bitsPerPixel(), bits == 0 ? 1 : bits);
            int darkLeft = 400, darkRight = -1, darkTop = 400, darkBottom = -1;
            for (int y = 0; y < 400; ++y)
                for (int x = 0; x < 400; ++x) {
                    const Colour c = file.pixel(x, y);
                    ASSERT_TRUE(c == kBlack || c == kWhite) << std::hex << c;
                    if (c != kBlack) continue;
                    darkLeft = std::min(darkLeft, x), darkRight = std::max(darkRight, x);
                    darkTop = std::min(darkTop, y), darkBottom = std::max(darkBottom, y);
                }
            EXPECT_GE(darkLeft, 72);
            EXPECT_GE(darkTop, 72);
            EXPECT_LE(darkRight, 400 - 73);
            EXPECT_LE(darkBottom, 400 - 73);

            const auto symbol = encodeSymbol(message, 0, level);
            ASSERT_TRUE(symbol);
            const Bitmap cropped = CropSymbol(file);
            EXPECT_EQ(cropped.width(), darkRight - darkLeft + 1);
            EXPECT_EQ(cropped.width(), darkBottom - darkTop + 1);
            EXPECT_EQ(cropped.width() % symbol->modules, 0);

            const ZXing::Result r = scan(luminance(file), 400);
            ASSERT_TRUE(r.isValid()) << level << " " << bits;
            EXPECT_EQ(bytesOf(r), message);
            EXPECT_EQ(r.ecLevel(), letters[symbol->level]) << level;
        }
}

TEST(QrLibrary, StretchedModulesFillTheSpaceInsideTheMargin) {
    QrSettings s;
    s.message = "http://portal.example/";
    s.wholeModules = 0;
    s.margin = 0.1;
    s.quietZone = 0;
    const Bitmap picture = drawQrSymbol(s);
    const Bitmap cropped = CropSymbol(picture);
    EXPECT_EQ(cropped.width(), 320);
    EXPECT_EQ(bytesOf(scan(luminance(picture), 400)), s.message);
}

TEST(QrLibrary, LevelsAndVersions) {
    for (std::size_t length : {1u, 10u, 40u, 80u, 120u}) {
        const std::string message(length, 'u');
        const auto lowest = encodeSymbol(message, 0, 0);
        ASSERT_TRUE(lowest);
        for (int level = 0; level <= 3; ++level)
            EXPECT_EQ(encodeSymbol(message, 0, level)->level, level);
        // Level 4: the smallest symbol, with as much error correction as it holds.
        const auto best = encodeSymbol(message, 0, 4);
        EXPECT_EQ(best->version, lowest->version) << length;
        for (int higher = best->level + 1; higher <= 3; ++higher)
            EXPECT_GT(encodeSymbol(message, 0, higher)->version, best->version) << length;
    }
    EXPECT_EQ(encodeSymbol("u", 10, 0)->version, 10);
    EXPECT_EQ(encodeSymbol("u", 41, 0)->version, 40);
    EXPECT_EQ(encodeSymbol(std::string(200, 'u'), 1, 0)->version, 9);  // grows to fit
    EXPECT_FALSE(encodeSymbol("", 0, 0));
    EXPECT_FALSE(encodeSymbol(std::string(3000, 'u'), 0, 0));
}

// When nothing can be drawn no file is left, not even an older one, and the
// button gets the black square.
TEST(QrLibrary, FailureLeavesNoFile) {
    RunDir run;
    const text::Text path = QrBitmapPath(run.text());
    const auto osPath = std::filesystem::path(text::GbkToUtf8(path));
    Bitmap old = Bitmap::create(400, 400, 1, kWhite);
    old.setPixel(100, 100, kBlack);
    testing::writeFile(osPath, old.fileImage());

    QRSetMessage("");
    EXPECT_EQ(QRSaveAsBMP(path.c_str()), 0);
    EXPECT_FALSE(std::filesystem::exists(osPath));

    testing::writeFile(osPath, old.fileImage());
    text::Text empty;
    Bitmap picture;
    ASSERT_TRUE(picture.loadFromBytes(MakeAddressQrImage(run.text(), empty, {}, 4, 0.18)));
    EXPECT_EQ(picture.width(), 399);
    EXPECT_EQ(picture.pixel(200, 200), kBlack);
    EXPECT_TRUE(run.isEmpty());

    QRSetMessage("x");
    QRSetSize(0, 400);
    EXPECT_EQ(QRSaveAsBMP(path.c_str()), 0);
    QRSetSize(400, 400);
    QRAppearance(0.18, 1, 2);
    EXPECT_EQ(QRSaveAsBMP(path.c_str()), 0);
    EXPECT_TRUE(run.isEmpty());

    // A directory that happens to bear the name is not the tool's to delete.
    std::filesystem::create_directory(osPath);
    text::Text address = "http://portal.example/";
    ASSERT_TRUE(picture.loadFromBytes(MakeAddressQrImage(run.text(), address, {}, 4, 0.18)));
    EXPECT_EQ(picture.width(), 399);
    EXPECT_TRUE(std::filesystem::is_directory(osPath));
}

TEST(QrMessageForAddress, ReplacesZhushouOnlyWithAKeyAndCutsAt120) {
    const text::Text tail = "/plus/view.php?aid=565&zhushou=1&list=1";
    struct Case {
        const char* name;
        text::Text address, key, expected;
    };
    const std::string lead = "\xB0";  // a lead byte: takes the following 'z' as its pair
    const std::vector<Case> cases = {
        {"no key", "http://p.example" + tail, "", "http://p.example" + tail},
        {"key", "http://p.example" + tail, "key",
         "http://p.example/plus/view.php?aid=565&myfriends=1&list=1"},
        {"capitals", "http://p.example/?ZHUSHOU=1&ZhuShou=2", "key",
         "http://p.example/?myfriends=1&myfriends=2"},
        {"back to back", "zhushouzhushou", "key", "myfriendsmyfriends"},
        {"not re-examined", "zhuzhushoushou", "key", "zhumyfriendsshou"},
        {"inside a double-byte character", lead + "zhushou", "key", lead + "zhushou"},
        {"after a double-byte character", "文"_gbk + "zhushou", "key", "文"_gbk + "myfriends"},
        {"cut after the replacement", std::string(110, 'a') + "zhushou", "key",
         std::string(110, 'a') + "myfriends" + ""},
        {"cut at 120", std::string(115, 'a') + "zhushou", "key", std::string(115, 'a') + "myfri"},
        {"empty", "", "key", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QrMessageForAddress(c.address, c.key), c.expected) << c.name;
}

}  // namespace
}  // namespace tarvelle::qr
