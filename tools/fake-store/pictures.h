// PNG pictures the store serves: QR codes of a text and the maker's banner.
#pragma once

#include <string>

namespace fakestore {

struct QrStyle {
    std::string bg, fg, pt, inpt;  // colours as RRGGBB hexadecimal text, as sent
    int size = 200;                // picture width and height in pixels ("w")
    int margin = 10;               // quiet zone in pixels ("m")
    int level = 2;                 // error correction 0-3 = L, M, Q, H ("el")
};

// The QR code of text as PNG bytes; empty when the text cannot be encoded.
std::string QrPng(const std::string& text, const QrStyle& style);
// A small PNG whose header claims side x side RGBA pixels (a few rows of data
// follow): a picture whose decoding must be refused by an allocation limit.
std::string PngBomb(int side);
// The 888 x 95 banner as PNG bytes. Needs a QGuiApplication for its lettering.
std::string BannerPng();

}  // namespace fakestore
