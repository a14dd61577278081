#include "qr/bitmap.h"

#include <gtest/gtest.h>

#include <climits>

#include "bmp_writer.h"

namespace tarvelle::qr {
namespace {

using testing::BmpLayout;
using testing::makeBmp;
using testing::patched;
using testing::TempDir;

// A colour per position that every channel of a direct-colour file keeps.
Colour directColour(int x, int y) { return rgb(40 * x + 3, 255 - 60 * y, 17 * (x + y)); }

// What a 5-5-5 pixel reads back as: each channel's five bits widened again.
Colour through555(Colour c) {
    auto widen = [](Colour v) { return static_cast<int>((v >> 3) << 3 | (v >> 3) >> 2); };
    return rgb(widen(c & 0xFF), widen(c >> 8 & 0xFF), widen(c >> 16 & 0xFF));
}

std::vector<Colour> tableOf(int entries) {
    std::vector<Colour> table;
    for (int i = 0; i < entries; ++i) table.push_back(rgb(i * 7 % 256, 255 - i, i * 13 % 256));
    return table;
}

struct DepthCase {
    int bits;
    bool coreHeader;
    friend void PrintTo(const DepthCase& c, std::ostream* out) {
        *out << c.bits << " bits, " << (c.coreHeader ? "12" : "40") << "-byte header";
    }
};

class LoadDepth : public ::testing::TestWithParam<DepthCase> {};

// 7 × 3 leaves padding at the end of every row at every depth; the rows are
// stored bottom-up, so a flipped or misaligned row shows at once.
TEST_P(LoadDepth, ReadsEveryPixelThroughTableOrChannels) {
    const int bits = GetParam().bits;
    const bool core = GetParam().coreHeader;
    const int width = 7, height = 3;
    BmpLayout layout(width, height, bits, core);
    if (bits <= 8) layout.table = tableOf(1 << bits);
    auto index = [bits](int x, int y) {
        return static_cast<std::uint32_t>((x * 3 + y * 5) % (1 << bits));
    };
    const std::string file =
        makeBmp(layout, [&](int x, int y) { return bits <= 8 ? index(x, y) : directColour(x, y); });

    Bitmap b;
    ASSERT_TRUE(b.loadFromBytes(file));
    EXPECT_EQ(b.width(), width);
    EXPECT_EQ(b.height(), height);
    EXPECT_EQ(b.bitsPerPixel(), bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Colour expected = bits <= 8 ? layout.table[index(x, y)] : directColour(x, y);
            if (bits == 16) expected = through555(expected);
            EXPECT_EQ(b.pixel(x, y), expected) << "(" << x << ", " << y << ")";
        }
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {width, 0}, {0, height}, {INT_MAX, INT_MAX}})
        EXPECT_EQ(b.pixel(x, y), 0u);

    // Written back out and read again, nothing changes.
    Bitmap again;
    ASSERT_TRUE(again.loadFromBytes(b.fileImage()));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) EXPECT_EQ(again.pixel(x, y), b.pixel(x, y));
}

INSTANTIATE_TEST_SUITE_P(
    Depths, LoadDepth,
    ::testing::Values(DepthCase{1, false}, DepthCase{4, false}, DepthCase{8, false},
                      DepthCase{16, false}, DepthCase{24, false}, DepthCase{32, false},
                      DepthCase{1, true}, DepthCase{4, true}, DepthCase{8, true},
                      DepthCase{16, true}, DepthCase{24, true}, DepthCase{32, true}),
    [](const auto& p) {
        return std::to_string(p.param.bits) + "bit" + (p.param.coreHeader ? "Core" : "Info");
    });

TEST(BitmapLoad, NegativeHeightMeansTopDownRows) {
    const BmpLayout layout(3, -2, 24);
    Bitmap b;
    ASSERT_TRUE(b.loadFromBytes(makeBmp(layout, directColour)));
    EXPECT_EQ(b.height(), 2);
    EXPECT_EQ(b.pixel(2, 0), directColour(2, 0));
    EXPECT_EQ(b.pixel(0, 1), directColour(0, 1));
}

// Rows of no bytes at all: a valid bitmap, with every pixel outside it.
TEST(BitmapLoad, ZeroWidthWithRows) {
    for (int bits : {1, 24}) {
        BmpLayout layout(0, 9, bits);
        if (bits == 1) layout.withTable({kWhite, kBlack});
        Bitmap b;
        ASSERT_TRUE(b.loadFromBytes(makeBmp(layout, directColour))) << bits;
        EXPECT_EQ(b.height(), 9);
        EXPECT_EQ(b.pixel(0, 0), 0u);
        Bitmap again;
        ASSERT_TRUE(again.loadFromBytes(b.fileImage()));
        EXPECT_EQ(again.height(), 9);
    }
}

TEST(BitmapLoad, ShortColourTableAndPixelsBeyondIt) {
    const BmpLayout layout = BmpLayout(4, 1, 8).withTable({kWhite, rgb(1, 2, 3)});
    Bitmap b;
    ASSERT_TRUE(b.loadFromBytes(makeBmp(layout, [](int x, int) { return std::uint32_t(x); })));
    EXPECT_EQ(b.pixel(0, 0), kWhite);
    EXPECT_EQ(b.pixel(1, 0), rgb(1, 2, 3));
    EXPECT_EQ(b.pixel(2, 0), 0u);  // no such entry
}

TEST(BitmapLoad, PixelRowsWhereTheFileHeaderPointsThem) {
    const BmpLayout layout = BmpLayout(2, 1, 24).withPixelOffset(54 + 6);
    std::string file = makeBmp(layout, directColour);
    file.insert(54, "gapgap");
    Bitmap b;
    ASSERT_TRUE(b.loadFromBytes(file));
    EXPECT_EQ(b.pixel(1, 0), directColour(1, 0));
}

TEST(BitmapLoad, FileThatCannotBeOpenedLeavesTheBitmapOtherFailuresEmptyIt) {
    TempDir dir;
    const Bitmap white = Bitmap::create(2, 2, 1, kWhite);

    Bitmap b = white;
    EXPECT_FALSE(b.load((dir.path() / "missing.bmp").string()));
    EXPECT_EQ(b.width(), 2);
    EXPECT_EQ(b.pixel(1, 1), kWhite);
    EXPECT_FALSE(b.load(dir.path().string()));  // a directory
    EXPECT_EQ(b.pixel(1, 1), kWhite);

    testing::writeFile(dir.path() / "bad.bmp", "BM not a bitmap");
    EXPECT_FALSE(b.load((dir.path() / "bad.bmp").string()));
    EXPECT_TRUE(b.empty());
    EXPECT_EQ(b.width(), 0);
    EXPECT_EQ(b.pixel(0, 0), 0u);
    EXPECT_TRUE(b.fileImage().empty());

    testing::writeFile(dir.path() / "good.bmp", white.fileImage());
    EXPECT_TRUE(b.load((dir.path() / "good.bmp").string()));
    EXPECT_EQ(b.pixel(1, 1), kWhite);
}

// Every one of these is refused, leaves the bitmap empty and reads nothing
// outside the bytes given (ASan watches the last point).
TEST(BitmapLoad, RefusesHostileFiles) {
    const BmpLayout base(7, 3, 24);
    const std::string good = makeBmp(base, directColour);
    const std::string palette = makeBmp(BmpLayout(7, 3, 8).withTable(tableOf(256)),
                                        [](int x, int) { return std::uint32_t(x); });
    const std::string core = makeBmp(BmpLayout(7, 3, 8, true).withTable(tableOf(256)),
                                     [](int x, int) { return std::uint32_t(x); });

    const std::vector<std::pair<std::string, std::string>> hostile = {
        {"empty", ""},
        {"signature only", "BM"},
        {"not a bitmap", "PK" + good.substr(2)},
        {"width 2^31-1", patched(good, 18, 0x7FFFFFFF, 4)},
        {"height 2^31-1", patched(good, 22, 0x7FFFFFFF, 4)},
        {"both huge", patched(patched(good, 18, 0x7FFFFFFF, 4), 22, 0x7FFFFFFF, 4)},
        {"height INT_MIN", patched(good, 22, 0x80000000, 4)},
        {"height -2^31+1", patched(good, 22, 0x80000001, 4)},
        {"negative height past the end", patched(good, 22, static_cast<std::uint32_t>(-4), 4)},
        {"negative width", patched(good, 18, static_cast<std::uint32_t>(-7), 4)},
        {"run-length 8", patched(palette, 30, 1, 4)},
        {"run-length 4", patched(palette, 30, 2, 4)},
        {"bit fields", patched(good, 30, 3, 4)},
        {"JPEG inside", patched(good, 30, 4, 4)},
        {"PNG inside", patched(good, 30, 5, 4)},
        {"0 bits", patched(good, 28, 0, 2)},
        {"2 bits", patched(good, 28, 2, 2)},
        {"64 bits", patched(good, 28, 64, 2)},
        {"no planes", patched(good, 26, 0, 2)},
        {"header size 0", patched(good, 14, 0, 4)},
        {"header size 108", patched(good, 14, 108, 4)},
        {"header size 2^32-1", patched(good, 14, 0xFFFFFFFF, 4)},
        {"pixels past the end", patched(good, 10, good.size() + 1, 4)},
        {"pixel offset 2^32-1", patched(good, 10, 0xFFFFFFFF, 4)},
        {"pixels inside the header", patched(good, 10, 20, 4)},
        {"pixels inside the table", patched(palette, 10, 100, 4)},
        {"more colours than bits", patched(palette, 46, 257, 4)},
        {"colour count 2^32-1", patched(palette, 46, 0xFFFFFFFF, 4)},
        {"core header width past the rows", patched(core, 18, 0xFFFF, 2)},
        {"core header 2 bits", patched(core, 24, 2, 2)},
    };
    for (const auto& [name, file] : hostile) {
        Bitmap b = Bitmap::create(3, 3, 1, kWhite);
        EXPECT_FALSE(b.loadFromBytes(file)) << name;
        EXPECT_TRUE(b.empty()) << name;
        EXPECT_EQ(b.pixel(0, 0), 0u) << name;
    }
    // Cut anywhere before its last byte, no file loads.
    for (const std::string& whole : {good, palette, core})
        for (std::size_t n = 0; n < whole.size(); ++n) {
            Bitmap b;
            EXPECT_FALSE(b.loadFromBytes(std::string_view(whole).substr(0, n))) << n;
        }
}

TEST(BitmapCreate, FillsWithTheNearestTableColour) {
    struct Case {
        Colour fill;
        Colour expected;
    };
    for (const auto [fill, expected] :
         {Case{0, kBlack}, Case{rgb(100, 100, 100), kBlack}, Case{rgb(130, 130, 130), kWhite},
          Case{kWhite, kWhite}, Case{rgb(255, 0, 0), kBlack}, Case{rgb(255, 255, 0), kWhite}}) {
        const Bitmap b = Bitmap::create(9, 2, 1, fill);
        EXPECT_EQ(b.pixel(0, 0), expected) << std::hex << fill;
        EXPECT_EQ(b.pixel(8, 1), expected) << std::hex << fill;
    }
    EXPECT_TRUE(Bitmap::create(-1, 5, 1, 0).empty());
    EXPECT_TRUE(Bitmap::create(5, 5, 3, 0).empty());
    EXPECT_FALSE(Bitmap::create(0, 0, 1, 0).empty());
}

// The picture handed to the picture box: exact header fields, black-then-white
// table, rows bottom-up and padded to four bytes.
TEST(BitmapFileImage, OneBitLayout) {
    Bitmap b = Bitmap::create(3, 2, 1, kWhite);
    b.setPixel(0, 0, kBlack);
    b.setPixel(2, 1, rgb(10, 10, 10));
    const std::string image = b.fileImage();
    auto le = [&image](std::size_t at, int n) {
        std::uint32_t v = 0;
        for (int i = n; i-- > 0;)
            v = v << 8 | static_cast<std::uint8_t>(image[at + static_cast<std::size_t>(i)]);
        return v;
    };
    ASSERT_EQ(image.size(), 70u);
    EXPECT_EQ(image.substr(0, 2), "BM");
    EXPECT_EQ(le(2, 4), 70u);
    EXPECT_EQ(le(6, 4), 0u);
    EXPECT_EQ(le(10, 4), 62u);
    EXPECT_EQ(le(14, 4), 40u);
    EXPECT_EQ(le(18, 4), 3u);
    EXPECT_EQ(le(22, 4), 2u);
    EXPECT_EQ(le(26, 2), 1u);
    EXPECT_EQ(le(28, 2), 1u);
    EXPECT_EQ(le(30, 4), 0u);
    EXPECT_EQ(image.substr(54, 8), std::string("\0\0\0\0\xFF\xFF\xFF\0", 8));
    EXPECT_EQ(image.substr(62, 4), std::string("\xC0\0\0\0", 4));  // bottom row: x = 2 black
    EXPECT_EQ(image.substr(66, 4), std::string("\x60\0\0\0", 4));  // top row: x = 0 black

    const std::string none = Bitmap::create(0, 0, 1, kBlack).fileImage();
    EXPECT_EQ(none.size(), 62u);
    Bitmap back;
    EXPECT_TRUE(back.loadFromBytes(none));
    EXPECT_EQ(back.width(), 0);
}

TEST(BitmapCopy, IntoOneBitEachColourBecomesTheNearerOfBlackAndWhite) {
    Bitmap source = Bitmap::create(4, 1, 24, kWhite);
    source.setPixel(0, 0, rgb(100, 100, 100));
    source.setPixel(1, 0, rgb(130, 130, 130));
    source.setPixel(2, 0, rgb(0, 0, 1));
    Bitmap target = Bitmap::create(6, 2, 1, kWhite);
    copy(source, 0, 0, 5, 1, target, 1, 1);  // the fifth column lies outside the source
    EXPECT_EQ(target.pixel(1, 1), kBlack);
    EXPECT_EQ(target.pixel(2, 1), kWhite);
    EXPECT_EQ(target.pixel(3, 1), kBlack);
    EXPECT_EQ(target.pixel(4, 1), kWhite);
    EXPECT_EQ(target.pixel(5, 1), kBlack);  // outside reads 0
    EXPECT_EQ(target.pixel(0, 1), kWhite);
    EXPECT_EQ(target.pixel(1, 0), kWhite);

    copy(source, 0, 0, INT_MAX, INT_MAX, target, INT_MIN, INT_MAX);  // nothing lands
    EXPECT_EQ(target.pixel(0, 0), kWhite);
}

}  // namespace
}  // namespace tarvelle::qr
