// Locally drawn QR codes, read back with a real decoder (zbarimg).
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>

#include <QImage>

#include "core/qr_image.h"
#include "temp_dir.h"

namespace velmora {
namespace {

using test::TempDir;
using test::WriteFile;

// What zbarimg reads from the picture; empty when it finds no code.
std::string ScanWithZbar(const Bytes& png) {
    TempDir dir;
    const auto file = dir / "code.png";
    WriteFile(file, png);
    const std::string command = "zbarimg --raw -q '" + file.string() + "' 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return {};
    std::string out;
    std::array<char, 4096> buffer{};
    for (std::size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0;)
        out.append(buffer.data(), n);
    if (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

QImage Decode(const Bytes& png) {
    return QImage::fromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()), "PNG");
}

TEST(RenderQrPicture, DecodesBackToThePayload) {
    const Text payloads[] = {
        "https://item.m.jd.com/product/100012043978.html",
        "https://wqitem.jd.com/item/view?sku=100012043978&price=1",
        "A",
        Text(600, 'x') + "end",
    };
    for (const Text& payload : payloads) {
        const Bytes png = RenderQrPicture(payload, 0x000000, 0xFFFFFF);
        ASSERT_EQ(png.substr(0, 4), "\x89PNG");
        EXPECT_EQ(Decode(png).size(), QSize(200, 200));
        EXPECT_EQ(ScanWithZbar(png), payload);
    }
}

TEST(RenderQrPicture, UsesTheColoursAndKeepsTheMargin) {
    const QImage image = Decode(RenderQrPicture("velmora", 0x1020C0, 0xFFEE00));
    ASSERT_FALSE(image.isNull());
    // The margin is background; the top-left finder pattern starts inside it.
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(image.pixel(i, i), qRgb(0xFF, 0xEE, 0x00));
        EXPECT_EQ(image.pixel(199 - i, 199 - i), qRgb(0xFF, 0xEE, 0x00));
    }
    int ink = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) ink += image.pixel(x, y) == qRgb(0x10, 0x20, 0xC0);
    EXPECT_GT(ink, 200 * 200 / 10);
    EXPECT_EQ(ScanWithZbar(RenderQrPicture("velmora", 0x1020C0, 0xFFEE00)), "velmora");
}

TEST(RenderQrPicture, EqualColoursStillGiveAReadableCode) {
    // Both holders white, as at start-up: black modules on white.
    const Bytes png = RenderQrPicture("velmora", 0xFFFFFF, 0xFFFFFF);
    EXPECT_EQ(ScanWithZbar(png), "velmora");
    // Both black: white modules on black.
    const QImage dark = Decode(RenderQrPicture("velmora", 0, 0));
    int white = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) white += dark.pixel(x, y) == qRgb(255, 255, 255);
    EXPECT_GT(white, 200 * 200 / 10);
}

TEST(RenderQrPicture, NothingToDraw) {
    EXPECT_TRUE(RenderQrPicture("", 0, 0xFFFFFF).empty());
    EXPECT_TRUE(RenderQrPicture(Text(3000, 'x'), 0, 0xFFFFFF).empty());  // beyond a QR code
}

}  // namespace
}  // namespace velmora
