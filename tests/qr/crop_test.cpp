#include <gtest/gtest.h>

#include "bmp_writer.h"
#include "qr/address_qr.h"
#include "text/codepage.h"

namespace tarvelle::qr {
namespace {

using testing::BmpLayout;
using testing::makeBmp;
using testing::TempDir;

struct Rect {
    int left, top, right, bottom;  // inclusive
    bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

Bitmap pictureWith(std::vector<Rect> dark, int side = 400) {
    Bitmap b = Bitmap::create(side, side, 24, kWhite);
    for (const Rect& r : dark)
        for (int y = r.top; y <= r.bottom; ++y)
            for (int x = r.left; x <= r.right; ++x) b.setPixel(x, y, kBlack);
    return b;
}

// A finder-like mark: a 260-pixel frame 20 pixels thick from 70 to 329, and
// a block in the middle.
const std::vector<Rect> kSymbol = {{70, 70, 329, 89},
                                   {70, 310, 329, 329},
                                   {70, 70, 89, 329},
                                   {310, 70, 329, 329},
                                   {150, 150, 199, 179}};

TEST(FindFirstDarkPixel, ScansColumnByColumnWithinTheFirst400) {
    EXPECT_EQ(FindFirstDarkPixel(pictureWith({{10, 300, 10, 300}, {11, 0, 11, 0}})),
              (Point{10, 300}));
    EXPECT_EQ(FindFirstDarkPixel(pictureWith({{399, 399, 399, 399}})), (Point{399, 399}));
    EXPECT_EQ(FindFirstDarkPixel(pictureWith({{400, 0, 450, 0}, {0, 400, 0, 450}}, 500)),
              std::nullopt);
    EXPECT_EQ(FindFirstDarkPixel(pictureWith({})), std::nullopt);
    EXPECT_EQ(FindFirstDarkPixel(Bitmap()), (Point{0, 0}));  // an empty bitmap reads 0
}

TEST(CropSymbol, CutsTheSymbolOutOfItsMargin) {
    const Bitmap picture = pictureWith(kSymbol);
    const Bitmap cropped = CropSymbol(picture);
    ASSERT_EQ(cropped.width(), 260);
    ASSERT_EQ(cropped.height(), 260);
    EXPECT_EQ(cropped.bitsPerPixel(), 1);
    EXPECT_EQ(cropped.colourTable(), (std::vector<Colour>{kBlack, kWhite}));
    for (int y = 0; y < 260; ++y)
        for (int x = 0; x < 260; ++x)
            ASSERT_EQ(cropped.pixel(x, y), picture.pixel(70 + x, 70 + y)) << x << ", " << y;
}

// The side is one more than the largest offset at which both the corner's
// row and its column are dark, whatever lies between.
TEST(CropSymbol, MeasuresTheSide) {
    struct Case {
        const char* name;
        std::vector<Rect> dark;
        int side;
    };
    const std::vector<Case> cases = {
        {"gaps in row and column", {{50, 50, 56, 56}, {143, 50, 149, 50}, {50, 140, 50, 149}}, 100},
        {"column shorter than row", {{50, 50, 149, 50}, {50, 50, 50, 99}}, 50},
        {"one lone pair far out", {{20, 20, 20, 20}, {100, 20, 100, 20}, {20, 100, 20, 100}}, 81},
        {"row and column dark at different offsets",
         {{20, 20, 20, 20}, {100, 20, 100, 20}, {20, 90, 20, 90}},
         1},
        {"corner at x = 350", {{350, 100, 399, 399}}, 50},
        {"corner at x = 350, symbol beyond 400", {{350, 100, 460, 460}}, 50},
        {"corner at y = 390", {{10, 390, 200, 399}}, 10},
        {"no dark pixel", {}, 0},
    };
    for (const auto& c : cases) {
        const Bitmap cropped = CropSymbol(pictureWith(c.dark, 480));
        EXPECT_EQ(cropped.width(), c.side) << c.name;
        EXPECT_EQ(cropped.height(), c.side) << c.name;
    }
    // No dark pixel at all: a 0 × 0 picture, which is still a whole file.
    const std::string none = CropSymbol(pictureWith({})).fileImage();
    EXPECT_EQ(none.size(), 62u);
}

TEST(CropSymbolFile, EveryDepthGivesTheSameCrop) {
    TempDir dir;
    const Bitmap reference = pictureWith(kSymbol);
    for (int bits : {1, 4, 8, 16, 24, 32})
        for (bool core : {false, true}) {
            BmpLayout layout(400, core ? 400 : -400, bits, core);
            // Light pixels alternate white and red, where the depth allows.
            const bool red = bits != 1;
            if (bits <= 8) {
                layout.table = red ? std::vector<Colour>{kWhite, rgb(255, 0, 0), kBlack}
                                   : std::vector<Colour>{kWhite, kBlack};
                if (core) layout.table.resize(std::size_t{1} << bits);  // always a full table
            }
            const std::uint32_t darkIndex = red ? 2 : 1;
            const std::string file = makeBmp(layout, [&](int x, int y) {
                const bool dark = reference.pixel(x, y) == kBlack;
                const bool odd = red && (x + y) % 2;
                if (bits <= 8) return dark ? darkIndex : odd ? 1u : 0u;
                return dark ? kBlack : odd ? rgb(255, 0, 0) : kWhite;
            });
            const auto path = dir.path() / "picture.bmp";
            testing::writeFile(path, file);
            const Bitmap cropped = CropSymbolFile(path.string());
            EXPECT_EQ(cropped.width(), 260) << bits << (core ? " core" : "");
            // Red is nearer to black than to white.
            EXPECT_EQ(cropped.pixel(30, 31), red ? kBlack : kWhite) << bits;
            EXPECT_EQ(cropped.pixel(30, 30), kWhite) << bits;
            EXPECT_EQ(cropped.pixel(0, 0), kBlack) << bits;
        }
}

// Without a usable file every pixel reads dark: a black 399 × 399 square.
TEST(CropSymbolFile, NoUsableFileGivesABlackSquare) {
    TempDir dir;
    const auto compressed = dir.path() / "compressed.bmp";
    testing::writeFile(compressed, testing::patched(makeBmp(BmpLayout(400, 400, 24),
                                                            [](int, int) { return kWhite; }),
                                                    30, 1, 4));
    const auto truncated = dir.path() / "truncated.bmp";
    testing::writeFile(truncated, makeBmp(BmpLayout(400, 400, 24), [](int, int) {
                                      return kWhite;
                                  }).substr(0, 5000));
    for (const auto& path : {dir.path() / "missing.bmp", compressed, truncated}) {
        const Bitmap cropped = CropSymbolFile(path.string());
        ASSERT_EQ(cropped.width(), 399) << path;
        EXPECT_EQ(cropped.pixel(0, 0), kBlack);
        EXPECT_EQ(cropped.pixel(398, 398), kBlack);
        EXPECT_EQ(cropped.pixel(200, 100), kBlack);
    }
}

TEST(QrBitmapPath, BesideTheProgramUnderItsChineseName) {
    using text::operator""_gbk;
    const text::Text path = QrBitmapPath("/opt/tarvelle");
    EXPECT_EQ(path, "/opt/tarvelle/二维码图片.bmp"_gbk);
    EXPECT_EQ(text::GbkToUtf8(path), "/opt/tarvelle/二维码图片.bmp");
}

}  // namespace
}  // namespace tarvelle::qr
