// Picture re-encoding with QtGui. QImageReader and QImageWriter work in a
// plain process, without a QGuiApplication.
#include "core/image.h"

#include <mutex>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include "core/atomic_file.h"
#include "core/codepage.h"

namespace velmora {
namespace {

// Pictures come from the network: the decoder refuses anything whose pixels
// would need more than this, so a hostile picture cannot exhaust memory.
constexpr int kAllocationLimitMiB = 64;

struct Encoder {
    const char* format;
    bool hasAlpha;
};

// GIF and TIFF have no encoder among Qt's image plugins here; PNG stands in
// for both, keeping the picture lossless.
Encoder EncoderFor(int imageFormat) {
    switch (imageFormat) {
        case kImageBmp: return {"bmp", false};
        case kImageJpeg: return {"jpeg", false};
        default: return {"png", true};
    }
}

// A format without transparency would show transparent pixels in whatever
// colour they hide (often black): put the picture on white instead.
QImage Flatten(const QImage& image) {
    if (!image.hasAlphaChannel()) return image;
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    painter.end();
    return flat;
}

}  // namespace

Bytes EncodeImage(const Bytes& picture, int imageFormat) {
    if (picture.size() < 3) return Bytes();
    static std::once_flag limitSet;
    std::call_once(limitSet, [] { QImageReader::setAllocationLimit(kAllocationLimitMiB); });

    QByteArray input = QByteArray::fromRawData(picture.data(), static_cast<qsizetype>(picture.size()));
    QBuffer inputBuffer(&input);
    inputBuffer.open(QIODevice::ReadOnly);
    QImageReader reader(&inputBuffer);
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull()) return Bytes();

    const Encoder encoder = EncoderFor(imageFormat);
    if (!encoder.hasAlpha) image = Flatten(image);
    QByteArray output;
    QBuffer outputBuffer(&output);
    outputBuffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&outputBuffer, encoder.format);
    if (!writer.write(image) || output.isEmpty()) return Bytes();
    return Bytes(output.constData(), static_cast<std::size_t>(output.size()));
}

bool ConvertImage(const Bytes& picture, int imageFormat, const Text& path) {
    if (picture.size() < 3) return false;
    const Bytes encoded = EncodeImage(picture, imageFormat);
    if (encoded.empty()) return false;
    if (TrimSpaces(path).empty()) return true;
    const std::string utf8 = Utf8FromCp936(path);
    return WriteFileAtomically(std::filesystem::path(reinterpret_cast<const char8_t*>(utf8.c_str())), encoded);
}

}  // namespace velmora
