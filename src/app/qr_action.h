#pragma once

#include <QPixmap>
#include <QSize>

#include "text/text.h"

namespace tarvelle::app {

// 按钮二维码 clicked: the address bar's text as a QR code in 图片框1, which
// takes the browser's place. An empty address bar only gets a message.
void ShowAddressQrCode();

// 图片框1 pressed with the left button: the browser comes back; the picture
// stays in the box for next time.
void HideAddressQrCode();

// A BMP file image as the picture box shows it: unchanged when it fits the
// box, else shrunk to fit keeping its proportions. Null when the bytes hold
// no picture (a 0 × 0 symbol, or nothing at all).
QPixmap QrPictureForBox(const text::Bytes& image, QSize box);

}  // namespace tarvelle::app
