// A QR code drawn locally, for when the QR service gives no picture.
#pragma once

#include <cstdint>

#include "core/text.h"

namespace velmora {

// Draws `payload` (its bytes, 8-bit mode, error correction level M) as a QR
// code on a 200 x 200 picture with at least 10 pixels of margin and returns
// it as PNG bytes; empty when the payload is empty or too long for a QR code.
// Colours are 0xRRGGBB (the bits above 24 are ignored). When the two colours
// are equal the modules are drawn in black (white on a dark background), so
// the code stays readable.
Bytes RenderQrPicture(const Text& payload, int32_t foreground, int32_t background);

}  // namespace velmora
