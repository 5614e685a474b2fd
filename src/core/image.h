// Re-encoding a picture held in memory into another format, written to a file.
#pragma once

#include "core/text.h"

namespace velmora {

// Picture formats for ConvertImage.
enum ImageFormat : int {
    kImageBmp = 1,
    kImageJpeg = 2,
    kImageGif = 3,   // no GIF encoder is available: written as PNG
    kImageTiff = 4,  // no TIFF encoder is available: written as PNG
    kImagePng = 5,
};

// Decodes `picture` (any format QtGui reads, at most 64 MiB of pixels) and
// encodes it in `imageFormat`. When TrimSpaces(path) is not empty the result
// replaces the file at `path` (code page 936 text) atomically. Returns true
// when a picture was encoded and, if a path was given, written. Fewer than 3
// bytes or an undecodable picture give false and leave the file untouched.
bool ConvertImage(const Bytes& picture, int imageFormat, const Text& path);

// The same conversion into memory; empty when the picture cannot be decoded.
Bytes EncodeImage(const Bytes& picture, int imageFormat);

}  // namespace velmora
