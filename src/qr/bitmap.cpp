#include "qr/bitmap.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "text/codepage.h"

namespace tarvelle::qr {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kCoreHeaderSize = 12;
// Far beyond any bitmap the tool makes; keeps a stray path from filling memory.
constexpr std::uintmax_t kMaxFileSize = 128u << 20;
constexpr std::uint64_t kMaxPixelBytes = 256u << 20;

bool knownDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

std::uint64_t strideFor(std::uint64_t width, std::uint64_t bits) {
    return (width * bits + 31) / 32 * 4;
}

int channel(Colour c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

long distance(Colour a, Colour b) {
    long d = 0;
    for (int shift : {0, 8, 16}) {
        const long diff = channel(a, shift) - channel(b, shift);
        d += diff * diff;
    }
    return d;
}

// Little-endian reads that refuse to pass the end of the file.
class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    std::optional<std::uint32_t> u16(std::size_t at) const { return le(at, 2); }
    std::optional<std::uint32_t> u32(std::size_t at) const { return le(at, 4); }
    std::optional<std::int32_t> i32(std::size_t at) const {
        auto v = le(at, 4);
        if (!v) return std::nullopt;
        return static_cast<std::int32_t>(*v);
    }
    std::uint8_t byte(std::size_t at) const { return static_cast<std::uint8_t>(bytes_[at]); }
    std::size_t size() const { return bytes_.size(); }

private:
    std::optional<std::uint32_t> le(std::size_t at, std::size_t n) const {
        if (at > bytes_.size() || n > bytes_.size() - at) return std::nullopt;
        std::uint32_t v = 0;
        for (std::size_t i = n; i-- > 0;) v = v << 8 | byte(at + i);
        return v;
    }

    std::string_view bytes_;
};

void putLe(text::Bytes& out, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

Bitmap Bitmap::create(int width, int height, int bitsPerPixel, Colour fill,
                      std::vector<Colour> colourTable) {
    if (width < 0 || height < 0 || !knownDepth(bitsPerPixel)) return {};
    const auto stride =
        strideFor(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(bitsPerPixel));
    if (stride * static_cast<std::uint64_t>(height) > kMaxPixelBytes) return {};

    Bitmap b;
    b.width_ = width;
    b.height_ = height;
    b.bitsPerPixel_ = bitsPerPixel;
    b.stride_ = static_cast<std::size_t>(stride);
    if (bitsPerPixel <= 8) {
        b.table_ =
            colourTable.empty() ? std::vector<Colour>{kBlack, kWhite} : std::move(colourTable);
        if (b.table_.size() > (std::size_t{1} << bitsPerPixel)) return {};
    }
    b.rows_.assign(b.stride_ * static_cast<std::size_t>(height), 0);
    if (width == 0 || height == 0) return b;

    // Paint the first row, then repeat it.
    for (int x = 0; x < width; ++x) b.setPixel(x, 0, fill);
    for (int y = 1; y < height; ++y)
        std::memcpy(b.rows_.data() + b.stride_ * static_cast<std::size_t>(y), b.rows_.data(),
                    b.stride_);
    return b;
}

bool Bitmap::load(const text::Text& path) {
    const std::filesystem::path file(text::GbkToUtf8(path));
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return false;
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec || size > kMaxFileSize) {
        *this = Bitmap();
        return false;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        *this = Bitmap();
        return false;
    }
    return loadFromBytes(bytes);
}

bool Bitmap::loadFromBytes(std::string_view file) {
    *this = Bitmap();
    const Reader r(file);
    if (r.size() < kFileHeaderSize || file[0] != 'B' || file[1] != 'M') return false;
    const auto pixelOffset = r.u32(10);
    const auto headerSize = r.u32(14);
    if (!pixelOffset || !headerSize) return false;

    std::int64_t width = 0;
    std::int64_t height = 0;
    std::optional<std::uint32_t> planes, bits;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    std::size_t entrySize = 0;
    if (*headerSize == kInfoHeaderSize) {
        const auto w = r.i32(18), h = r.i32(22);
        const auto comp = r.u32(30), used = r.u32(46);
        planes = r.u16(26);
        bits = r.u16(28);
        if (!w || !h || !comp || !used || !planes || !bits) return false;
        width = *w;
        height = *h;
        compression = *comp;
        coloursUsed = *used;
        entrySize = 4;
    } else if (*headerSize == kCoreHeaderSize) {
        const auto w = r.u16(18), h = r.u16(20);
        planes = r.u16(22);
        bits = r.u16(24);
        if (!w || !h || !planes || !bits) return false;
        width = *w;
        height = *h;
        entrySize = 3;
    } else {
        return false;
    }
    if (*planes != 1 || !knownDepth(static_cast<int>(*bits)) || compression != 0) return false;
    // A negative height marks rows stored top-down.
    const bool topDown = height < 0;
    const std::int64_t rowCount = topDown ? -height : height;
    if (width < 0 || rowCount > INT_MAX) return false;

    std::size_t entries = 0;
    if (*bits <= 8) {
        const std::size_t full = std::size_t{1} << *bits;
        if (coloursUsed > full) return false;
        entries = coloursUsed == 0 ? full : coloursUsed;
    }
    const std::size_t tableStart = kFileHeaderSize + *headerSize;
    const std::size_t tableEnd = tableStart + entries * entrySize;
    if (tableEnd > r.size()) return false;
    const std::size_t pixelStart = *pixelOffset == 0 ? tableEnd : *pixelOffset;
    if (pixelStart < tableEnd || pixelStart > r.size()) return false;

    const std::uint64_t stride = strideFor(static_cast<std::uint64_t>(width), *bits);
    const std::uint64_t available = r.size() - pixelStart;
    const auto rows = static_cast<std::uint64_t>(rowCount);
    if (rows != 0 && stride > available / rows) return false;

    Bitmap b;
    b.width_ = static_cast<int>(width);
    b.height_ = static_cast<int>(rowCount);
    b.bitsPerPixel_ = static_cast<int>(*bits);
    b.stride_ = static_cast<std::size_t>(stride);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t at = tableStart + i * entrySize;
        b.table_.push_back(rgb(r.byte(at + 2), r.byte(at + 1), r.byte(at)));
    }
    b.rows_.resize(b.stride_ * rows);
    for (std::uint64_t y = 0; y < rows && b.stride_ != 0; ++y) {
        const std::uint64_t fileRow = topDown ? y : rows - 1 - y;
        std::memcpy(b.rows_.data() + y * b.stride_, file.data() + pixelStart + fileRow * stride,
                    b.stride_);
    }
    *this = std::move(b);
    return true;
}

Colour Bitmap::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    const std::uint8_t* row = rows_.data() + stride_ * static_cast<std::size_t>(y);
    const auto ux = static_cast<std::size_t>(x);
    auto entry = [this](std::size_t i) { return i < table_.size() ? table_[i] : Colour{0}; };
    switch (bitsPerPixel_) {
        case 1:
            return entry((row[ux / 8] >> (7 - ux % 8)) & 1u);
        case 4:
            return entry((row[ux / 2] >> (ux % 2 ? 0 : 4)) & 0xFu);
        case 8:
            return entry(row[ux]);
        case 16: {
            const unsigned v = row[2 * ux] | static_cast<unsigned>(row[2 * ux + 1]) << 8;
            auto expand = [](unsigned five) { return static_cast<int>(five << 3 | five >> 2); };
            return rgb(expand(v >> 10 & 31), expand(v >> 5 & 31), expand(v & 31));
        }
        case 24:
            return rgb(row[3 * ux + 2], row[3 * ux + 1], row[3 * ux]);
        case 32:
            return rgb(row[4 * ux + 2], row[4 * ux + 1], row[4 * ux]);
        default:
            return 0;
    }
}

std::size_t Bitmap::nearestEntry(Colour colour) const {
    std::size_t best = 0;
    for (std::size_t i = 1; i < table_.size(); ++i)
        if (distance(colour, table_[i]) < distance(colour, table_[best])) best = i;
    return best;
}

void Bitmap::setEntry(std::size_t x, std::size_t y, std::size_t index) {
    std::uint8_t* row = rows_.data() + stride_ * y;
    switch (bitsPerPixel_) {
        case 1: {
            const auto mask = static_cast<std::uint8_t>(0x80u >> (x % 8));
            if (index != 0)
                row[x / 8] |= mask;
            else
                row[x / 8] &= static_cast<std::uint8_t>(~mask);
            break;
        }
        case 4: {
            std::uint8_t& b = row[x / 2];
            b = x % 2 ? static_cast<std::uint8_t>((b & 0xF0) | index)
                      : static_cast<std::uint8_t>((b & 0x0F) | index << 4);
            break;
        }
        case 8:
            row[x] = static_cast<std::uint8_t>(index);
            break;
        default:
            break;
    }
}

void Bitmap::setPixel(int x, int y, Colour colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    const auto ux = static_cast<std::size_t>(x);
    if (bitsPerPixel_ <= 8) {
        setEntry(ux, static_cast<std::size_t>(y), nearestEntry(colour));
        return;
    }
    std::uint8_t* row = rows_.data() + stride_ * static_cast<std::size_t>(y);
    auto byteOf = [](Colour c, int shift) {
        return static_cast<std::uint8_t>((c >> shift) & 0xFF);
    };
    switch (bitsPerPixel_) {
        case 16: {
            const unsigned v =
                (colour >> 3 & 31u) << 10 | (colour >> 11 & 31u) << 5 | (colour >> 19 & 31u);
            row[2 * ux] = static_cast<std::uint8_t>(v & 0xFF);
            row[2 * ux + 1] = static_cast<std::uint8_t>(v >> 8);
            break;
        }
        case 24:
            row[3 * ux] = byteOf(colour, 16);
            row[3 * ux + 1] = byteOf(colour, 8);
            row[3 * ux + 2] = byteOf(colour, 0);
            break;
        case 32:
            row[4 * ux] = byteOf(colour, 16);
            row[4 * ux + 1] = byteOf(colour, 8);
            row[4 * ux + 2] = byteOf(colour, 0);
            row[4 * ux + 3] = 0;
            break;
        default:
            break;
    }
}

text::Bytes Bitmap::fileImage() const {
    if (empty()) return {};
    const std::size_t full = bitsPerPixel_ <= 8 ? std::size_t{1} << bitsPerPixel_ : 0;
    const auto tableBytes = static_cast<std::uint32_t>(table_.size() * 4);
    const std::uint32_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + tableBytes;
    const auto imageSize = static_cast<std::uint32_t>(rows_.size());

    text::Bytes out;
    out.reserve(pixelOffset + imageSize);
    out += "BM";
    putLe(out, pixelOffset + imageSize, 4);
    putLe(out, 0, 4);
    putLe(out, pixelOffset, 4);
    putLe(out, kInfoHeaderSize, 4);
    putLe(out, static_cast<std::uint32_t>(width_), 4);
    putLe(out, static_cast<std::uint32_t>(height_), 4);
    putLe(out, 1, 2);
    putLe(out, static_cast<std::uint32_t>(bitsPerPixel_), 2);
    putLe(out, 0, 4);  // uncompressed
    putLe(out, imageSize, 4);
    putLe(out, 3780, 4);  // 96 dots per inch
    putLe(out, 3780, 4);
    putLe(out, table_.size() == full ? 0 : static_cast<std::uint32_t>(table_.size()), 4);
    putLe(out, 0, 4);
    for (Colour c : table_) {
        out.push_back(static_cast<char>(channel(c, 16)));
        out.push_back(static_cast<char>(channel(c, 8)));
        out.push_back(static_cast<char>(channel(c, 0)));
        out.push_back('\0');
    }
    for (int y = stride_ == 0 ? 0 : height_; y-- > 0;)
        out.append(
            reinterpret_cast<const char*>(rows_.data()) + stride_ * static_cast<std::size_t>(y),
            stride_);
    return out;
}

void copy(const Bitmap& source, int x, int y, int width, int height, Bitmap& target, int dx,
          int dy) {
    // Only the part that lands inside the target; 64-bit so that no offset overflows.
    using I = std::int64_t;
    const I iFirst = std::max<I>(0, -I{dx}), iEnd = std::min<I>(width, I{target.width()} - dx);
    const I jFirst = std::max<I>(0, -I{dy}), jEnd = std::min<I>(height, I{target.height()} - dy);
    auto sourcePixel = [&source](I sx, I sy) {
        if (sx < 0 || sy < 0 || sx >= source.width() || sy >= source.height()) return Colour{0};
        return source.pixel(static_cast<int>(sx), static_cast<int>(sy));
    };
    if (target.empty() || target.bitsPerPixel_ > 8) {
        for (I j = jFirst; j < jEnd; ++j)
            for (I i = iFirst; i < iEnd; ++i)
                target.setPixel(static_cast<int>(dx + i), static_cast<int>(dy + j),
                                sourcePixel(x + i, y + j));
        return;
    }
    // Pictures hold few colours: look up the nearest entry once per run of one colour.
    Colour last = sourcePixel(x + iFirst, y + jFirst);
    std::size_t entry = target.nearestEntry(last);
    for (I j = jFirst; j < jEnd; ++j)
        for (I i = iFirst; i < iEnd; ++i) {
            const Colour c = sourcePixel(x + i, y + j);
            if (c != last) last = c, entry = target.nearestEntry(c);
            target.setEntry(static_cast<std::size_t>(dx + i), static_cast<std::size_t>(dy + j),
                            entry);
        }
}

}  // namespace tarvelle::qr
