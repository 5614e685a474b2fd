#include "pictures.h"

#include <qrencode.h>

#include <QBuffer>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cstdint>

namespace fakestore {
namespace {

// "FFFFFF" -> white; unreadable text gives the fallback.
QColor ColorOf(const std::string& hex, QColor fallback) {
    if (hex.empty() || hex.size() > 8) return fallback;
    bool ok = false;
    unsigned value = QString::fromStdString(hex).toUInt(&ok, 16);
    if (!ok) return fallback;
    return QColor((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

std::string PngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// Whether module (x, y) lies in one of the three 7 x 7 position markers, and
// whether in its 3 x 3 centre.
bool InMarker(int x, int y, int width, bool& centre) {
    const int corners[3][2] = {{0, 0}, {width - 7, 0}, {0, width - 7}};
    for (const auto& c : corners) {
        int dx = x - c[0], dy = y - c[1];
        if (dx >= 0 && dx < 7 && dy >= 0 && dy < 7) {
            centre = dx >= 2 && dx <= 4 && dy >= 2 && dy <= 4;
            return true;
        }
    }
    return false;
}

std::uint32_t Crc32(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string BigEndian32(std::uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
            static_cast<char>(v)};
}

std::string PngChunk(const std::string& type, const std::string& data) {
    return BigEndian32(static_cast<std::uint32_t>(data.size())) + type + data +
           BigEndian32(Crc32(type + data));
}

}  // namespace

std::string PngBomb(int side) {
    side = std::clamp(side, 1, 1 << 30);
    std::string header = BigEndian32(static_cast<std::uint32_t>(side)) +
                         BigEndian32(static_cast<std::uint32_t>(side)) +
                         std::string("\x08\x06\x00\x00\x00", 5);  // 8-bit RGBA
    // A few rows of zeros; qCompress gives a zlib stream after its 4-byte length.
    const std::size_t rowBytes = 1 + static_cast<std::size_t>(std::min(side, 1 << 16)) * 4;
    const QByteArray rows(static_cast<qsizetype>(rowBytes * 8), '\0');
    const QByteArray packed = qCompress(rows, 9).mid(4);
    return std::string("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", header) +
           PngChunk("IDAT", std::string(packed.constData(), static_cast<std::size_t>(packed.size()))) +
           PngChunk("IEND", "");
}

std::string QrPng(const std::string& text, const QrStyle& style) {
    const QRecLevel levels[4] = {QR_ECLEVEL_L, QR_ECLEVEL_M, QR_ECLEVEL_Q, QR_ECLEVEL_H};
    QRcode* code = QRcode_encodeData(static_cast<int>(text.size()),
                                     reinterpret_cast<const unsigned char*>(text.data()), 0,
                                     levels[std::clamp(style.level, 0, 3)]);
    if (!code) return {};

    const QColor bg = ColorOf(style.bg, Qt::white);
    QColor fg = ColorOf(style.fg, Qt::black);
    if (fg == bg) fg = Qt::black;  // an invisible code helps nobody
    QColor pt = ColorOf(style.pt, fg), inpt = ColorOf(style.inpt, fg);
    if (pt == bg) pt = fg;
    if (inpt == bg) inpt = fg;

    const int width = code->width;
    const int margin = std::clamp(style.margin, 0, 100);
    const int module = std::max(1, (std::clamp(style.size, 50, 1000) - 2 * margin) / width);
    const int side = std::max(std::clamp(style.size, 50, 1000), width * module + 2 * margin);
    const int offset = (side - width * module) / 2;

    QImage image(side, side, QImage::Format_RGB32);
    image.fill(bg);
    QPainter painter(&image);
    for (int y = 0; y < width; ++y) {
        for (int x = 0; x < width; ++x) {
            if (!(code->data[y * width + x] & 1)) continue;
            bool centre = false;
            QColor colour = InMarker(x, y, width, centre) ? (centre ? inpt : pt) : fg;
            painter.fillRect(offset + x * module, offset + y * module, module, module, colour);
        }
    }
    painter.end();
    QRcode_free(code);
    return PngBytes(image);
}

std::string BannerPng() {
    QImage image(888, 95, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 888, 95);
    sky.setColorAt(0, QColor(0xC8, 0x16, 0x23));
    sky.setColorAt(1, QColor(0xF0, 0x5A, 0x28));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 40));
    painter.drawEllipse(QPoint(800, 20), 90, 90);
    painter.drawEllipse(QPoint(700, 110), 60, 60);

    QFont title("WenQuanYi Micro Hei");
    title.setPixelSize(34);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(28, 8, 700, 48), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromUtf8("Velmora 价格监控"));
    QFont line("WenQuanYi Micro Hei");
    line.setPixelSize(18);
    painter.setFont(line);
    painter.drawText(QRect(30, 54, 800, 32), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromUtf8("降价提醒 · 到货提醒 · 手机价与微信价一目了然"));
    painter.end();
    return PngBytes(image);
}

}  // namespace fakestore
