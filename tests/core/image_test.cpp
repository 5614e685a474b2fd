// Picture re-encoding, in a plain process without a QGuiApplication.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>

#include "core/atomic_file.h"
#include "core/codepage.h"
#include "core/image.h"
#include "temp_dir.h"

namespace velmora {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

Bytes Encode(const QImage& image, const char* format) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return Bytes(data.constData(), static_cast<std::size_t>(data.size()));
}

Bytes SolidPng(QRgb colour, int size = 40) {
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(colour);
    return Encode(image, "png");
}

QImage Decode(const Bytes& bytes) {
    return QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()));
}

// Close enough for a lossy encoder.
bool Near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) < 12 && std::abs(qGreen(a) - qGreen(b)) < 12 &&
           std::abs(qBlue(a) - qBlue(b)) < 12;
}

Text PathText(const TempDir& dir, const std::string& utf8Name) {
    return Cp936FromUtf8((dir / utf8Name).string());
}

TEST(ConvertImage, RunsWithoutAnApplicationObject) {
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    EXPECT_FALSE(EncodeImage(SolidPng(qRgb(1, 2, 3)), kImageJpeg).empty());
}

TEST(ConvertImage, TooShortInputTouchesNothing) {
    TempDir dir;
    const auto file = dir / "old.jpg";
    WriteFile(file, "old picture");
    for (const Bytes& input : {Bytes(), Bytes("\x89"), Bytes("\x89P")}) {
        EXPECT_FALSE(ConvertImage(input, kImageJpeg, PathText(dir, "old.jpg")));
        EXPECT_FALSE(ConvertImage(input, kImageJpeg, PathText(dir, "new.jpg")));
    }
    EXPECT_EQ(ReadFile(file), "old picture");
    EXPECT_EQ(dir.EntryCount(), 1u);
}

TEST(ConvertImage, PngBecomesJpegAtAChinesePath) {
    TempDir dir;
    ASSERT_TRUE(ConvertImage(SolidPng(qRgb(200, 30, 40)), kImageJpeg, PathText(dir, "二维码.jpg")));
    const Bytes written = ReadFile(dir / "二维码.jpg");
    ASSERT_GE(written.size(), 3u);
    EXPECT_EQ(written.substr(0, 2), "\xFF\xD8");
    const QImage back = Decode(written);
    EXPECT_EQ(back.size(), QSize(40, 40));
    EXPECT_TRUE(Near(back.pixel(20, 20), qRgb(200, 30, 40)));
    EXPECT_EQ(dir.EntryCount(), 1u);  // no temporary file is left behind
}

TEST(ConvertImage, EachFormatHasItsSignature) {
    const Bytes png = SolidPng(qRgb(0, 0, 255));
    struct Case {
        int format;
        Bytes signature;
    } cases[] = {
        {kImageBmp, "BM"},
        {kImageJpeg, "\xFF\xD8\xFF"},
        {kImageGif, "\x89PNG"},  // no GIF encoder: PNG
        {kImageTiff, "\x89PNG"},  // no TIFF encoder: PNG
        {kImagePng, "\x89PNG"},
    };
    for (const auto& c : cases) {
        const Bytes out = EncodeImage(png, c.format);
        EXPECT_EQ(out.substr(0, c.signature.size()), c.signature) << c.format;
        EXPECT_TRUE(Near(Decode(out).pixel(5, 5), qRgb(0, 0, 255))) << c.format;
    }
}

TEST(ConvertImage, ReadsTheFormatsAServiceMaySend) {
    QImage image(24, 24, QImage::Format_RGB32);
    image.fill(qRgb(0, 128, 0));
    // A 1 x 1 GIF89a: one white pixel (global colour table white, black).
    const Bytes gif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xFF\xFF\xFF\x00\x00\x00"
                    ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                    35);
    const QImage fromGif = Decode(EncodeImage(gif, kImageJpeg));
    EXPECT_EQ(fromGif.size(), QSize(1, 1));
    EXPECT_TRUE(Near(fromGif.pixel(0, 0), qRgb(255, 255, 255)));
    for (const char* format : {"jpeg", "bmp", "png"}) {
        const QImage back = Decode(EncodeImage(Encode(image, format), kImageJpeg));
        EXPECT_EQ(back.size(), QSize(24, 24)) << format;
        EXPECT_TRUE(Near(back.pixel(12, 12), qRgb(0, 128, 0))) << format;
    }
}

TEST(ConvertImage, TransparencyTurnsWhiteInJpeg) {
    QImage clear(16, 16, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    const QImage back = Decode(EncodeImage(Encode(clear, "png"), kImageJpeg));
    EXPECT_TRUE(Near(back.pixel(8, 8), qRgb(255, 255, 255)));
}

TEST(ConvertImage, BlankPathConvertsButWritesNothing) {
    TempDir dir;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    EXPECT_TRUE(ConvertImage(SolidPng(qRgb(9, 9, 9)), kImageJpeg, ""));
    EXPECT_TRUE(ConvertImage(SolidPng(qRgb(9, 9, 9)), kImageJpeg, "   "));
    EXPECT_TRUE(ConvertImage(SolidPng(qRgb(9, 9, 9)), kImageJpeg, "\xA1\xA1 "));
    std::filesystem::current_path(previous);
    EXPECT_EQ(dir.EntryCount(), 0u);
}

TEST(ConvertImage, SecondConversionReplacesTheFirst) {
    TempDir dir;
    const Text path = PathText(dir, "qr.jpg");
    ASSERT_TRUE(ConvertImage(SolidPng(qRgb(255, 0, 0), 64), kImageJpeg, path));
    ASSERT_TRUE(ConvertImage(SolidPng(qRgb(0, 255, 0), 32), kImageJpeg, path));
    const QImage back = Decode(ReadFile(dir / "qr.jpg"));
    EXPECT_EQ(back.size(), QSize(32, 32));
    EXPECT_TRUE(Near(back.pixel(10, 10), qRgb(0, 255, 0)));
}

// A bitmap header that asks for 40000 x 40000 pixels of 32 bits (6.4 GB).
Bytes HugeBmpHeader() {
    Bytes b(54, '\0');
    auto put32 = [&](std::size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, 54 + 64);
    put32(10, 54);
    put32(14, 40);
    put32(18, 40000);
    put32(22, 40000);
    b[26] = 1;
    b[28] = 32;
    return b + Bytes(64, '\x7F');
}

TEST(ConvertImage, BadPicturesFailAndKeepTheOldFile) {
    TempDir dir;
    const Text path = PathText(dir, "qr.jpg");
    ASSERT_TRUE(ConvertImage(SolidPng(qRgb(0, 0, 200)), kImageJpeg, path));
    const Bytes good = ReadFile(dir / "qr.jpg");
    const Bytes png = SolidPng(qRgb(1, 1, 1));
    for (const Bytes& bad : {Bytes("<html>503 Service Unavailable</html>"), Bytes("\x89PNG\r\n"),
                             Bytes(1000, '\0'), HugeBmpHeader()}) {
        EXPECT_FALSE(ConvertImage(bad, kImageJpeg, path)) << bad.substr(0, 8);
        EXPECT_EQ(ReadFile(dir / "qr.jpg"), good);
    }
    EXPECT_EQ(dir.EntryCount(), 1u);
}

TEST(ConvertImage, UnwritablePathIsAFailure) {
    TempDir dir;
    EXPECT_FALSE(ConvertImage(SolidPng(qRgb(0, 0, 0)), kImageJpeg, PathText(dir, "missing/qr.jpg")));
    EXPECT_EQ(dir.EntryCount(), 0u);
}

TEST(WriteFileAtomically, ReplacesWholeAndLeavesNoTemporary) {
    TempDir dir;
    const auto file = dir / "record.txt";
    ASSERT_TRUE(WriteFileAtomically(file, "first"));
    ASSERT_TRUE(WriteFileAtomically(file, Bytes("se\0cond", 7)));
    EXPECT_EQ(ReadFile(file), Bytes("se\0cond", 7));
    EXPECT_EQ(dir.EntryCount(), 1u);
    // A directory in the way cannot be replaced: the call fails, nothing is left.
    std::filesystem::create_directory(dir / "busy");
    std::filesystem::create_directory(dir / "busy" / "inside");
    EXPECT_FALSE(WriteFileAtomically(dir / "busy", "x"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "busy"));
    EXPECT_EQ(dir.EntryCount(), 2u);
}

TEST(WriteFileAtomically, NewFileGetsTheRequestedMode) {
    TempDir dir;
    ASSERT_TRUE(WriteFileAtomically(dir / "secret.ini", "pw", 0600));
    const auto perms = std::filesystem::status(dir / "secret.ini").permissions();
    EXPECT_EQ(perms & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

}  // namespace
}  // namespace velmora
