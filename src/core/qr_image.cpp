// Local QR code drawing with libqrencode and QtGui.
#include "core/qr_image.h"

#include <memory>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <qrencode.h>

namespace velmora {
namespace {

constexpr int kPictureSize = 200;
constexpr int kMargin = 10;

QRgb ColourOf(int32_t rgb) { return qRgb((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// Equal colours would make the code invisible: black modules, or white ones
// on a dark background.
QRgb ReadableForeground(int32_t foreground, int32_t background) {
    const QRgb back = ColourOf(background);
    if ((foreground & 0xFFFFFF) != (background & 0xFFFFFF)) return ColourOf(foreground);
    return qGray(back) < 128 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
}

struct QrFree {
    void operator()(QRcode* code) const { QRcode_free(code); }
};

}  // namespace

Bytes RenderQrPicture(const Text& payload, int32_t foreground, int32_t background) {
    if (payload.empty()) return Bytes();
    std::unique_ptr<QRcode, QrFree> code(QRcode_encodeData(
        static_cast<int>(payload.size()), reinterpret_cast<const unsigned char*>(payload.data()), 0,
        QR_ECLEVEL_M));
    if (!code || code->width <= 0) return Bytes();

    const int modules = code->width;
    const int scale = (kPictureSize - 2 * kMargin) / modules;
    if (scale < 1) return Bytes();
    const int offset = (kPictureSize - modules * scale) / 2;  // centred, at least the margin

    QImage image(kPictureSize, kPictureSize, QImage::Format_RGB32);
    image.fill(ColourOf(background));
    const QRgb ink = ReadableForeground(foreground, background);
    for (int y = 0; y < modules; ++y) {
        for (int x = 0; x < modules; ++x) {
            if ((code->data[y * modules + x] & 1) == 0) continue;
            for (int dy = 0; dy < scale; ++dy) {
                auto* line = reinterpret_cast<QRgb*>(image.scanLine(offset + y * scale + dy));
                for (int dx = 0; dx < scale; ++dx) line[offset + x * scale + dx] = ink;
            }
        }
    }

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) return Bytes();
    return Bytes(png.constData(), static_cast<std::size_t>(png.size()));
}

}  // namespace velmora
