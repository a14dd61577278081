#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "qr/bitmap.h"

namespace tarvelle::qr {

// The QR drawing library the address QR code is made with, on libqrencode.
// Its seven calls keep the names and arguments the tool calls them by and
// share one set of process-wide settings; they are meant for the GUI thread.
// Each returns 1 on success and 0 on failure.
//
// What the arguments select:
//   QRSetMessage(text)        the bytes to encode, up to the NUL, in 8-bit mode
//                             (no character set is assumed or added).
//   QRSetBackColor(r, g, b)   the light colour: margin and light modules.
//   QRSetBarColor(r, g, b)    the colour of the dark modules.
//   QRConfigure(version, level, quietZone)
//       version    0: the smallest symbol that holds the message; 1-40: at
//                  least that version, larger when the message needs it.
//       level      error correction 0 L (7 %), 1 M (15 %), 2 Q (25 %),
//                  3 H (30 %); 4: the smallest symbol that holds the message
//                  at L, then the highest level that still fits in it.
//       quietZone  the light border, in modules, that the symbol keeps at least.
//   QRAppearance(margin, wholeModules, bitsPerPixel)
//       margin        the light border on each side as a share of the
//                     picture's shorter side (0.18 of 400 is 72 pixels); the
//                     border is the larger of this and the quiet zone, and at
//                     least one pixel.
//       wholeModules  1: every module is a square of the same whole number of
//                     pixels, the largest that fits; 0: the symbol fills the
//                     space inside the border, modules differing by a pixel.
//       bitsPerPixel  of the file: 0 or 1 (one bit), 4, 8, 16, 24 or 32.
//   QRSetSize(width, height)  the picture in pixels, 1 to 4096 each; the
//                             symbol is square and centred.
//   QRSaveAsBMP(path)         draws and writes an uncompressed BMP file at the
//                             path (a 936 text). When the message is empty or
//                             cannot be encoded, or the symbol does not fit,
//                             nothing is written and a file already at the
//                             path is removed, so no earlier picture is
//                             taken for this one.
int QRSetMessage(const char* message);
int QRSetBackColor(int red, int green, int blue);
int QRSetBarColor(int red, int green, int blue);
int QRConfigure(int version, int level, int quietZone);
int QRAppearance(double margin, int wholeModules, int bitsPerPixel);
int QRSetSize(int width, int height);
int QRSaveAsBMP(const char* path);

// An encoded symbol: `modules` × `modules`, row by row, 1 for dark.
struct QrSymbol {
    int version = 0;
    int level = 0;  // 0 L, 1 M, 2 Q, 3 H
    int modules = 0;
    std::vector<std::uint8_t> dark;

    bool isDark(int x, int y) const {
        return dark[static_cast<std::size_t>(y) * static_cast<std::size_t>(modules) +
                    static_cast<std::size_t>(x)] != 0;
    }
};

// `version` and `level` as QRConfigure reads them; nothing for an empty
// message or one that no symbol holds.
std::optional<QrSymbol> encodeSymbol(std::string_view message, int version, int level);

struct QrSettings {
    std::string message;
    Colour back = kWhite;
    Colour bar = kBlack;
    int version = 0;
    int level = 0;
    int quietZone = 4;
    double margin = 0.02;
    int wholeModules = 1;
    int bitsPerPixel = 0;
    int width = 400;
    int height = 400;
};

// The picture QRSaveAsBMP writes for `settings`; empty when there is none.
Bitmap drawQrSymbol(const QrSettings& settings);

}  // namespace tarvelle::qr
