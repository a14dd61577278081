#include "qr/qr_library.h"

#include <qrencode.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>

#include "qr/files.h"
#include "text/codepage.h"

namespace tarvelle::qr {

namespace {

constexpr int kMaxSide = 4096;

QrSettings& settings() {
    static QrSettings s;
    return s;
}

struct CodeDeleter {
    void operator()(QRcode* code) const { QRcode_free(code); }
};
using Code = std::unique_ptr<QRcode, CodeDeleter>;

Code encode(std::string_view message, int version, int level) {
    static constexpr QRecLevel kLevels[] = {QR_ECLEVEL_L, QR_ECLEVEL_M, QR_ECLEVEL_Q, QR_ECLEVEL_H};
    return Code(QRcode_encodeData(static_cast<int>(message.size()),
                                  reinterpret_cast<const unsigned char*>(message.data()), version,
                                  kLevels[level]));
}

// The light border in pixels and the symbol's side for a picture of `side`.
struct Layout {
    std::int64_t symbol = 0;
    std::int64_t moduleSize = 0;  // 0 when modules are stretched
};

std::optional<Layout> layoutFor(const QrSettings& s, std::int64_t side, std::int64_t modules) {
    double share = std::isfinite(s.margin) ? std::clamp(s.margin, 0.0, 0.5) : 0.0;
    const std::int64_t border = std::max<std::int64_t>(1, std::llround(share * double(side)));
    const std::int64_t quiet = std::clamp(s.quietZone, 0, 1000);
    if (s.wholeModules != 0) {
        for (std::int64_t size = side / modules; size >= 1; --size) {
            const std::int64_t edge = std::max(border, quiet * size);
            if (modules * size + 2 * edge <= side) return Layout{modules * size, size};
        }
        return std::nullopt;
    }
    const std::int64_t symbol = std::min(side - 2 * border, side * modules / (modules + 2 * quiet));
    if (symbol < modules) return std::nullopt;
    return Layout{symbol, 0};
}

}  // namespace

std::optional<QrSymbol> encodeSymbol(std::string_view message, int version, int level) {
    if (message.empty() || message.size() > INT_MAX) return std::nullopt;
    version = std::clamp(version, 0, 40);
    level = std::clamp(level, 0, 4);
    Code code;
    int used = level;
    if (level < 4) {
        code = encode(message, version, level);
    } else {
        code = encode(message, version, 0);
        used = 0;
        if (!code) return std::nullopt;
        const int smallest = code->version;
        for (int higher = 3; higher > 0; --higher) {
            Code better = encode(message, smallest, higher);
            if (better && better->version == smallest) {
                code = std::move(better);
                used = higher;
                break;
            }
        }
    }
    if (!code) return std::nullopt;

    QrSymbol symbol;
    symbol.version = code->version;
    symbol.level = used;
    symbol.modules = code->width;
    const auto count =
        static_cast<std::size_t>(code->width) * static_cast<std::size_t>(code->width);
    symbol.dark.resize(count);
    for (std::size_t i = 0; i < count; ++i) symbol.dark[i] = code->data[i] & 1u;
    return symbol;
}

Bitmap drawQrSymbol(const QrSettings& s) {
    if (s.width < 1 || s.height < 1 || s.width > kMaxSide || s.height > kMaxSide) return {};
    const int bits = s.bitsPerPixel == 0 ? 1 : s.bitsPerPixel;
    const auto symbol = encodeSymbol(s.message, s.version, s.level);
    if (!symbol) return {};
    const std::int64_t n = symbol->modules;
    const auto layout = layoutFor(s, std::min(s.width, s.height), n);
    if (!layout) return {};

    Bitmap picture =
        Bitmap::create(s.width, s.height, bits, s.back,
                       bits <= 8 ? std::vector<Colour>{s.back, s.bar} : std::vector<Colour>{});
    if (picture.empty()) return {};
    const std::int64_t left = (s.width - layout->symbol) / 2;
    const std::int64_t top = (s.height - layout->symbol) / 2;
    auto edge = [&](std::int64_t k) {
        return layout->moduleSize != 0 ? k * layout->moduleSize : k * layout->symbol / n;
    };
    for (int my = 0; my < symbol->modules; ++my)
        for (int mx = 0; mx < symbol->modules; ++mx) {
            if (!symbol->isDark(mx, my)) continue;
            for (std::int64_t y = top + edge(my); y < top + edge(my + 1); ++y)
                for (std::int64_t x = left + edge(mx); x < left + edge(mx + 1); ++x)
                    picture.setPixel(static_cast<int>(x), static_cast<int>(y), s.bar);
        }
    return picture;
}

int QRSetMessage(const char* message) {
    settings().message = message ? message : "";
    return 1;
}

int QRSetBackColor(int red, int green, int blue) {
    settings().back = rgb(red, green, blue);
    return 1;
}

int QRSetBarColor(int red, int green, int blue) {
    settings().bar = rgb(red, green, blue);
    return 1;
}

int QRConfigure(int version, int level, int quietZone) {
    settings().version = std::clamp(version, 0, 40);
    settings().level = std::clamp(level, 0, 4);
    settings().quietZone = std::max(quietZone, 0);
    return 1;
}

int QRAppearance(double margin, int wholeModules, int bitsPerPixel) {
    settings().margin = margin;
    settings().wholeModules = wholeModules;
    settings().bitsPerPixel = bitsPerPixel;
    return 1;
}

int QRSetSize(int width, int height) {
    settings().width = width;
    settings().height = height;
    return width >= 1 && height >= 1 && width <= kMaxSide && height <= kMaxSide ? 1 : 0;
}

int QRSaveAsBMP(const char* path) {
    if (!path) return 0;
    const std::filesystem::path file(text::GbkToUtf8(text::Text(path)));
    const text::Bytes image = drawQrSymbol(settings()).fileImage();
    bool written = false;
    if (!image.empty()) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(image.data(), static_cast<std::streamsize>(image.size()));
        out.close();
        written = static_cast<bool>(out);
    }
    if (!written) deleteFile(file);
    return written ? 1 : 0;
}

}  // namespace tarvelle::qr
