#pragma once

// Writes BMP files for the tests by hand, independently of the loader, with
// every header field under the test's control.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "qr/bitmap.h"

namespace tarvelle::qr::testing {

struct BmpLayout {
    BmpLayout(int w, int h, int b, bool core = false)
        : width(w), height(h), bits(b), coreHeader(core) {}
    BmpLayout& withTable(std::vector<Colour> t) {
        table = std::move(t);
        return *this;
    }
    BmpLayout& withPixelOffset(std::int64_t offset) {
        pixelOffset = offset;
        return *this;
    }

    int width = 0;
    int height = 0;  // negative: rows stored top-down
    int bits = 24;
    bool coreHeader = false;  // 12-byte header instead of the 40-byte one
    std::vector<Colour> table;
    std::uint32_t compression = 0;
    std::int64_t coloursUsed = -1;  // -1: the table's size
    std::int64_t pixelOffset = -1;  // -1: right after the table
    int planes = 1;
};

inline void putLe(std::string& out, std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// `value(x, y)` gives, for (x, y) counted from the top-left, the table index
// for 1, 4 and 8 bits and the colour otherwise (5-5-5 for 16 bits).
inline std::string makeBmp(const BmpLayout& s,
                           const std::function<std::uint32_t(int, int)>& value) {
    const int rows = s.height < 0 ? -s.height : s.height;
    const std::size_t stride =
        (static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.bits) + 31) / 32 * 4;
    std::string pixels;
    for (int r = 0; r < rows; ++r) {
        const int y = s.height < 0 ? r : rows - 1 - r;
        std::string row(stride, '\0');
        for (int x = 0; x < s.width; ++x) {
            const std::uint32_t v = value(x, y);
            const auto ux = static_cast<std::size_t>(x);
            auto at = [&row](std::size_t i) -> char& { return row[i]; };
            switch (s.bits) {
                case 1:
                    at(ux / 8) = static_cast<char>(static_cast<std::uint32_t>(at(ux / 8)) |
                                                   (v & 1) << (7 - ux % 8));
                    break;
                case 4:
                    at(ux / 2) = static_cast<char>(static_cast<std::uint32_t>(at(ux / 2)) |
                                                   (v & 15) << (ux % 2 ? 0 : 4));
                    break;
                case 8:
                    at(ux) = static_cast<char>(v);
                    break;
                case 16: {
                    const std::uint32_t p =
                        (v >> 3 & 31) << 10 | (v >> 11 & 31) << 5 | (v >> 19 & 31);
                    at(2 * ux) = static_cast<char>(p & 0xFF);
                    at(2 * ux + 1) = static_cast<char>(p >> 8);
                    break;
                }
                default: {
                    const std::size_t n = static_cast<std::size_t>(s.bits / 8);
                    at(n * ux) = static_cast<char>(v >> 16);
                    at(n * ux + 1) = static_cast<char>(v >> 8);
                    at(n * ux + 2) = static_cast<char>(v);
                }
            }
        }
        pixels += row;
    }

    std::string info;
    if (s.coreHeader) {
        putLe(info, 12, 4);
        putLe(info, static_cast<std::uint32_t>(s.width), 2);
        putLe(info, static_cast<std::uint32_t>(s.height), 2);
        putLe(info, static_cast<std::uint32_t>(s.planes), 2);
        putLe(info, static_cast<std::uint32_t>(s.bits), 2);
    } else {
        putLe(info, 40, 4);
        putLe(info, static_cast<std::uint32_t>(s.width), 4);
        putLe(info, static_cast<std::uint32_t>(s.height), 4);
        putLe(info, static_cast<std::uint32_t>(s.planes), 2);
        putLe(info, static_cast<std::uint32_t>(s.bits), 2);
        putLe(info, s.compression, 4);
        putLe(info, pixels.size(), 4);
        putLe(info, 2835, 4);
        putLe(info, 2835, 4);
        putLe(info,
              static_cast<std::uint64_t>(s.coloursUsed < 0 ? std::int64_t(s.table.size())
                                                           : s.coloursUsed),
              4);
        putLe(info, 0, 4);
    }
    for (Colour c : s.table) {
        info.push_back(static_cast<char>(c >> 16));
        info.push_back(static_cast<char>(c >> 8));
        info.push_back(static_cast<char>(c));
        if (!s.coreHeader) info.push_back('\0');
    }
    const std::uint64_t offset =
        s.pixelOffset < 0 ? 14 + info.size() : static_cast<std::uint64_t>(s.pixelOffset);
    std::string file = "BM";
    putLe(file, 14 + info.size() + pixels.size(), 4);
    putLe(file, 0, 4);
    putLe(file, offset, 4);
    return file + info + pixels;
}

// Overwrites `n` little-endian bytes at `at`.
inline std::string patched(std::string file, std::size_t at, std::uint64_t v, int n) {
    std::string bytes;
    putLe(bytes, v, n);
    file.replace(at, static_cast<std::size_t>(n), bytes);
    return file;
}

inline void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A fresh, empty directory that disappears with the object.
class TempDir {
public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tarvelle-qr-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    bool isEmpty() const { return std::filesystem::is_empty(path_); }

private:
    std::filesystem::path path_;
};

}  // namespace tarvelle::qr::testing
